#include "qv4000fp_connectionTexts.h"

#include "qv4000fp_genFC.h"
#include "qv4000fp_libraryText.h"

namespace {
const char* const kTitle = "Zelvan %1 SFP: Select Function Card";
const char* const kNoCardText = "No %1 Function Card found on your system.";
const char* const kUnavailable = "Selected %1 Function Card is unavailable.\nError: %2";
const char* const kSeveralUnavailable =
    "At least one selected %1 Function Card is unavailable.\nError: %2";
const char* const kNoEntry =
    "Please enter at least one resource descriptor and select the Function Card number.";
const char* const kMissingEntries =
    "Please enter the resource descriptors and select the Function Card numbers.";
const char* const kMissingEntry =
    "Please enter the resource descriptor and select the Function Card number.";

const int kModelWidth = 4;
const int kModelBase = 16;

// Card numbers travel to the driver as 16-bit values; anything outside them
// (the address dialog reports -1 for a selector without a choice) is no choice.
bool isCardNumber(int fcNumber) {
    return fcNumber >= 1 && fcNumber <= 0xFFFF;
}

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}
} // namespace

QString qv4000fp_connectionTexts::modelText(int model) {
    return QStringLiteral("%1").arg(model, kModelWidth, kModelBase, QLatin1Char(' '));
}

QString qv4000fp_connectionTexts::titleText(int model) {
    return fromTable(kTitle).arg(modelText(model));
}

QString qv4000fp_connectionTexts::noCardText(int model) {
    return fromTable(kNoCardText).arg(modelText(model));
}

QString qv4000fp_connectionTexts::unavailableText(int model, const QString& errorText,
                                                  bool severalCards) {
    return fromTable(severalCards ? kSeveralUnavailable : kUnavailable)
        .arg(modelText(model), errorText);
}

QString qv4000fp_connectionTexts::openErrorText(qv4000fp_genFC* fc, ViStatus status) {
    const QString text = fc->errorMessage(status);
    return text.isEmpty() ? qv4000fp_carrierErrorText(status) : text;
}

QString qv4000fp_connectionTexts::entryWarning(const QStringList& descriptors,
                                               const QList<int>& fcNumbers) {
    if (descriptors.isEmpty() || fcNumbers.isEmpty() || descriptors.size() != fcNumbers.size())
        return fromTable(kNoEntry);
    for (qsizetype i = 0; i < descriptors.size(); ++i) {
        if (descriptors.at(i).isEmpty() || !isCardNumber(fcNumbers.at(i)))
            return fromTable(descriptors.size() > 1 ? kMissingEntries : kMissingEntry);
    }
    return QString();
}
