#ifndef QV4000FP_CONNECTIONTEXTS_H
#define QV4000FP_CONNECTIONTEXTS_H

#include "visa.h"

#include <QList>
#include <QString>
#include <QStringList>

class qv4000fp_genFC;

// The connection workflow's texts, without widgets: the boxes and the
// command line say the same.
class qv4000fp_connectionTexts {
public:
    static QString modelText(int model);
    static QString titleText(int model);
    static QString noCardText(int model);
    static QString unavailableText(int model, const QString& errorText, bool severalCards);
    static QString openErrorText(qv4000fp_genFC* fc, ViStatus status);
    static QString entryWarning(const QStringList& descriptors, const QList<int>& fcNumbers);
};

#endif
