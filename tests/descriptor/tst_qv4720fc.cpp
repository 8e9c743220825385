// The 4720 card descriptor over the simulated driver: model codes, texts,
// and what reaches the driver when opening, keeping and reopening a card.
#include "../instrument/SimTestSupport.h"
#include "qv4720.h"
#include "qv4720_fc.h"

#include <QtTest>

#include <algorithm>
#include <vector>

namespace {

QString paramInitLine(const QString& resource, int fc) {
    return QString("qv4720_paramInit(resourceName=\"%1\", fcNumber=%2, idQuery=1, reset=1, vi=")
        .arg(resource)
        .arg(fc);
}

} // namespace

class tst_qv4720fc : public QObject {
    Q_OBJECT
private slots:
    void init() { zsim_useDefaultBench(); }

    void supportsOnlyTheDacModel() {
        const qv4720_fc fc;
        QCOMPARE(fc.m_model, 0x4720);
        QVERIFY(fc.supportsModel(0x4720));
        QVERIFY(!fc.supportsModel(0x4721));
        QVERIFY(!fc.supportsModel(0));
    }

    void textsAndDriverRevision() {
        qv4720_fc fc;
        QCOMPARE(fc.description(), QString("8-Channel, 18-bit DAC Function Card"));
        QCOMPARE(fc.version(), QString("4.3.1.12523"));
        QVERIFY(!fc.copyright().isEmpty());
        char revision[QV4720_REVISION_BUFLEN] = {};
        QCOMPARE(qv4720_revision_query(0, revision, nullptr), VI_SUCCESS);
        QCOMPARE(fc.driverRevision(), QString(revision));
        // The status is not looked at: a failing driver leaves an empty text.
        QCOMPARE(zsim_loadBenchText("version: 1\nfaults: {qv4720_revision_query: -1}\n", "f.yaml"),
                 0);
        QCOMPARE(fc.driverRevision(), QString());
    }

    void errorMessageIsEmptyForUnknownStatuses() {
        qv4720_fc fc;
        QCOMPARE(fc.errorMessage(QV4720_ERROR_CHANNEL),
                 QString("Channel number out of range (1 to 8)."));
        QCOMPARE(fc.errorMessage(0x12345678), QString());
        QCOMPARE(fc.errorMessage(-1), QString());
    }

    void initInstrumentUsesTheFirstCardNumberOnly() {
        simtest::TraceFile trace;
        qv4720_fc fc;
        ViUInt16 numbers[] = {2, 1, 3};
        ViSession vi = VI_NULL;
        QCOMPARE(fc.initInstrument("VXI0::3::INSTR,ASRL1::INSTR", numbers, 1, 1, &vi), VI_SUCCESS);
        QVERIFY(vi != VI_NULL);
        QCOMPARE(fc.resetInstrument(vi), VI_SUCCESS);
        QCOMPARE(fc.closeInstrument(vi), VI_SUCCESS);
        QCOMPARE(fc.resetInstrument(vi), QV4720_ERROR_INV_SESSION);
        const QStringList lines = trace.lines();
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines[0].startsWith(paramInitLine("VXI0::3::INSTR,ASRL1::INSTR", 2)),
                 qPrintable(lines[0]));
    }

    void keepsTheFirst2047CharactersAndReopensWithThem() {
        simtest::TraceFile trace;
        qv4720_fc fc;
        const QByteArray resource = "VXI0::3::INSTR," + QByteArray(3000 - 15, 'x');
        QCOMPARE(resource.size(), 3000);
        ViUInt16 numbers[] = {2, 4};
        ViSession vi = VI_NULL;
        QCOMPARE(fc.initInstrumentAndKeep(resource.constData(), numbers, 2, 1, 1, &vi), VI_SUCCESS);
        QCOMPARE(qstrlen(fc.m_resource), uint(2047));
        QCOMPARE(fc.m_fcNumbers[0], ViUInt16(2));
        QCOMPARE(fc.m_fcNumbers[1], ViUInt16(4));
        ViSession again = VI_NULL;
        QCOMPARE(fc.reinitInstrument(&again), VI_SUCCESS);
        const QStringList lines = trace.lines();
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith(paramInitLine(resource, 2)));
        QVERIFY(lines[1].startsWith(paramInitLine(resource.left(2047), 2)));
        fc.closeInstrument(vi);
        fc.closeInstrument(again);
    }

    void cardCountsAreClamped() {
        qv4720_fc fc;
        std::vector<ViUInt16> many(300);
        for (size_t i = 0; i < many.size(); ++i)
            many[i] = ViUInt16(i + 1);
        ViSession vi = VI_NULL;
        fc.initInstrumentAndKeep("ASRL1::INSTR", many.data(), 300, 1, 1, &vi);
        QCOMPARE(fc.m_fcNumbers[255], ViUInt16(256)); // 256 kept, nothing written past the array

        qv4720_fc other;
        ViUInt16 one[] = {7};
        other.initInstrumentAndKeep("ASRL1::INSTR", one, -5, 1, 1, &vi);
        QVERIFY(std::all_of(std::begin(other.m_fcNumbers), std::end(other.m_fcNumbers),
                            [](ViUInt16 n) { return n == 0; }));
        QCOMPARE(QString(other.m_resource), QString("ASRL1::INSTR"));
    }
};

QTEST_GUILESS_MAIN(tst_qv4720fc)
#include "tst_qv4720fc.moc"
