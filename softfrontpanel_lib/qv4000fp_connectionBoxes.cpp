#include "qv4000fp_connectionBoxes.h"

#include "qv4000fp_genFC.h"
#include "qv4000fp_icons.h"
#include "qv4000fp_libraryText.h"

#include <QMessageBox>
#include <QPushButton>

namespace {
const char* const kTitle = "Zelvan %1 SFP: Select Function Card";
const char* const kChoiceText = "How to connect to %1 Function Card?";
const char* const kAutoFind = "Auto Find";
const char* const kRunInDemoMode = "Run In Demo Mode";
const char* const kEnterAddress = "Enter Address";
const char* const kNoCardText = "No %1 Function Card found on your system.";
const char* const kTryAgain = "Try Again";
const char* const kCancel = "Cancel";
const char* const kUnavailable = "Selected %1 Function Card is unavailable.\nError: %2";
const char* const kSeveralUnavailable =
    "At least one selected %1 Function Card is unavailable.\nError: %2";
const char* const kNoEntry =
    "Please enter at least one resource descriptor and select the Function Card number.";
const char* const kMissingEntries =
    "Please enter the resource descriptors and select the Function Card numbers.";
const char* const kMissingEntry =
    "Please enter the resource descriptor and select the Function Card number.";

// Card numbers travel to the driver as 16-bit values; anything outside them
// (the address dialog reports -1 for a selector without a choice) is no choice.
bool isCardNumber(int fcNumber) {
    return fcNumber >= 1 && fcNumber <= 0xFFFF;
}

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}
} // namespace

qv4000fp_connectionBoxes::qv4000fp_connectionBoxes(int model) : m_model(model) {
    m_choiceBox = questionBox(nullptr, fromTable(kChoiceText).arg(modelText(model)));
    m_choiceBox->setWindowIcon(qv4000fp_connectionIcon());
    m_autoFindButton = m_choiceBox->addButton(fromTable(kAutoFind), QMessageBox::ActionRole);
    m_demoButton = m_choiceBox->addButton(fromTable(kRunInDemoMode), QMessageBox::ActionRole);
    m_enterAddressButton =
        m_choiceBox->addButton(fromTable(kEnterAddress), QMessageBox::ActionRole);
    m_choiceBox->addButton(QMessageBox::Cancel); // also the escape button
    m_choiceBox->setDefaultButton(static_cast<QPushButton*>(m_autoFindButton));
}

qv4000fp_connectionBoxes::~qv4000fp_connectionBoxes() = default;

QString qv4000fp_connectionBoxes::modelText(int model) {
    return QStringLiteral("%1").arg(model, 4, 16, QLatin1Char(' '));
}

QString qv4000fp_connectionBoxes::unavailableText(int model, const QString& errorText,
                                                  bool severalCards) {
    return fromTable(severalCards ? kSeveralUnavailable : kUnavailable)
        .arg(modelText(model), errorText);
}

QString qv4000fp_connectionBoxes::openErrorText(qv4000fp_genFC* fc, ViStatus status) {
    const QString text = fc->errorMessage(status);
    return text.isEmpty() ? qv4000fp_carrierErrorText(status) : text;
}

QString qv4000fp_connectionBoxes::titleText(int model) {
    return fromTable(kTitle).arg(modelText(model));
}

std::unique_ptr<QMessageBox> qv4000fp_connectionBoxes::questionBox(QWidget* parent,
                                                                   const QString& text) const {
    return std::make_unique<QMessageBox>(QMessageBox::Question, titleText(m_model), text,
                                         QMessageBox::NoButton, parent);
}

qv4000fp_connectionBoxes::Choice qv4000fp_connectionBoxes::askHowToConnect() {
    m_choiceBox->exec();
    QAbstractButton* clicked = m_choiceBox->clickedButton();
    if (clicked == m_autoFindButton)
        return AutoFind;
    if (clicked == m_demoButton)
        return DemoMode;
    if (clicked == m_enterAddressButton)
        return EnterAddress;
    return Cancel;
}

// Without an escape button and with only action-role buttons, neither Escape
// nor the window's close button closes the box.
qv4000fp_connectionBoxes::NoCardAnswer
qv4000fp_connectionBoxes::askAfterNoCardFound(QWidget* parent) {
    auto box = questionBox(parent, fromTable(kNoCardText).arg(modelText(m_model)));
    QPushButton* tryAgain = box->addButton(fromTable(kTryAgain), QMessageBox::ActionRole);
    QPushButton* demo = box->addButton(fromTable(kRunInDemoMode), QMessageBox::ActionRole);
    box->addButton(fromTable(kCancel), QMessageBox::ActionRole);
    box->setDefaultButton(tryAgain);
    box->exec();
    if (box->clickedButton() == tryAgain)
        return NoCardTryAgain;
    if (box->clickedButton() == demo)
        return NoCardDemoMode;
    return NoCardCancel;
}

bool qv4000fp_connectionBoxes::askAfterOpenFailure(QWidget* parent, const QString& errorText,
                                                   bool severalCards) {
    auto box = questionBox(parent, unavailableText(m_model, errorText, severalCards));
    QPushButton* tryAgain = box->addButton(fromTable(kTryAgain), QMessageBox::ActionRole);
    box->addButton(fromTable(kCancel), QMessageBox::ActionRole);
    box->setDefaultButton(tryAgain);
    box->exec();
    return box->clickedButton() == tryAgain;
}

QString qv4000fp_connectionBoxes::entryWarning(const QStringList& descriptors,
                                               const QList<int>& fcNumbers) {
    if (descriptors.isEmpty() || fcNumbers.isEmpty() || descriptors.size() != fcNumbers.size())
        return fromTable(kNoEntry);
    for (qsizetype i = 0; i < descriptors.size(); ++i) {
        if (descriptors.at(i).isEmpty() || !isCardNumber(fcNumbers.at(i)))
            return fromTable(descriptors.size() > 1 ? kMissingEntries : kMissingEntry);
    }
    return QString();
}
