// Statuses injected from the bench file, and the call trace.
#include "SimTestSupport.h"
#include "qv4000.h"
#include "qv4720.h"

#include <QtTest>

#include <cstring>

namespace {

const char* const kFaultBench = R"yaml(version: 1
faults: {qv4720_writeChannel: -1073807339, qv4720_revision_query: QV4720_WARN_SETTLING,
         qv4000_libraryRevision: -1073807360}
resources:
  "VXI0::3::INSTR":
    slot: 3
    faults: {qv4720_writeChannel: 0xBFFF0072, "viGetAttribute(VI_ATTR_SLOT)": -1073807331,
             viClose: 0x3FFF0077}
    carrier:
      model: 2391
      slots:
        1: {code: 0x4720, faults: {qv4720_writeChannel: -1074001919, qv4720_reset: 1073481985}}
        2: {code: 0x4720}
  "VXI0::4::INSTR":
    faults: {viOpen: VI_ERROR_TMO}
    carrier: {model: 2391, slots: {1: {code: 0x4720}}}
  "VXI0::5::INSTR":
    faults: {viOpen: 0x3FFF007D, qv4720_paramInit: 0x3FFC0901}
    carrier: {model: 2391, slots: {1: {code: 0x4720}}}
)yaml";

ViSession openCard(const char* name, ViUInt16 fc, ViStatus expected = VI_SUCCESS) {
    ViSession vi = VI_NULL;
    const ViStatus status = qv4720_paramInit(const_cast<char*>(name), fc, 1, 1, &vi);
    [&] { QCOMPARE(status, expected); }();
    return vi;
}

double output(const char* name, int fc, int channel) {
    double v = -99;
    zsim_channelOutput(name, fc, channel, &v);
    return v;
}

} // namespace

class tst_faultsAndTrace : public QObject {
    Q_OBJECT
private slots:
    void init() { QCOMPARE(zsim_loadBenchText(kFaultBench, "faults.yaml"), 0); }

    void mostSpecificPlaceWins() {
        const ViSession fc1 = openCard("VXI0::3::INSTR", 1);
        const ViSession fc2 = openCard("VXI0::3::INSTR", 2);
        const ViSession other = openCard("VXI0::5::INSTR", 1, QV4720_WARN_SETTLING);
        QCOMPARE(qv4720_writeChannel(fc1, 1, 1.0), ViStatus(-1074001919)); // card
        QCOMPARE(qv4720_writeChannel(fc2, 1, 1.0), VI_ERROR_RSRC_BUSY);    // resource
        QCOMPARE(qv4720_writeChannel(other, 1, 1.0), VI_ERROR_TMO);        // bench
        // A failing injected status leaves no effect.
        QCOMPARE(output("VXI0::3::INSTR", 1, 1), 0.0);
        QCOMPARE(output("VXI0::3::INSTR", 2, 1), 0.0);
    }

    void warningsLetTheCallWork() {
        ViSession rm = VI_NULL, vi = VI_NULL;
        QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
        QCOMPARE(viOpen(rm, "VXI0::5::INSTR", 0, 0, &vi), VI_SUCCESS_DEV_NPRESENT);
        QVERIFY(vi != VI_NULL);
        QCOMPARE(zsim_openSessionCount(), 1);
        // paramInit's warning still opens the card.
        const ViSession card = openCard("VXI0::5::INSTR", 1, QV4720_WARN_SETTLING);
        QVERIFY(card != VI_NULL);
        QCOMPARE(zsim_openSessionCount(), 2);
        // The card's reset warning: outputs still return to 0 V.
        QCOMPARE(zsim_loadBenchText(R"(version: 1
resources:
  "VXI0::3::INSTR":
    carrier: {model: 1, slots: {1: {code: 0x4720, faults: {qv4720_reset: 1073481985}}}}
)",
                                    "reset.yaml"),
                 0);
        const ViSession fc1 = openCard("VXI0::3::INSTR", 1);
        QCOMPARE(qv4720_writeChannel(fc1, 2, 3.0), VI_SUCCESS);
        QCOMPARE(qv4720_reset(fc1), ViStatus(1073481985));
        QCOMPARE(output("VXI0::3::INSTR", 1, 2), 0.0);
    }

    void visaFaultsPerResourceAndAttribute() {
        ViSession rm = VI_NULL, vi = 55;
        QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
        QCOMPARE(viOpen(rm, "VXI0::4::INSTR", 0, 0, &vi), VI_ERROR_TMO);
        QCOMPARE(vi, ViSession(VI_NULL));
        QCOMPARE(zsim_openSessionCount(), 0);
        // The driver's own open is not a client viOpen: it is not refused.
        openCard("VXI0::4::INSTR", 1);

        QCOMPARE(viOpen(rm, "VXI0::3::INSTR", 0, 0, &vi), VI_SUCCESS);
        ViInt16 slot = 42;
        QCOMPARE(viGetAttribute(vi, VI_ATTR_SLOT, &slot), ViStatus(-1073807331));
        QCOMPARE(slot, ViInt16(42));
        ViUInt16 type = 0;
        QCOMPARE(viGetAttribute(vi, VI_ATTR_INTF_TYPE, &type), VI_SUCCESS);
        QCOMPARE(viClose(vi), VI_WARN_CONFIG_NLOADED);
        QCOMPARE(zsim_openSessionCount(), 1); // the card opened above
    }

    void sessionlessCallsTakeBenchFaults() {
        char revision[64] = "untouched";
        QCOMPARE(qv4000_libraryRevision(revision), VI_ERROR_SYSTEM_ERROR);
        QCOMPARE(QString(revision), QString("untouched"));
        QCOMPARE(qv4720_revision_query(0, revision, nullptr), QV4720_WARN_SETTLING);
        QVERIFY(QString(revision) != "untouched");

        QCOMPARE(
            zsim_loadBenchText("version: 1\nfaults: {viOpenDefaultRM: -1073807360}\n", "rm.yaml"),
            0);
        ViSession rm = 9;
        QCOMPARE(viOpenDefaultRM(&rm), VI_ERROR_SYSTEM_ERROR);
        QCOMPARE(rm, ViSession(VI_NULL));
        QCOMPARE(zsim_openObjectCount(), 0);
    }

    void traceShowsClientCallsWithTheirResults() {
        simtest::TraceFile trace;
        zsim_resetStatistics();
        ViSession rm = VI_NULL, vi = VI_NULL;
        viOpenDefaultRM(&rm);
        viOpen(rm, "VXI0::3::INSTR", 0, 0, &vi);
        ViInt16 slot = 0;
        viGetAttribute(vi, VI_ATTR_SLOT, &slot);
        ViUInt16 type = 0;
        viGetAttribute(vi, VI_ATTR_INTF_TYPE, &type);
        ViSession card = VI_NULL;
        qv4720_paramInit(const_cast<char*>("VXI0::3::INSTR"), 2, 1, 1, &card);
        qv4720_writeChannel(card, 1, 2.5);
        qv4720_writeChannel(card, 2, 0.1);
        double lo = 0, hi = 0;
        qv4720_getOutputRange(card, &lo, &hi);
        viOpen(rm, "say \"hi\"\\", 0, 0, &vi);

        const QStringList expected = {
            QString("viOpenDefaultRM(vi=%1) = 0").arg(rm),
            QString("viOpen(sesn=%1, name=\"VXI0::3::INSTR\", mode=0, timeout=0, vi=%2) = 0")
                .arg(rm)
                .arg(rm + 1),
            QString("viGetAttribute(vi=%1, attrName=VI_ATTR_SLOT, attrValue=NULL) = -1073807331")
                .arg(rm + 1),
            QString("viGetAttribute(vi=%1, attrName=VI_ATTR_INTF_TYPE, attrValue=2) = 0")
                .arg(rm + 1),
            QString("qv4720_paramInit(resourceName=\"VXI0::3::INSTR\", fcNumber=2, idQuery=1, "
                    "reset=1, vi=%1) = 0")
                .arg(card),
            QString("qv4720_writeChannel(vi=%1, channel=1, value=2.5) = %2")
                .arg(card)
                .arg(VI_ERROR_RSRC_BUSY),
            QString("qv4720_writeChannel(vi=%1, channel=2, value=0.1) = %2")
                .arg(card)
                .arg(VI_ERROR_RSRC_BUSY),
            QString("qv4720_getOutputRange(vi=%1, loLimit=-10, hiLimit=10) = 0").arg(card),
            QString("viOpen(sesn=%1, name=\"say \\\"hi\\\"\\\\\", mode=0, timeout=0, vi=0) = %2")
                .arg(rm)
                .arg(VI_ERROR_INV_RSRC_NAME),
        };
        QCOMPARE(trace.lines(), expected);
        QCOMPARE(zsim_callCount("viOpen"), 2);
        QCOMPARE(zsim_callCount("qv4720_writeChannel"), 2);
    }

    void traceFollowsTheEnvironment() {
        QTemporaryDir dir;
        const QByteArray first = dir.filePath("first.txt").toUtf8();
        const QByteArray second = dir.filePath("second.txt").toUtf8();
        zsim_setTrace(nullptr);
        qputenv("ZELVAN_SIM_TRACE", first);
        char text[QV4720_ERROR_MESSAGE_BUFLEN];
        qv4720_error_message(0, QV4720_ERROR_CHANNEL, text);
        qputenv("ZELVAN_SIM_TRACE", second);
        qv4720_error_message(0, 0x77, text);
        qputenv("ZELVAN_SIM_TRACE", "");
        qv4720_error_message(0, 0x77, text);
        QCOMPARE(simtest::readLines(first),
                 QStringList{QString("qv4720_error_message(vi=0, status=%1, message=\"%2\") = 0")
                                 .arg(QV4720_ERROR_CHANNEL)
                                 .arg("Channel number out of range (1 to 8).")});
        QCOMPARE(simtest::readLines(second),
                 QStringList{QString("qv4720_error_message(vi=0, status=119, message=\"\") = %1")
                                 .arg(VI_WARN_UNKNOWN_STATUS)});
        zsim_setTrace("");
    }
};

QTEST_GUILESS_MAIN(tst_faultsAndTrace)
#include "tst_faultsAndTrace.moc"
