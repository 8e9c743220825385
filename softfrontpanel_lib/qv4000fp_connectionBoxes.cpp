#include "qv4000fp_connectionBoxes.h"

#include "qv4000fp_icons.h"

#include <QMessageBox>
#include <QPushButton>

namespace {
const char* const kChoiceText = "How to connect to %1 Function Card?";
const char* const kAutoFind = "Auto Find";
const char* const kRunInDemoMode = "Run In Demo Mode";
const char* const kEnterAddress = "Enter Address";
const char* const kTryAgain = "Try Again";
const char* const kCancel = "Cancel";

QString fromTable(const char* text) {
    return QString::fromLatin1(text);
}
} // namespace

qv4000fp_connectionBoxes::qv4000fp_connectionBoxes(int model) : m_model(model) {
    m_choiceBox = questionBox(
        nullptr, fromTable(kChoiceText).arg(qv4000fp_connectionTexts::modelText(model)));
    m_choiceBox->setWindowIcon(qv4000fp_connectionIcon());
    m_autoFindButton = m_choiceBox->addButton(fromTable(kAutoFind), QMessageBox::ActionRole);
    m_demoButton = m_choiceBox->addButton(fromTable(kRunInDemoMode), QMessageBox::ActionRole);
    m_enterAddressButton =
        m_choiceBox->addButton(fromTable(kEnterAddress), QMessageBox::ActionRole);
    m_choiceBox->addButton(QMessageBox::Cancel); // also the escape button
    m_choiceBox->setDefaultButton(static_cast<QPushButton*>(m_autoFindButton));
}

qv4000fp_connectionBoxes::~qv4000fp_connectionBoxes() = default;

std::unique_ptr<QMessageBox> qv4000fp_connectionBoxes::questionBox(QWidget* parent,
                                                                   const QString& text) const {
    return std::make_unique<QMessageBox>(QMessageBox::Question,
                                         qv4000fp_connectionTexts::titleText(m_model), text,
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
    auto box = questionBox(parent, qv4000fp_connectionTexts::noCardText(m_model));
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
    auto box = questionBox(
        parent, qv4000fp_connectionTexts::unavailableText(m_model, errorText, severalCards));
    QPushButton* tryAgain = box->addButton(fromTable(kTryAgain), QMessageBox::ActionRole);
    box->addButton(fromTable(kCancel), QMessageBox::ActionRole);
    box->setDefaultButton(tryAgain);
    box->exec();
    return box->clickedButton() == tryAgain;
}
