#include "kissFFTLicense.h"

namespace {
const char* const kTitle = "KISS FFT BSD License";
const char* const kText = ":/kiss-fft-bsd-license.txt";
} // namespace

kissFFTLicense::kissFFTLicense(QWidget* parent)
    : qv4000fp_licenseDialog(QLatin1String(kTitle), QLatin1String(kText), parent) {}
