// The card session's contract, on the simulated bench in this process: what
// opens, what may be written, what the set-point record knows, and writes
// from other threads reaching the card one at a time, in order.
#include "TraceLines.h"
#include "qv4720.h"
#include "qv4720_fc.h"
#include "qv4720fp_CardSession.h"
#include "zelvan_sim.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>
#include <thread>

namespace {
const char* const kBench = R"(version: 1
resources:
  "VXI0::3::INSTR":
    slot: 3
    carrier:
      model: 2391
      slots:
        1: {code: 0x4720, range: [-10, 10]}
        2: {code: 0x4720, faults: {qv4720_paramInit: 0x3FFC0901}}
        3: {code: 0x4720, faults: {qv4720_paramInit: 0xBFFC0907}}
)";
const QString kCarrier = QStringLiteral("VXI0::3::INSTR");
using Refusal = qv4720fp_CardSession::Refusal;
} // namespace

class tst_cardSession : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    qv4720_fc m_fc;

    QString tracePath() const { return m_dir.filePath(QStringLiteral("trace.txt")); }
    QStringList trace(const char* prefix) const {
        return traceLines(tracePath(), QString::fromLatin1(prefix));
    }

private slots:
    void init() {
        QVERIFY(zsim_loadBenchText(kBench, "session") == 0);
        QFile::remove(tracePath());
        zsim_setTrace(QFile::encodeName(tracePath()).constData());
    }

    void onlyStatusZeroOpens_data() {
        QTest::addColumn<int>("fc");
        QTest::addColumn<bool>("opens");
        QTest::newRow("success") << 1 << true;
        QTest::newRow("warning") << 2 << false;
        QTest::newRow("error") << 3 << false;
    }
    void onlyStatusZeroOpens() {
        QFETCH(int, fc);
        QFETCH(bool, opens);
        qv4720fp_CardSession session(&m_fc);
        session.open(kCarrier, static_cast<quint16>(fc), false);
        QCOMPARE(session.isOpen(), opens);
        QCOMPARE(session.vi() != 0, opens);
        session.close();
        QCOMPARE(zsim_openSessionCount(), 0); // the warning's session closed too
    }

    void writesOutsideTheRulesNeverReachTheCard_data() {
        QTest::addColumn<int>("channel");
        QTest::addColumn<double>("volts");
        QTest::addColumn<int>("refusal");
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("channel 0") << 0 << 1.0 << int(Refusal::Channel);
        QTest::newRow("channel 9") << 9 << 1.0 << int(Refusal::Channel);
        QTest::newRow("nan") << 1 << std::nan("") << int(Refusal::NotFinite);
        QTest::newRow("inf") << 1 << inf << int(Refusal::NotFinite);
        QTest::newRow("above") << 1 << 10.5 << int(Refusal::OutOfRange);
        QTest::newRow("below") << 8 << -10.000001 << int(Refusal::OutOfRange);
        QTest::newRow("at the limit") << 8 << -10.0 << int(Refusal::None);
    }
    void writesOutsideTheRulesNeverReachTheCard() {
        QFETCH(int, channel);
        QFETCH(double, volts);
        QFETCH(int, refusal);
        qv4720fp_CardSession session(&m_fc);
        QCOMPARE(session.writeChannel(1, 1.0).refusal, Refusal::NotOpen);
        QCOMPARE(session.open(kCarrier, 1, false), VI_SUCCESS);
        QCOMPARE(session.writeChannel(1, 1.0).refusal, Refusal::NoRange); // range not read yet
        QCOMPARE(session.readOutputRange(), VI_SUCCESS);
        QCOMPARE(int(session.writeChannel(channel, volts).refusal), refusal);
        QCOMPARE(trace("qv4720_writeChannel").size(), refusal == int(Refusal::None) ? 1 : 0);
        session.close();
    }

    void setpointRecordKnowsOnlyWhatWasWritten() {
        qv4720fp_CardSession session(&m_fc);
        QSignalSpy changed(&session, &qv4720fp_CardSession::setpointChanged);
        session.open(kCarrier, 1, true);
        session.readOutputRange();
        QCOMPARE(session.setpoint(2), std::optional<double>());
        QVERIFY(session.writeChannel(2, 2.5).written());
        QCOMPARE(session.setpoint(2), std::optional<double>(2.5));
        QCOMPARE(changed.size(), 1);
        zsim_setInjectedStatus("qv4720_writeChannel", QV4720_ERROR_VALUE);
        QVERIFY(!session.writeChannel(2, 3.0).written());
        zsim_clearInjectedStatus("qv4720_writeChannel");
        QCOMPARE(session.setpoint(2), std::optional<double>()); // a failed write: unknown
        session.writeChannel(3, 1.0);
        QCOMPARE(session.reset(), VI_SUCCESS);
        QCOMPARE(session.setpoint(3), std::optional<double>());
        QCOMPARE(session.close(), VI_SUCCESS);
    }

    // A sequence-like writer on a thread of its own beside the owner's: every
    // write reaches the card, in the order it was made.
    void writesFromAnotherThreadKeepTheirOrder() {
        qv4720fp_CardSession session(&m_fc);
        session.open(kCarrier, 1, false);
        session.readOutputRange();
        const int count = 50;
        bool allWritten = true;
        std::thread writer([&] {
            for (int i = 0; i < count; ++i)
                allWritten = session.writeChannel(1 + i % 8, i * 0.1).written() && allWritten;
        });
        QTRY_COMPARE_WITH_TIMEOUT(trace("qv4720_writeChannel").size(), count, 10000);
        writer.join();
        QVERIFY(allWritten);
        const QStringList writes = trace("qv4720_writeChannel");
        for (int i = 0; i < count; ++i)
            QVERIFY2(writes.at(i).contains(QStringLiteral("channel=%1,").arg(1 + i % 8)),
                     qPrintable(writes.at(i)));
        session.close();
    }
};

QTEST_GUILESS_MAIN(tst_cardSession)
#include "tst_cardSession.moc"
