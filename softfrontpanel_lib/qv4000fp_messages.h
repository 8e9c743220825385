#ifndef QV4000FP_MESSAGES_H
#define QV4000FP_MESSAGES_H

#include <QString>

// The one process-wide text placed in every message box title between
// "Zelvan " and the box's suffix; start-up sets it to the model text.
extern QString panelName;

void showInfoMessage(QString text);
void showWarningMessage(QString text);
// Returns unless the operator answers Yes; then the process ends with code 0.
void showErrorMessage(QString text);

#endif
