#ifndef QWTLICENSE_H
#define QWTLICENSE_H

#include "qv4000fp_licenseDialog.h"

// The licence of the plot library.
class qwtLicense : public qv4000fp_licenseDialog {
    Q_OBJECT
public:
    explicit qwtLicense(QWidget* parent = nullptr);
};

#endif
