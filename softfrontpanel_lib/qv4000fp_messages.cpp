#include "qv4000fp_messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

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

QMessageBox::StandardButton qv4000fp_askModal(QMessageBox::Icon icon, const QString& title,
                                              const QString& text,
                                              QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, title, text, buttons, QApplication::activeWindow());
    box.setModal(true);
    // A question must not answer itself when the operator hits Enter: no
    // button may become the default, neither when shown nor when it takes
    // focus. A lone OK button stays the default.
    const auto all = box.buttons();
    for (QAbstractButton* button : all) {
        auto* push = qobject_cast<QPushButton*>(button);
        if (push && all.size() > 1)
            push->setAutoDefault(false);
    }
    box.exec();
    return box.standardButton(box.clickedButton());
}
