#include "ModalAnswerer.h"
#include "qv4000fp_app.h"
#include "qv4000fp_messages.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <cstdio>

namespace {
const char* const kChildFlag = "--error-box-child";

QStringList buttonTexts(const QString& first, const QString& second = QString()) {
    QStringList texts{first};
    if (!second.isEmpty())
        texts << second;
    return texts;
}

// Records whether any button of the box is, or claims to be, the default,
// then clicks the given button.
ModalAnswerer::Action inspectAndAnswer(const QString& answer, bool* anyDefault, bool* modal) {
    return [=](QWidget* widget) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        *modal = widget->isModal();
        *anyDefault = box->defaultButton() != nullptr;
        const auto buttons = box->findChildren<QPushButton*>();
        for (QPushButton* button : buttons)
            *anyDefault = *anyDefault || button->isDefault();
        ModalAnswerer::clickButton(box, answer);
    };
}

// The child shows a main window and an error box answered as told; it prints
// each box it sees, and "returned" if showErrorMessage came back.
int runErrorBoxChild(int argc, char** argv, const QString& answer) {
    QApplication app(argc, argv);
    panelName = QStringLiteral("4720");
    qv4000fp_app window;
    window.show();
    ModalAnswerer answerer;
    auto printAndAnswer = [](const QString& text) {
        return [text](QWidget* widget) {
            std::printf("box: %s\n", qPrintable(widget->windowTitle()));
            std::fflush(stdout);
            ModalAnswerer::clickButton(qobject_cast<QMessageBox*>(widget), text);
        };
    };
    answerer.handle(printAndAnswer(answer));
    answerer.handle(printAndAnswer(QStringLiteral("No")));
    showErrorMessage(QStringLiteral("qv4720_reset(vi) failed"));
    std::printf("returned\n");
    return 3;
}
} // namespace

class TestMessages : public QObject {
    Q_OBJECT
private slots:
    void init();
    void infoAndWarningBoxes_data();
    void infoAndWarningBoxes();
    void emptyPanelNameLeavesTwoBlanks();
    void errorBoxAsksToExitWithoutDefault();
    void boxesParentToTheActiveWindow();
    void closeAskedAndRefused();
    void closeConfirmedEndsEventLoop();
    void errorBoxAnswerEndsProcessOnlyOnYes_data();
    void errorBoxAnswerEndsProcessOnlyOnYes();

private:
    ModalAnswerer* m_answerer = nullptr;
};

void TestMessages::init() {
    panelName = QStringLiteral("4720");
    delete m_answerer;
    m_answerer = new ModalAnswerer(this);
}

void TestMessages::infoAndWarningBoxes_data() {
    QTest::addColumn<bool>("warning");
    QTest::newRow("info") << false;
    QTest::newRow("warning") << true;
}

void TestMessages::infoAndWarningBoxes() {
    QFETCH(bool, warning);
    m_answerer->answer(QStringLiteral("OK"));
    if (warning)
        showWarningMessage(QStringLiteral("Warning [overrange]"));
    else
        showInfoMessage(QStringLiteral("Card found"));

    QCOMPARE(m_answerer->seen().size(), 1);
    const ModalAnswerer::Seen& box = m_answerer->seen().first();
    QCOMPARE(box.title, warning ? QStringLiteral("Zelvan 4720 SFP Warning message")
                                : QStringLiteral("Zelvan 4720 SFP Info message"));
    QCOMPARE(box.text,
             warning ? QStringLiteral("Warning [overrange]") : QStringLiteral("Card found"));
    QCOMPARE(box.icon, warning ? QMessageBox::Warning : QMessageBox::Information);
    QCOMPARE(box.buttons, buttonTexts(QStringLiteral("OK")));
    QVERIFY(m_answerer->unexpected().isEmpty());
}

void TestMessages::emptyPanelNameLeavesTwoBlanks() {
    panelName.clear();
    m_answerer->answer(QStringLiteral("OK"));
    showInfoMessage(QStringLiteral("x"));
    QCOMPARE(m_answerer->seen().first().title, QStringLiteral("Zelvan  SFP Info message"));
}

void TestMessages::errorBoxAsksToExitWithoutDefault() {
    bool anyDefault = true;
    bool modal = false;
    m_answerer->handle(inspectAndAnswer(QStringLiteral("No"), &anyDefault, &modal));
    showErrorMessage(QStringLiteral("qv4720_writeChannel(app->vi(), indx, val) failed due to [x]"));

    // Answering No comes back here.
    QCOMPARE(m_answerer->seen().size(), 1);
    const ModalAnswerer::Seen& box = m_answerer->seen().first();
    QCOMPARE(box.title, QStringLiteral("Zelvan 4720 SFP Error message"));
    QCOMPARE(box.text, QStringLiteral("qv4720_writeChannel(app->vi(), indx, val) failed due to "
                                      "[x]\nDo you want to exit?"));
    QCOMPARE(box.icon, QMessageBox::Critical);
    QCOMPARE(box.buttons, buttonTexts(QStringLiteral("Yes"), QStringLiteral("No")));
    QVERIFY(modal);
    QVERIFY(!anyDefault);
}

void TestMessages::boxesParentToTheActiveWindow() {
    m_answerer->answer(QStringLiteral("OK"));
    showWarningMessage(QStringLiteral("no window"));
    QCOMPARE(m_answerer->seen().last().parent, nullptr);

    QWidget window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    m_answerer->answer(QStringLiteral("OK"));
    showWarningMessage(QStringLiteral("with window"));
    QCOMPARE(m_answerer->seen().last().parent, &window);
}

void TestMessages::closeAskedAndRefused() {
    qv4000fp_app window;
    window.setTitle(QStringLiteral("unchanged"));
    window.show();
    bool anyDefault = true;
    bool modal = false;
    m_answerer->handle(inspectAndAnswer(QStringLiteral("No"), &anyDefault, &modal));
    QVERIFY(!window.close());

    QVERIFY(window.isVisible());
    QCOMPARE(m_answerer->seen().size(), 1);
    const ModalAnswerer::Seen& box = m_answerer->seen().first();
    QCOMPARE(box.title, QStringLiteral("Zelvan 4720 SFP"));
    QCOMPARE(box.text, QStringLiteral("Do you really want to exit?"));
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.buttons, buttonTexts(QStringLiteral("Yes"), QStringLiteral("No")));
    QVERIFY(modal);
    QVERIFY(!anyDefault);
}

// The "Close" button asks; Yes closes the last window, which ends the loop.
void TestMessages::closeConfirmedEndsEventLoop() {
    qv4000fp_app window;
    window.show();
    QPushButton* close = nullptr;
    const auto buttons = window.findChildren<QPushButton*>();
    for (QPushButton* button : buttons)
        if (button->text() == QLatin1String("Close"))
            close = button;
    QVERIFY(close);

    m_answerer->answer(QStringLiteral("Yes"));
    QTimer::singleShot(0, close, &QPushButton::click);
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!window.isVisible());
    QCOMPARE(m_answerer->seen().size(), 1);
    QCOMPARE(m_answerer->seen().first().title, QStringLiteral("Zelvan 4720 SFP"));
}

void TestMessages::errorBoxAnswerEndsProcessOnlyOnYes_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::newRow("Yes ends with 0") << "Yes" << 0 << "box: Zelvan 4720 SFP Error message\n";
    QTest::newRow("No returns") << "No" << 3 << "box: Zelvan 4720 SFP Error message\nreturned\n";
}

void TestMessages::errorBoxAnswerEndsProcessOnlyOnYes() {
    QFETCH(QString, answer);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kChildFlag), answer});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), exitCode);
    QCOMPARE(QString::fromLocal8Bit(child.readAllStandardOutput()), output);
}

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], kChildFlag) == 0)
        return runErrorBoxChild(argc, argv, QString::fromLocal8Bit(argv[2]));
    QApplication app(argc, argv);
    TestMessages test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_messages.moc"
