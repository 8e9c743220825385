#include "qtLicense.h"

namespace {
const char* const kTitle = "Qt LGPL License";
const char* const kLgpl21Text = ":/qt-lgpl-license.txt";
const char* const kLgpl3Text = ":/qt5-lgpl-license.txt";
} // namespace

bool qtRuntimeUsesLgpl21(const QString& runtimeVersion) {
    return runtimeVersion.startsWith(QLatin1Char('4'));
}

QString qtLicenseResource(const QString& runtimeVersion) {
    return QLatin1String(qtRuntimeUsesLgpl21(runtimeVersion) ? kLgpl21Text : kLgpl3Text);
}

qtLicense::qtLicense(QWidget* parent)
    : qv4000fp_licenseDialog(QLatin1String(kTitle),
                             qtLicenseResource(QString::fromLatin1(qVersion())), parent) {}
