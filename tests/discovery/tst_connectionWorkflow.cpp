#include "DiscoveryBench.h"
#include "ModalAnswerer.h"
#include "qv4000fp_connectionTexts.h"
#include "qv4000fp_fcEnterAddress.h"
#include "qv4000fp_fcEnterAddressFc.h"
#include "qv4000fp_fcSelect.h"
#include "qv4720_fc.h"

#include "qv4000fp_connectRequest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QTreeWidget>
#include <QtTest>

// The connection workflow through every state, with its boxes answered as an
// operator would and the library calls read back from the trace.
class tst_connectionWorkflow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void choiceBoxGivesUp_data();
    void choiceBoxGivesUp();
    void demoModeCallsNoLibrary();
    void noCardFound_data();
    void noCardFound();
    void autoFindOpensTheOneCard();
    void autoFindLetsOperatorChoose();
    void selectionRejectedGivesUp();
    void openFailure_data();
    void openFailure();
    void severalCardsFailTogether();
    void enteredAddressIsOpened();
    void addressDialogRejectedReturnsToChoice();
    void missingCardNumberWarnsAndShowsEntriesAgain();
    void unchosenSelectorNeverReachesDriver();
    void blankDescriptorGoesToDriver();
    void severalRowsUsePluralWarning();
    void entryWarningTexts();
    void demoRequestCallsNoLibrary();
    void cardRequestOpensWithoutSearch();
    void failedCardRequestGoesOnWithChoice();

private:
    qv4720_fc m_card;
    QTemporaryDir m_allUsers;
};

namespace {
const char* const kTitle = "Zelvan 4720 SFP: Select Function Card";
const char* const kChoice = "How to connect to 4720 Function Card?";
const char* const kNoCard = "No 4720 Function Card found on your system.";
const char* const kSingular =
    "Please enter the resource descriptor and select the Function Card number.";

// A carrier in VXI slot 3 with 4720 cards at FC 2 and FC 4.
const char* const kTwoCards = R"yaml(
  "VXI0::3::INSTR":
    slot: 3
    carrier: {model: 2391, slots: {2: {code: 0x4720}, 4: {code: 0x4720}}}
)yaml";

QString oneCard(const QString& faults = QString()) {
    return bench(
        QStringLiteral("  \"VXI0::3::INSTR\":\n    slot: 3\n%1    carrier: {model: 2391, "
                       "slots: {2: {code: 0x4720}}}\n")
            .arg(faults.isEmpty() ? QString() : QStringLiteral("    faults: {%1}\n").arg(faults)));
}

// Types into the address dialog's first `descriptors.size()` rows and accepts.
ModalAnswerer::Action enterAddresses(const QStringList& descriptors, const QList<int>& fcIndexes) {
    return [descriptors, fcIndexes](QWidget* modal) {
        auto* dialog = qobject_cast<qv4000fp_fcEnterAddress*>(modal);
        if (!dialog) {
            modal->close();
            return;
        }
        dialog->m_countCombo->setCurrentIndex(static_cast<int>(descriptors.size()) - 1);
        for (int i = 0; i < descriptors.size(); ++i) {
            dialog->m_rows[i]->m_descriptorCombo->setEditText(descriptors[i]);
            dialog->m_rows[i]->m_fcCombo->setCurrentIndex(fcIndexes[i]);
        }
        dialog->accept();
    };
}

ModalAnswerer::Action reject() {
    return [](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); };
}

// Escape and the close button must leave the box open; then the button.
ModalAnswerer::Action onlyButtonCloses(const QString& button, bool* stayedOpen) {
    return [button, stayedOpen](QWidget* modal) {
        QTest::keyClick(modal, Qt::Key_Escape);
        modal->close();
        *stayedOpen = modal->isVisible();
        ModalAnswerer::clickButton(static_cast<QMessageBox*>(modal), button);
    };
}

QStringList titlesOf(const ModalAnswerer& answerer) {
    QStringList texts;
    for (const ModalAnswerer::Seen& seen : answerer.seen())
        texts << (seen.className == "QMessageBox" ? seen.text : seen.className);
    return texts;
}
} // namespace

// The address dialog's descriptor file lives in a folder of this run only.
void tst_connectionWorkflow::initTestCase() {
    QVERIFY(m_allUsers.isValid());
    qputenv("ALLUSERSPROFILE", m_allUsers.path().toLocal8Bit());
}

void tst_connectionWorkflow::init() {
    QFile::remove(qv4000fp_descriptorFilePath());
    zsim_resetStatistics();
}

void tst_connectionWorkflow::cleanup() {
    QCOMPARE(zsim_openObjectCount() - zsim_openSessionCount(), 0);
}

void tst_connectionWorkflow::choiceBoxGivesUp_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Cancel") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close button") << 2;
}

void tst_connectionWorkflow::choiceBoxGivesUp() {
    QFETCH(int, how);
    TraceFile trace;
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    bool hasIcon = false;
    QStringList actions;
    QMessageBox::StandardButtons standard;
    answerer.handle([&](QWidget* modal) {
        auto* box = static_cast<QMessageBox*>(modal);
        hasIcon = !modal->windowIcon().isNull();
        standard = box->standardButtons();
        for (QAbstractButton* button : box->buttons()) {
            if (box->buttonRole(button) == QMessageBox::ActionRole)
                actions << button->text();
        }
        if (how == 0)
            ModalAnswerer::clickButton(static_cast<QMessageBox*>(modal), "Cancel");
        else if (how == 1)
            QTest::keyClick(modal, Qt::Key_Escape);
        else
            modal->close();
    });
    QVERIFY(!select.connectFunctionCard());
    QCOMPARE(answerer.seen().size(), 1);
    const ModalAnswerer::Seen& box = answerer.seen().first();
    QCOMPARE(box.title, QString(kTitle));
    QCOMPARE(box.text, QString(kChoice));
    QCOMPARE(actions, (QStringList{"Auto Find", "Run In Demo Mode", "Enter Address"}));
    QCOMPARE(standard, QMessageBox::Cancel);
    QCOMPARE(box.defaultButton, QStringLiteral("Auto Find"));
    QCOMPARE(box.icon, QMessageBox::Question);
    QVERIFY(!box.parent);
    QVERIFY(hasIcon);
    QVERIFY(trace.lines().isEmpty());
}

void tst_connectionWorkflow::demoModeCallsNoLibrary() {
    TraceFile trace;
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    answerer.answer("Run In Demo Mode");
    QVERIFY(select.connectFunctionCard());
    QCOMPARE(select.m_demoMode, 1);
    QCOMPARE(select.m_descriptor, QStringLiteral("VXI0::1::INSTR"));
    QCOMPARE(select.m_fcNumbers[0], quint16(1));
    QCOMPARE(select.m_fcCount, 1);
    QCOMPARE(select.m_vi, ViSession(0));
    QVERIFY(trace.lines().isEmpty());
}

void tst_connectionWorkflow::noCardFound_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("demo");
    QTest::newRow("Try Again, then Cancel") << "Try Again" << false << 0;
    QTest::newRow("Run In Demo Mode") << "Run In Demo Mode" << true << 1;
    QTest::newRow("Cancel") << "Cancel" << false << 0;
}

void tst_connectionWorkflow::noCardFound() {
    QFETCH(QString, answer);
    QFETCH(bool, result);
    QFETCH(int, demo);
    QVERIFY(loadBench(bench("  \"ASRL1::INSTR\": {}\n")));
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    bool stayedOpen = false;
    answerer.answer("Auto Find");
    answerer.handle(onlyButtonCloses(answer, &stayedOpen));
    if (answer == "Try Again")
        answerer.answer("Cancel");
    QCOMPARE(select.connectFunctionCard(), result);
    QCOMPARE(select.m_demoMode, demo);
    QVERIFY(stayedOpen);
    QVERIFY(answerer.unexpected().isEmpty());
    const ModalAnswerer::Seen& box = answerer.seen().at(1);
    QCOMPARE(box.title, QString(kTitle));
    QCOMPARE(box.text, QString(kNoCard));
    QCOMPARE(box.buttons, (QStringList{"Try Again", "Run In Demo Mode", "Cancel"}));
    QCOMPARE(box.defaultButton, QStringLiteral("Try Again"));
    QVERIFY(!box.hasEscapeButton);
    QCOMPARE(box.parent, &select);
    // "Try Again" shows the choice again; it does not search by itself.
    QCOMPARE(answerer.seen().size(), answer == "Try Again" ? 3 : 2);
    QCOMPARE(zsim_callCount("viFindRsrc"), 1);
}

void tst_connectionWorkflow::autoFindOpensTheOneCard() {
    QVERIFY(loadBench(oneCard()));
    TraceFile trace;
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    answerer.answer("Auto Find");
    QVERIFY(select.connectFunctionCard());
    QCOMPARE(answerer.seen().size(), 1);
    QCOMPARE(select.m_fcCount, 1);
    QCOMPARE(select.m_demoMode, 0);
    QVERIFY(select.m_vi != 0);
    const QStringList opens = trace.linesStartingWith("qv4720_paramInit");
    QCOMPARE(opens.size(), 1);
    QVERIFY2(opens[0].startsWith("qv4720_paramInit(resourceName=\"VXI0::3::INSTR\", fcNumber=2, "
                                 "idQuery=1, reset=1, vi="),
             qPrintable(opens[0]));
    QVERIFY(opens[0].endsWith(") = 0"));
    m_card.closeInstrument(select.m_vi);
}

void tst_connectionWorkflow::autoFindLetsOperatorChoose() {
    QVERIFY(loadBench(bench(kTwoCards)));
    TraceFile trace;
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    answerer.answer("Auto Find");
    answerer.handle([&](QWidget*) {
        QTreeWidgetItem* carrier = select.m_tree->topLevelItem(0)->child(0);
        carrier->child(1)->setSelected(true);
        select.okPressed();
    });
    QVERIFY(select.connectFunctionCard());
    QCOMPARE(answerer.seen().at(1).className, QStringLiteral("qv4000fp_fcSelect"));
    QCOMPARE(select.m_fcCount, 1);
    QCOMPARE(select.m_fcNumbers[0], quint16(4));
    const QStringList opens = trace.linesStartingWith("qv4720_paramInit");
    QCOMPARE(opens.size(), 1);
    QVERIFY(opens[0].contains("resourceName=\"VXI0::3::INSTR\", fcNumber=4,"));
    m_card.closeInstrument(select.m_vi);
}

void tst_connectionWorkflow::selectionRejectedGivesUp() {
    QVERIFY(loadBench(bench(kTwoCards)));
    TraceFile trace;
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    answerer.answer("Auto Find");
    answerer.handle(reject());
    QVERIFY(!select.connectFunctionCard());
    QVERIFY(trace.linesStartingWith("qv4720_paramInit").isEmpty());
}

void tst_connectionWorkflow::openFailure_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<bool>("carrierText");
    QTest::newRow("driver text") << -1074001661 << "The function card is not a 4720." << false;
    QTest::newRow("carrier library text")
        << -1074001407 << "The resource is not a carrier." << true;
    QTest::newRow("warning is failure") << 1073481985 << "The output has not settled yet." << false;
}

void tst_connectionWorkflow::openFailure() {
    QFETCH(int, status);
    QFETCH(QString, errorText);
    QFETCH(bool, carrierText);
    QVERIFY(loadBench(oneCard(QStringLiteral("qv4720_paramInit: %1").arg(status))));
    TraceFile trace;
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    bool stayedOpen = false;
    answerer.answer("Auto Find");
    answerer.handle(onlyButtonCloses("Try Again", &stayedOpen));
    answerer.answer("Auto Find");
    answerer.answer("Cancel");
    QVERIFY(!select.connectFunctionCard());
    QVERIFY(stayedOpen);
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(
        titlesOf(answerer),
        (QStringList{kChoice, "Selected 4720 Function Card is unavailable.\nError: " + errorText,
                     kChoice, "Selected 4720 Function Card is unavailable.\nError: " + errorText}));
    const ModalAnswerer::Seen& box = answerer.seen().at(1);
    QCOMPARE(box.title, QString(kTitle));
    QCOMPARE(box.buttons, (QStringList{"Try Again", "Cancel"}));
    QCOMPARE(box.defaultButton, QStringLiteral("Try Again"));
    QVERIFY(!box.hasEscapeButton);
    QCOMPARE(box.parent, &select);
    QCOMPARE(trace.linesStartingWith("qv4000_errorMessage").size(), carrierText ? 2 : 0);
    QCOMPARE(trace.linesStartingWith("qv4720_paramInit").size(), 2);
    // A warning hands back an open session: it is closed, not leaked by the retry.
    QCOMPARE(trace.linesStartingWith("qv4720_close").size(), status > 0 ? 2 : 0);
    QCOMPARE(select.m_vi, ViSession(0));
}

void tst_connectionWorkflow::severalCardsFailTogether() {
    QVERIFY(loadBench(bench(QString(kTwoCards) + "    faults: {qv4720_paramInit: -1074001662}\n")));
    qv4000fp_fcSelect select(&m_card, 1);
    ModalAnswerer answerer;
    answerer.answer("Auto Find");
    answerer.handle([&](QWidget*) {
        select.m_tree->selectAll();
        select.okPressed();
    });
    answerer.answer("Cancel");
    QVERIFY(!select.connectFunctionCard());
    QCOMPARE(select.m_descriptor, QStringLiteral("VXI0::3::INSTR,VXI0::3::INSTR"));
    QCOMPARE(select.m_fcCount, 2);
    QCOMPARE(answerer.seen().last().text,
             QStringLiteral("At least one selected 4720 Function Card is unavailable.\nError: No "
                            "function card at this function card number."));
}

void tst_connectionWorkflow::enteredAddressIsOpened() {
    QVERIFY(loadBench(oneCard()));
    TraceFile trace;
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    answerer.answer("Enter Address");
    answerer.handle(enterAddresses({"VXI0::3::INSTR"}, {2}));
    QVERIFY(select.connectFunctionCard());
    QCOMPARE(select.m_descriptor, QStringLiteral("VXI0::3::INSTR"));
    QCOMPARE(select.m_fcCount, 1);
    QCOMPARE(select.m_fcNumbers[0], quint16(2));
    QVERIFY(trace.linesStartingWith("qv4720_paramInit")
                .value(0)
                .contains("resourceName=\"VXI0::3::INSTR\", fcNumber=2,"));
    QVERIFY(trace.linesStartingWith("viFindRsrc").isEmpty());
    QSettings file(qv4000fp_descriptorFilePath(), QSettings::IniFormat);
    QCOMPARE(file.value("4720/1.1.Descriptor").toString(), QStringLiteral("VXI0::3::INSTR"));
    m_card.closeInstrument(select.m_vi);
}

void tst_connectionWorkflow::addressDialogRejectedReturnsToChoice() {
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    answerer.answer("Enter Address");
    answerer.handle(reject());
    answerer.answer("Cancel");
    QVERIFY(!select.connectFunctionCard());
    QCOMPARE(titlesOf(answerer), (QStringList{kChoice, "qv4000fp_fcEnterAddress", kChoice}));
    QVERIFY(!QFile::exists(qv4000fp_descriptorFilePath()));
}

// The entries are saved before they are checked, and the dialog comes back
// with them.
void tst_connectionWorkflow::missingCardNumberWarnsAndShowsEntriesAgain() {
    QVERIFY(loadBench(oneCard()));
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    QString shownAgain;
    answerer.answer("Enter Address");
    answerer.handle(enterAddresses({"VXI0::3::INSTR"}, {0}));
    answerer.answer("OK");
    answerer.handle([&](QWidget* modal) {
        shownAgain = static_cast<qv4000fp_fcEnterAddress*>(modal)
                         ->m_rows[0]
                         ->m_descriptorCombo->currentText();
        enterAddresses({"VXI0::3::INSTR"}, {2})(modal);
    });
    QVERIFY(select.connectFunctionCard());
    QCOMPARE(answerer.seen().at(2).text, QString(kSingular));
    QCOMPARE(answerer.seen().at(2).icon, QMessageBox::Warning);
    QCOMPARE(shownAgain, QStringLiteral("VXI0::3::INSTR"));
    m_card.closeInstrument(select.m_vi);
}

// A selector left without a choice reads as -1; it must not reach the driver
// as card 65535.
void tst_connectionWorkflow::unchosenSelectorNeverReachesDriver() {
    TraceFile trace;
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    answerer.answer("Enter Address");
    answerer.handle(enterAddresses({"VXI0::3::INSTR"}, {-1}));
    answerer.answer("OK");
    answerer.handle(reject());
    answerer.answer("Cancel");
    QVERIFY(!select.connectFunctionCard());
    QCOMPARE(answerer.seen().at(2).text, QString(kSingular));
    QVERIFY(trace.linesStartingWith("qv4720_paramInit").isEmpty());
}

void tst_connectionWorkflow::blankDescriptorGoesToDriver() {
    QVERIFY(loadBench(oneCard()));
    TraceFile trace;
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    answerer.answer("Enter Address");
    answerer.handle(enterAddresses({"   "}, {1}));
    answerer.answer("Cancel");
    QVERIFY(!select.connectFunctionCard());
    QVERIFY(trace.linesStartingWith("qv4720_paramInit").value(0).contains("resourceName=\"   \""));
    QVERIFY(answerer.seen().last().text.startsWith("Selected 4720 Function Card is unavailable."));
}

namespace {
// A card model whose address dialog offers several rows; it opens nothing.
class MultiRowCard : public qv4720_fc {
public:
    MultiRowCard() { m_model = 0x4860; }
};
} // namespace

void tst_connectionWorkflow::severalRowsUsePluralWarning() {
    MultiRowCard card;
    TraceFile trace;
    qv4000fp_fcSelect select(&card, 0);
    ModalAnswerer answerer;
    answerer.answer("Enter Address");
    // The second row is at fault; the text names several rows.
    answerer.handle(enterAddresses({"VXI0::3::INSTR", ""}, {2, 3}));
    answerer.answer("OK");
    answerer.handle(reject());
    answerer.answer("Cancel");
    QVERIFY(!select.connectFunctionCard());
    QCOMPARE(answerer.seen().at(0).text, QStringLiteral("How to connect to 4860 Function Card?"));
    QCOMPARE(answerer.seen().at(2).text,
             QStringLiteral("Please enter the resource descriptors and select the Function Card "
                            "numbers."));
    QVERIFY(trace.linesStartingWith("qv4720_paramInit").isEmpty());
}

void tst_connectionWorkflow::entryWarningTexts() {
    const QString none = QStringLiteral(
        "Please enter at least one resource descriptor and select the Function Card number.");
    const QString plural = QStringLiteral(
        "Please enter the resource descriptors and select the Function Card numbers.");
    using Texts = qv4000fp_connectionTexts;
    QCOMPARE(Texts::entryWarning({}, {}), none);
    QCOMPARE(Texts::entryWarning({"VXI0::1::INSTR"}, {}), none);
    QCOMPARE(Texts::entryWarning({"VXI0::1::INSTR"}, {1, 2}), none);
    QCOMPARE(Texts::entryWarning({""}, {1}), QString(kSingular));
    QCOMPARE(Texts::entryWarning({"VXI0::1::INSTR"}, {0}), QString(kSingular));
    QCOMPARE(Texts::entryWarning({"VXI0::1::INSTR"}, {-1}), QString(kSingular));
    QCOMPARE(Texts::entryWarning({"VXI0::1::INSTR"}, {65536}), QString(kSingular));
    QCOMPARE(Texts::entryWarning({"A", "B"}, {1, -1}), plural);
    QCOMPARE(Texts::entryWarning({" "}, {1}), QString());
    QCOMPARE(Texts::entryWarning({"A", "B"}, {8, 65535}), QString());
}

// A start request skips the choice box once: the next dialog, and the next
// run of this one, ask again.
void tst_connectionWorkflow::demoRequestCallsNoLibrary() {
    TraceFile trace;
    qv4000fp_fcSelect::setStartRequest({qv4000fp_connectRequest::Start::Demo, {}, 0});
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    QVERIFY(select.connectFunctionCard());
    QVERIFY(answerer.seen().isEmpty());
    QCOMPARE(select.m_demoMode, 1);
    QCOMPARE(select.m_descriptor, QStringLiteral("VXI0::1::INSTR"));
    QCOMPARE(select.m_fcNumbers[0], quint16(1));
    QCOMPARE(select.m_fcCount, 1);
    QVERIFY(trace.lines().isEmpty());

    qv4000fp_fcSelect next(&m_card, 0);
    answerer.answer("Cancel");
    QVERIFY(!next.connectFunctionCard());
    QCOMPARE(titlesOf(answerer), QStringList{kChoice});
}

void tst_connectionWorkflow::cardRequestOpensWithoutSearch() {
    QVERIFY(loadBench(bench(kTwoCards)));
    TraceFile trace;
    qv4000fp_fcSelect::setStartRequest(
        {qv4000fp_connectRequest::Start::Card, QStringLiteral("VXI0::3::INSTR"), 4});
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    QVERIFY(select.connectFunctionCard());
    QVERIFY(answerer.seen().isEmpty());
    QCOMPARE(select.m_demoMode, 0);
    QCOMPARE(select.m_fcCount, 1);
    QVERIFY(select.m_vi != 0);
    QVERIFY(trace.linesStartingWith("viFindRsrc").isEmpty());
    const QStringList opens = trace.linesStartingWith("qv4720_paramInit");
    QCOMPARE(opens.size(), 1);
    QVERIFY2(opens[0].startsWith("qv4720_paramInit(resourceName=\"VXI0::3::INSTR\", fcNumber=4, "
                                 "idQuery=1, reset=1, vi="),
             qPrintable(opens[0]));
    m_card.closeInstrument(select.m_vi);
}

void tst_connectionWorkflow::failedCardRequestGoesOnWithChoice() {
    QVERIFY(loadBench(oneCard()));
    TraceFile trace;
    qv4000fp_fcSelect::setStartRequest(
        {qv4000fp_connectRequest::Start::Card, QStringLiteral("VXI0::3::INSTR"), 1});
    qv4000fp_fcSelect select(&m_card, 0);
    ModalAnswerer answerer;
    answerer.answer("Try Again");
    answerer.answer("Cancel");
    QVERIFY(!select.connectFunctionCard());
    QVERIFY(answerer.unexpected().isEmpty());
    QCOMPARE(titlesOf(answerer),
             (QStringList{"Selected 4720 Function Card is unavailable.\nError: No function card "
                          "at this function card number.",
                          kChoice}));
    QCOMPARE(answerer.seen().first().parent, &select);
    QVERIFY(trace.linesStartingWith("viFindRsrc").isEmpty());
    QCOMPARE(trace.linesStartingWith("qv4720_paramInit").size(), 1);
    QCOMPARE(select.m_vi, ViSession(0));
}

QTEST_MAIN(tst_connectionWorkflow)
#include "tst_connectionWorkflow.moc"
