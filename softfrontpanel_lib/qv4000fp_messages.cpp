#include "qv4000fp_messages.h"

#include "qv4000fp_app.h"

#include <cstdlib>

namespace {
const char* const kTitleStart = "Zelvan ";
const char* const kInfoSuffix = " SFP Info message";
const char* const kWarningSuffix = " SFP Warning message";
const char* const kErrorSuffix = " SFP Error message";
const char* const kExitQuestion = "\nDo you want to exit?";
} // namespace

QString panelName;

namespace {
QString titleWith(const char* suffix) {
    return QLatin1String(kTitleStart) + panelName + QLatin1String(suffix);
}
} // namespace

void showInfoMessage(QString text) {
    qv4000fp_askModal(QMessageBox::Information, titleWith(kInfoSuffix), text, QMessageBox::Ok);
}

void showWarningMessage(QString text) {
    qv4000fp_askModal(QMessageBox::Warning, titleWith(kWarningSuffix), text, QMessageBox::Ok);
}

void showErrorMessage(QString text) {
    const QMessageBox::StandardButton answer =
        qv4000fp_askModal(QMessageBox::Critical, titleWith(kErrorSuffix),
                          text + QLatin1String(kExitQuestion), QMessageBox::Yes | QMessageBox::No);
    // Ends at once: no event loop, no destructors of main's objects, so the
    // driver session is left as it is.
    if (answer == QMessageBox::Yes)
        std::exit(0);
}
