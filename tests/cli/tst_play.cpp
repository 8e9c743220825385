// The set-point engine from the command line: a played sequence reaches the
// card exactly as the file says, SIGINT stops it with exit status 130, and
// refused input writes nothing.
#include "CliRun.h"

#include <QtTest>

#include <csignal>

namespace {
const char* const kSteps = "dwell_s,ch1,ch2\n0.001,1,\n0.001,2,-1\n0.001,,0.5\n";

QString writeFile(const QTemporaryDir& dir, const char* name, const char* text) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) < 0)
        return QString();
    return file.fileName();
}

QStringList writes(const CliRun& cli) {
    QStringList found;
    for (const QString& line : cli.trace(QStringLiteral("qv4720_writeChannel(")))
        found << line.section(QStringLiteral(", "), 1, 2).section(QLatin1Char(')'), 0, 0);
    return found;
}
} // namespace

class tst_play : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    const QStringList m_card{"-r", "VXI0::3::INSTR", "-f", "2"};

private slots:
    void playWritesTheFileInOrder() {
        CliRun cli;
        QCOMPARE(cli.run(m_card +
                         QStringList{"--play", writeFile(m_dir, "s.csv", kSteps), "--repeat", "2"}),
                 0);
        const QStringList once{"channel=1, value=1", "channel=1, value=2", "channel=2, value=-1",
                               "channel=2, value=0.5"};
        QCOMPARE(writes(cli), once + once);
    }

    void refusedInputWritesNothing_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("outside the soft limits") << QStringList{"--limit", "1=0:2", "--set", "1=3"};
        QTest::newRow("limit outside the range")
            << QStringList{"--limit", "1=-50:2", "--set", "1=1"};
        QTest::newRow("slew from an unknown value") << QStringList{"--slew", "1=5", "--set", "1=1"};
        QTest::newRow("bad sequence file")
            << QStringList{"--play", writeFile(m_dir, "bad.csv", "dwell_s,ch1\n0.01,x\n")};
        QTest::newRow("sequence outside the limits")
            << QStringList{"--limit", "1=0:1.5", "--play", writeFile(m_dir, "s.csv", kSteps)};
    }
    void refusedInputWritesNothing() {
        QFETCH(QStringList, arguments);
        CliRun cli;
        QCOMPARE(cli.run(m_card + arguments), 2);
        QCOMPARE(writes(cli), QStringList());
    }

    void interruptStopsWithItsRule() {
        CliRun cli;
        QProcess program;
        const QString slow = writeFile(m_dir, "slow.csv", "dwell_s,ch1\n0.05,1\n0.05,2\n");
        cli.startHeadless(&program, m_card + QStringList{"--play", slow, "--repeat", "1000"});
        QVERIFY(QTest::qWaitFor([&] { return writes(cli).size() >= 2; }, 20000));
        ::kill(static_cast<pid_t>(program.processId()), SIGINT);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 130);
        QVERIFY(cli.trace().constLast().startsWith(QLatin1String("qv4720_close(")));
    }
};

QTEST_GUILESS_MAIN(tst_play)
#include "tst_play.moc"
