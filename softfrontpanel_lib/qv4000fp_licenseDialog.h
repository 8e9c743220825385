#ifndef QV4000FP_LICENSEDIALOG_H
#define QV4000FP_LICENSEDIALOG_H

#include <QDialog>
#include <QSize>

// A modal dialog showing one licence text carried in the program's resources,
// unwrapped in a fixed-pitch font, with an "Ok" button.
class qv4000fp_licenseDialog : public QDialog {
    Q_OBJECT
public:
    qv4000fp_licenseDialog(const QString& title, const QString& textResource, QWidget* parent);
};

// Smallest text area for a screen of this horizontal logical resolution: 650 x 500 at 96 dpi,
// scaled and truncated.
QSize licenseTextMinimumSize(int dpi);

#endif
