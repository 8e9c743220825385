#include "qv4000fp_connectionTexts.h"

#include "qv4000fp_connectionBoxes.h"

// Placeholder until the texts move here from the boxes.
QString qv4000fp_connectionTexts::modelText(int model) {
    return qv4000fp_connectionBoxes::modelText(model);
}
QString qv4000fp_connectionTexts::titleText(int model) {
    return qv4000fp_connectionBoxes::titleText(model);
}
QString qv4000fp_connectionTexts::noCardText(int model) {
    return QStringLiteral("No %1 Function Card found on your system.").arg(modelText(model));
}
QString qv4000fp_connectionTexts::unavailableText(int model, const QString& errorText,
                                                  bool severalCards) {
    return qv4000fp_connectionBoxes::unavailableText(model, errorText, severalCards);
}
QString qv4000fp_connectionTexts::openErrorText(qv4000fp_genFC* fc, ViStatus status) {
    return qv4000fp_connectionBoxes::openErrorText(fc, status);
}
QString qv4000fp_connectionTexts::entryWarning(const QStringList& descriptors,
                                               const QList<int>& fcNumbers) {
    return qv4000fp_connectionBoxes::entryWarning(descriptors, fcNumbers);
}
