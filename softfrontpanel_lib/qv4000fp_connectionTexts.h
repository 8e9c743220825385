#ifndef QV4000FP_CONNECTIONTEXTS_H
#define QV4000FP_CONNECTIONTEXTS_H

#include "visa.h"

#include <QList>
#include <QString>
#include <QStringList>

class qv4000fp_genFC;

// The texts of the connection workflow, shared by its boxes, the panel and
// the command line. No widgets: a program without a display uses them too.
class qv4000fp_connectionTexts {
public:
    // The model code as the boxes show it: "4720".
    static QString modelText(int model);
    // The title every box of the workflow carries.
    static QString titleText(int model);
    // No usable card of the model was found.
    static QString noCardText(int model);
    // The failure text for the driver's or carrier library's errorText.
    static QString unavailableText(int model, const QString& errorText, bool severalCards);
    // The errorText for a failed open: the driver's text for the status, or
    // the carrier library's when the driver has none.
    static QString openErrorText(qv4000fp_genFC* fc, ViStatus status);
    // The warning for manually entered descriptors and card numbers, or an
    // empty text when every pair names a descriptor and a card number.
    static QString entryWarning(const QStringList& descriptors, const QList<int>& fcNumbers);
};

#endif
