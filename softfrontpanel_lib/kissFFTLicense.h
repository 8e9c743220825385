#ifndef KISSFFTLICENSE_H
#define KISSFFTLICENSE_H

#include "qv4000fp_licenseDialog.h"

// The BSD licence of the FFT library.
class kissFFTLicense : public qv4000fp_licenseDialog {
    Q_OBJECT
public:
    explicit kissFFTLicense(QWidget* parent = nullptr);
};

#endif
