#ifndef QTLICENSE_H
#define QTLICENSE_H

#include "qv4000fp_licenseDialog.h"

// The licence of the toolkit the program runs on.
class qtLicense : public qv4000fp_licenseDialog {
    Q_OBJECT
public:
    explicit qtLicense(QWidget* parent = nullptr);
};

// A 4.x run-time comes under LGPL 2.1; later ones under LGPL 3.
bool qtRuntimeUsesLgpl21(const QString& runtimeVersion);
// The resource holding the licence of a run-time of this version.
QString qtLicenseResource(const QString& runtimeVersion);

#endif
