#ifndef QV4000FP_MESSAGES_H
#define QV4000FP_MESSAGES_H

#include <QMessageBox>
#include <QString>

// The one process-wide text placed in every message box title between
// "Zelvan " and the box's suffix; start-up sets it to the model text.
extern QString panelName;

void showInfoMessage(QString text);
void showWarningMessage(QString text);
// Returns unless the operator answers Yes; then the process ends with code 0.
void showErrorMessage(QString text);

// Shows a modal box parented to the active window (none if there is none), in
// which no button is the default when it offers a choice, and returns the button the operator chose
// (QMessageBox::NoButton when the box was closed otherwise).
QMessageBox::StandardButton qv4000fp_askModal(QMessageBox::Icon icon, const QString& title,
                                              const QString& text,
                                              QMessageBox::StandardButtons buttons);

#endif
