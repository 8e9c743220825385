#include "qwtLicense.h"

namespace {
const char* const kTitle = "Qwt LGPL License";
const char* const kText = ":/qwt-lgpl-license.txt";
} // namespace

qwtLicense::qwtLicense(QWidget* parent)
    : qv4000fp_licenseDialog(QLatin1String(kTitle), QLatin1String(kText), parent) {}
