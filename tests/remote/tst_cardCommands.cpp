// The card's SCPI commands on the simulated card in this process: what each
// message answers and exactly which writes reach the driver (from its call
// trace), so that nothing refused and nothing unknown is ever written.
#include "RemoteLock.h"
#include "ScpiEngine.h"
#include "ScpiSession.h"
#include "TraceLines.h"
#include "qv4720.h"
#include "qv4720_fc.h"
#include "qv4720fp_CardEngine.h"
#include "qv4720fp_CardSession.h"
#include "qv4720fp_ScpiCommands.h"
#include "qv4720fp_ScpiEngineCommands.h"
#include "zelvan_sim.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
const char* const kBench = R"(version: 1
resources:
  "VXI0::3::INSTR":
    slot: 3
    carrier:
      model: 2391
      slots:
        1: {code: 0x4720, range: [-10, 10]}
)";
} // namespace

class tst_cardCommands : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    qv4720_fc m_fc;
    std::unique_ptr<qv4720fp_CardSession> m_session;
    std::unique_ptr<qv4720fp_CardEngine> m_cardEngine;
    std::unique_ptr<RemoteLock> m_lock;
    std::unique_ptr<ScpiEngine> m_scpi;
    std::shared_ptr<ScpiSession> m_client;

    QString tracePath() const { return m_dir.filePath(QStringLiteral("trace.txt")); }
    QStringList writes() const {
        // "qv4720_writeChannel(vi=65537, channel=1, value=0.25) = 0" as "1=0.25"
        static const QRegularExpression call(QStringLiteral("channel=(\\d+), value=([^)]*)"));
        QStringList written;
        for (const QString& line : traceLines(tracePath(), QStringLiteral("qv4720_writeChannel(")))
            written << call.match(line).captured(1) + QLatin1Char('=') +
                           call.match(line).captured(2);
        return written;
    }
    QByteArray ask(const char* message) {
        return m_scpi->execute(*m_client, QByteArrayView(message));
    }
    // Several program messages, one a line; their answers joined by '|'.
    QString askLines(const QByteArray& messages) {
        QStringList answers;
        for (const QByteArray& message : messages.split('\n'))
            answers << QString::fromLatin1(ask(message.constData())).trimmed();
        return answers.join(QLatin1Char('|'));
    }

private slots:
    void init() {
        QVERIFY(zsim_loadBenchText(kBench, "commands") == 0);
        QFile::remove(tracePath());
        zsim_setTrace(QFile::encodeName(tracePath()).constData());
        m_session = std::make_unique<qv4720fp_CardSession>(&m_fc);
        QCOMPARE(m_session->open(QStringLiteral("VXI0::3::INSTR"), 1, false), VI_SUCCESS);
        QCOMPARE(m_session->readOutputRange(), VI_SUCCESS);
        QCOMPARE(m_session->readSerialNumber(), VI_SUCCESS);
        QCOMPARE(m_session->readRevisions(), VI_SUCCESS);
        m_cardEngine = std::make_unique<qv4720fp_CardEngine>(m_session.get());
        m_lock = std::make_unique<RemoteLock>();
        m_scpi = std::make_unique<ScpiEngine>(*m_lock);
        qv4720fp_ScpiCommands::addTo(*m_scpi, m_session.get(), m_cardEngine.get());
        new qv4720fp_ScpiEngineCommands(*m_scpi, m_session.get(), m_cardEngine.get(),
                                        m_cardEngine.get());
        m_client = m_scpi->createSession(QStringLiteral("test"));
        QFile::remove(tracePath()); // from here on, only what the commands write
    }
    void cleanup() {
        m_client.reset();
        m_scpi.reset();
        m_cardEngine.reset();
        m_session->close();
        m_session.reset();
        zsim_clearInjectedStatus("qv4720_writeChannel");
    }

    // Each row: program messages, the answers they must give (a regular
    // expression over them all) and the writes the driver must see.
    void messages_data() {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("written");
        QTest::newRow("unknown channel is not-a-number")
            << QByteArray("SOUR5:VOLT?") << "9\\.91E\\+37" << QStringList();
        QTest::newRow("set and query back")
            << QByteArray("SOUR3:VOLT 1.5;VOLT?") << "1\\.500000E\\+00" << QStringList{"3=1.5"};
        QTest::newRow("suffix and selected channel")
            << QByteArray("INST:NSEL 2;:VOLT 250 MV;:SOURce2:VOLTage:LEVel?") << "2\\.500000E-01"
            << QStringList{"2=0.25"};
        QTest::newRow("out of range is refused, not clamped")
            << QByteArray("SOUR1:VOLT 1E3;:SYST:ERR?") << "-222,.*" << QStringList();
        QTest::newRow("channel suffix beyond eight")
            << QByteArray("SOUR9:VOLT 0\nSYST:ERR?") << "\\|-114,.*" << QStringList();
        QTest::newRow("MAX is the card's top")
            << QByteArray("SOUR8:VOLT MAX;VOLT?") << "1\\.000000E\\+01" << QStringList{"8=10"};
        QTest::newRow("soft limit refuses")
            << QByteArray("SOUR1:VOLT:LIM:HIGH 1;:SOUR1:VOLT 2;:SYST:ERR?;:SOUR1:VOLT?")
            << "-222,.*;9\\.91E\\+37" << QStringList();
        QTest::newRow("reset forgets what was written")
            << QByteArray("SOUR4:VOLT 1;*RST;:SOUR4:VOLT?") << "9\\.91E\\+37" << QStringList{"4=1"};
    }
    void messages() {
        QFETCH(QByteArray, message);
        QFETCH(QString, answer);
        QFETCH(QStringList, written);
        const QString got = askLines(message);
        QVERIFY2(
            QRegularExpression(QRegularExpression::anchoredPattern(answer)).match(got).hasMatch(),
            qPrintable(got));
        QCOMPARE(writes(), written);
    }

    // INITiate plays the lists on the engine's thread; the operation
    // condition's bit 4 says it runs.
    void listPlaysInOrder() {
        ask("SOUR6:LIST:VOLT 1,2,3;:SOUR:LIST:DWEL 0.001;:INIT");
        QTRY_COMPARE_WITH_TIMEOUT(writes(), (QStringList{"6=1", "6=2", "6=3"}), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(ask("STAT:OPER:COND?"), QByteArray("0\n"), 5000);
        QCOMPARE(ask("SOUR6:VOLT?"), QByteArray("3.000000E+00\n"));
    }

    // The driver's error reaches the client's queue as the panel's box says it,
    // and the channel becomes unknown again.
    void driverErrorIsQueuedWithThePanelsText() {
        ask("SOUR2:VOLT 1");
        zsim_setInjectedStatus("qv4720_writeChannel", QV4720_ERROR_VALUE);
        ask("SOUR2:VOLT 2");
        const QString error = QString::fromLatin1(ask("SYST:ERR?"));
        const QString panelText =
            m_session->statusReport(QV4720_ERROR_VALUE, qv4720fp_CardSession::Call::WriteChannel);
        QVERIFY2(error.contains(panelText.section(QLatin1Char('\n'), 0, 0)), qPrintable(error));
        QCOMPARE(ask("SOUR2:VOLT?"), QByteArray("9.91E+37\n"));
    }
};

QTEST_GUILESS_MAIN(tst_cardCommands)
#include "tst_cardCommands.moc"
