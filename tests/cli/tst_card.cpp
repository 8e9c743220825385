// What reaches the card from the command line: scripted writes (--set,
// --reset) read back from the trace, and the panel opened straight at a card.
#include "CliRun.h"

#include <QtTest>

namespace {
const char* const kOneCard = R"(version: 1
resources:
  "VXI0::3::INSTR":
    slot: 3
    carrier:
      model: 2391
      slots:
        1: {code: 0x5C5C}
        2: {code: 0x4720, range: [-10, 10]%1}
)";
const QString kCard = QStringLiteral("-r VXI0::3::INSTR -f 2");

QStringList args(const QString& line) {
    return line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// The one-card bench, with faults of the card's own when given.
QByteArray oneCard(const char* cardFaults = "") {
    return QString::fromLatin1(kOneCard).arg(QString::fromLatin1(cardFaults)).toLatin1();
}

// The traced driver calls by name, in order.
QStringList driverCalls(const CliRun& cli) {
    QStringList calls;
    for (const QString& line : cli.trace(QStringLiteral("qv4720_")))
        calls << line.section(QLatin1Char('('), 0, 0);
    return calls;
}

// "channel=3, value=2.5" of each traced write.
QStringList writes(const CliRun& cli) {
    QStringList found;
    for (const QString& line : cli.trace(QStringLiteral("qv4720_writeChannel(")))
        found << line.section(QStringLiteral(", "), 1, 2).section(QLatin1Char(')'), 0, 0);
    return found;
}

// Waits until the running panel has made a traced call that begins with
// prefix, then ends it.
bool panelReached(QProcess* panel, const CliRun& cli, const QString& prefix) {
    const bool reached = QTest::qWaitFor([&] { return !cli.trace(prefix).isEmpty(); }, 30000);
    panel->kill();
    panel->waitForFinished();
    return reached;
}
} // namespace

class TestCard : public QObject {
    Q_OBJECT
private slots:
    void setWritesExactlyWhatWasAsked() {
        CliRun cli(oneCard());
        QCOMPARE(cli.run(args("--set 3=2.5 --set 1=-1 --set=8=10 " + kCard)), 0);
        // Opened without the reset flag: the channels not named keep their outputs.
        QCOMPARE(cli.trace(QStringLiteral("qv4720_paramInit")).size(), 1);
        QVERIFY(cli.trace(QStringLiteral("qv4720_paramInit"))
                    .constFirst()
                    .contains(QLatin1String(
                        "resourceName=\"VXI0::3::INSTR\", fcNumber=2, idQuery=1, reset=0")));
        QCOMPARE(writes(cli), QStringList({QStringLiteral("channel=3, value=2.5"),
                                           QStringLiteral("channel=1, value=-1"),
                                           QStringLiteral("channel=8, value=10")}));
        QCOMPARE(driverCalls(cli).count(QStringLiteral("qv4720_reset")), 0);
        QCOMPARE(driverCalls(cli).constLast(), QStringLiteral("qv4720_close"));
        QCOMPARE(cli.trace(QStringLiteral("viFindRsrc")), QStringList());
        QCOMPARE(cli.out(), QStringLiteral("channel 3: 2.5 V\nchannel 1: -1 V\nchannel 8: 10 V\n"));
    }

    void resetComesBeforeTheWrites() {
        CliRun cli(oneCard());
        QCOMPARE(cli.run(args("--reset --set 2=-0.5 " + kCard)), 0);
        QCOMPARE(
            driverCalls(cli),
            QStringList({QStringLiteral("qv4720_paramInit"),
                         QStringLiteral("qv4720_getOutputRange"), QStringLiteral("qv4720_reset"),
                         QStringLiteral("qv4720_writeChannel"), QStringLiteral("qv4720_close")}));
    }

    void valueOutsideTheRangeWritesNothing() {
        CliRun cli(oneCard());
        QCOMPARE(cli.run(args("--reset --set 1=1 --set 2=12 " + kCard)), 2);
        QVERIFY2(cli.err().contains(QLatin1String("channel 2: 12 V is outside the card's output "
                                                  "range -10 V to 10 V")),
                 qPrintable(cli.err()));
        QCOMPARE(writes(cli), QStringList());
        QCOMPARE(driverCalls(cli).count(QStringLiteral("qv4720_reset")), 0);
        QCOMPARE(driverCalls(cli).constLast(), QStringLiteral("qv4720_close"));
    }

    void writeErrorStopsTheRun() {
        CliRun cli(oneCard(", faults: {qv4720_writeChannel: 0xBFFC0901}"));
        QCOMPARE(cli.run(args("--set 1=1 --set 2=2 " + kCard)), 1);
        QCOMPARE(writes(cli).size(), 1);
        const QStringList lines = cli.err().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY2(
            lines.at(0).startsWith(QLatin1String(
                "qv4720sfp: channel 1: qv4720_writeChannel(app->vi(), indx, val) failed due to [")),
            qPrintable(lines.at(0)));
        QVERIFY(lines.at(0).size() > 80 && lines.at(0).endsWith(QLatin1Char(']')));
        QCOMPARE(lines.at(1), QStringLiteral("qv4720sfp: nothing was written"));
        QCOMPARE(lines.at(2), QStringLiteral("qv4720sfp: not attempted: channel 2"));
        QCOMPARE(driverCalls(cli).constLast(), QStringLiteral("qv4720_close"));
    }

    void warningIsShownAndTheRunGoesOn() {
        CliRun cli(oneCard(", faults: {qv4720_writeChannel: 0x3FFC0901}"));
        QCOMPARE(cli.run(args("--set 1=1 --set 2=2 " + kCard)), 0);
        QCOMPARE(writes(cli).size(), 2);
        QCOMPARE(cli.err().count(QLatin1String("Warning: [")), 2);
    }

    void cardThatDoesNotOpen() {
        CliRun cli(oneCard());
        QCOMPARE(cli.run(args("--set 1=1 -r VXI0::3::INSTR -f 1")), 1);
        QVERIFY2(cli.err().startsWith(QLatin1String(
                     "qv4720sfp: Selected 4720 Function Card is unavailable. Error: ")),
                 qPrintable(cli.err()));
        QVERIFY(cli.err().size() > 60);
        QCOMPARE(writes(cli), QStringList());
    }

    void demoSetIsADryRun() {
        CliRun cli(oneCard());
        QCOMPARE(cli.run(args("--demo --reset --set 1=15 --set 2=-20")), 0);
        QVERIFY(cli.out().contains(QLatin1String("would set channel 1: 15 V\n")));
        QCOMPARE(cli.trace(), QStringList());
        QCOMPARE(cli.run(args("--demo --set 1=25")), 2);
        QCOMPARE(cli.trace(), QStringList());
    }

    void resourceOpensThePanelWithoutASearch() {
        CliRun cli(oneCard());
        QProcess panel;
        cli.startPanel(&panel, args("--resource VXI0::3::INSTR --fc 2"));
        // A read the panel makes only with a session, once the card is open.
        QVERIFY(panelReached(&panel, cli, QStringLiteral("qv4720_readSerialNo(")));
        QCOMPARE(cli.trace(QStringLiteral("viFindRsrc")), QStringList());
        QVERIFY(cli.trace(QStringLiteral("qv4720_paramInit"))
                    .constFirst()
                    .contains(QLatin1String(
                        "resourceName=\"VXI0::3::INSTR\", fcNumber=2, idQuery=1, reset=1")));
    }

    void demoOpensThePanelWithoutAsking() {
        CliRun cli(oneCard());
        QProcess panel;
        // The toolkit's own option chooses the platform here.
        cli.startPanel(&panel, args("--demo -platform offscreen"));
        QVERIFY(panelReached(&panel, cli, QStringLiteral("qv4000_libraryRevision")));
        QCOMPARE(cli.trace(QStringLiteral("viFindRsrc")), QStringList());
        QCOMPARE(cli.trace(QStringLiteral("qv4720_paramInit")), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCard)
#include "tst_card.moc"
