// The VISA stand-in against a small bench: searches, sessions, attributes,
// descriptor parsing and status texts.
#include "SimTestSupport.h"
#include "visa.h"

#include <QtTest>

#include <cstring>

namespace {

const char* const kBench = R"(version: 1
resources:
  "VXI0::3::INSTR": {slot: 3, carrier: {model: 2391, slots: {1: {code: 0x4720}}}}
  "VXI0::7::INSTR": {}
  "tcpip0::10.0.0.5::INSTR": {address: 10.0.0.5, hostname: lab-7, device_name: inst1}
  "TCPIP1::lab-9::INSTR": {}
  "GPIB0::22::INSTR": {}
  "ASRL1::INSTR": {}
  "GPIB0::INTFC": {}
)";

} // namespace

class tst_visaStandin : public QObject {
    Q_OBJECT
private:
    ViSession m_rm = VI_NULL;

    QStringList findAll(const char* expr, ViStatus* status) {
        ViFindList list = VI_NULL;
        ViUInt32 count = 99;
        char desc[VI_FIND_BUFLEN];
        *status = viFindRsrc(m_rm, expr, &list, &count, desc);
        QStringList found;
        if (*status < 0) {
            [&] { QCOMPARE(count, ViUInt32(0)); }();
            return found;
        }
        found << desc;
        while (viFindNext(list, desc) == VI_SUCCESS)
            found << desc;
        [&] { QCOMPARE(found.size(), int(count)); }();
        viClose(list);
        return found;
    }

    ViSession open(const char* name) {
        ViSession vi = VI_NULL;
        const ViStatus status = viOpen(m_rm, name, VI_NO_LOCK, 0, &vi);
        [&] { QCOMPARE(status, VI_SUCCESS); }();
        return vi;
    }

    QString textAttribute(ViSession vi, ViAttr attr, ViStatus* status) {
        char buf[VI_FIND_BUFLEN] = {};
        *status = viGetAttribute(vi, attr, buf);
        return QString::fromLatin1(buf, int(strnlen(buf, sizeof buf)));
    }

private slots:
    void init() {
        QCOMPARE(zsim_loadBenchText(kBench, "visa.yaml"), 0);
        QCOMPARE(viOpenDefaultRM(&m_rm), VI_SUCCESS);
        QVERIFY(m_rm != VI_NULL);
    }
    void cleanup() { viClose(m_rm); }

    void findsByVisaExpression_data() {
        QTest::addColumn<QString>("expr");
        QTest::addColumn<QStringList>("expected");
        const QStringList instr = {"VXI0::3::INSTR",          "VXI0::7::INSTR",
                                   "tcpip0::10.0.0.5::INSTR", "TCPIP1::lab-9::INSTR",
                                   "GPIB0::22::INSTR",        "ASRL1::INSTR"};
        QTest::newRow("every instrument, in file order") << "?*INSTR" << instr;
        QTest::newRow("every resource") << "?*" << (instr + QStringList{"GPIB0::INTFC"});
        QTest::newRow("case-insensitive")
            << "TCPIP?*INSTR" << QStringList{"tcpip0::10.0.0.5::INSTR", "TCPIP1::lab-9::INSTR"};
        QTest::newRow("set") << "[AG]?*INSTR" << QStringList{"GPIB0::22::INSTR", "ASRL1::INSTR"};
        QTest::newRow("negated set") << "VXI0::[^3]::INSTR" << QStringList{"VXI0::7::INSTR"};
        QTest::newRow("range") << "VXI0::[0-5]::INSTR" << QStringList{"VXI0::3::INSTR"};
        QTest::newRow("star repeats the character before it")
            << "GPIB0::2*::INSTR" << QStringList{"GPIB0::22::INSTR"};
        QTest::newRow("alternatives")
            << "(ASRL|GPIB)?*INSTR" << QStringList{"GPIB0::22::INSTR", "ASRL1::INSTR"};
        QTest::newRow("one any character") << "ASRL?::INSTR" << QStringList{"ASRL1::INSTR"};
    }
    void findsByVisaExpression() {
        QFETCH(QString, expr);
        QFETCH(QStringList, expected);
        ViStatus status = VI_SUCCESS;
        QCOMPARE(findAll(expr.toLatin1().constData(), &status), expected);
        QCOMPARE(status, VI_SUCCESS);
    }

    void refusesBadExpressionsAndReportsNoMatch() {
        ViStatus status = VI_SUCCESS;
        QVERIFY(findAll("PXI?*", &status).isEmpty());
        QCOMPARE(status, VI_ERROR_RSRC_NFOUND);
        for (const char* bad : {"*INSTR", "[abc", "(VXI", "VXI)", "?*{VI_ATTR_SLOT==3}", ""}) {
            ViFindList list = 7;
            QCOMPARE(viFindRsrc(m_rm, bad, &list, nullptr, nullptr), VI_ERROR_INV_EXPR);
            QCOMPARE(list, ViFindList(VI_NULL));
        }
        QCOMPARE(viFindRsrc(12345, "?*", nullptr, nullptr, nullptr), VI_ERROR_INV_OBJECT);
        QCOMPARE(zsim_openObjectCount(), 1); // only the resource manager
    }

    void findListEndsAndCloses() {
        ViFindList list = VI_NULL;
        char desc[VI_FIND_BUFLEN];
        QCOMPARE(viFindRsrc(m_rm, "VXI?*", &list, nullptr, desc), VI_SUCCESS);
        QCOMPARE(viFindNext(list, desc), VI_SUCCESS);
        QCOMPARE(viFindNext(list, desc), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(viClose(list), VI_SUCCESS);
        QCOMPARE(viFindNext(list, desc), VI_ERROR_INV_OBJECT);
        QCOMPARE(viClose(list), VI_ERROR_INV_OBJECT);
    }

    void opensByAnySpellingOfTheName() {
        const ViSession a = open("TCPIP0::10.0.0.5::inst0::INSTR");
        const ViSession b = open("vxi::3::instr");
        ViStatus status = VI_SUCCESS;
        QCOMPARE(textAttribute(a, VI_ATTR_RSRC_NAME, &status), QString("tcpip0::10.0.0.5::INSTR"));
        QCOMPARE(textAttribute(b, VI_ATTR_RSRC_NAME, &status), QString("VXI0::3::INSTR"));
        QCOMPARE(zsim_openSessionCount(), 2);

        ViSession vi = 5;
        QCOMPARE(viOpen(m_rm, "GPIB0::9::INSTR", 0, 0, &vi), VI_ERROR_RSRC_NFOUND);
        QCOMPARE(vi, ViSession(VI_NULL));
        QCOMPARE(viOpen(m_rm, "NOPE0::1::INSTR", 0, 0, &vi), VI_ERROR_INV_RSRC_NAME);
        QCOMPARE(viOpen(a, "ASRL1::INSTR", 0, 0, &vi), VI_ERROR_INV_OBJECT);
        QCOMPARE(viOpen(m_rm, "ASRL1::INSTR", 0x100, 0, &vi), VI_ERROR_INV_ACC_MODE);

        // Closing the resource manager closes what was opened through it.
        QCOMPARE(viClose(m_rm), VI_SUCCESS);
        QCOMPARE(zsim_openSessionCount(), 0);
        QCOMPARE(zsim_openObjectCount(), 0);
        QCOMPARE(viClose(VI_NULL), VI_WARN_NULL_OBJECT);
    }

    void vxiAttributes() {
        const ViSession vi = open("VXI0::3::INSTR");
        ViUInt16 word[2] = {0xAAAA, 0xAAAA}; // 16-bit values must not spill over
        QCOMPARE(viGetAttribute(vi, VI_ATTR_INTF_TYPE, word), VI_SUCCESS);
        QCOMPARE(word[0], ViUInt16(VI_INTF_VXI));
        QCOMPARE(word[1], ViUInt16(0xAAAA));
        QCOMPARE(viGetAttribute(vi, VI_ATTR_INTF_NUM, word), VI_SUCCESS);
        QCOMPARE(word[0], ViUInt16(0));
        ViInt16 slot[2] = {0, 0x5555};
        QCOMPARE(viGetAttribute(vi, VI_ATTR_SLOT, slot), VI_SUCCESS);
        QCOMPARE(slot[0], ViInt16(3));
        QCOMPARE(slot[1], ViInt16(0x5555));
        ViStatus status = VI_SUCCESS;
        textAttribute(vi, VI_ATTR_TCPIP_ADDR, &status);
        QCOMPARE(status, VI_ERROR_NSUP_ATTR);
        QCOMPARE(textAttribute(vi, VI_ATTR_RSRC_CLASS, &status), QString("INSTR"));

        const ViSession noSlot = open("VXI0::7::INSTR");
        QCOMPARE(viGetAttribute(noSlot, VI_ATTR_SLOT, slot), VI_SUCCESS);
        QCOMPARE(slot[0], ViInt16(VI_UNKNOWN_SLOT));

        ViUInt32 tmo = 0;
        QCOMPARE(viGetAttribute(vi, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
        QCOMPARE(tmo, ViUInt32(2000));
        QCOMPARE(viSetAttribute(vi, VI_ATTR_TMO_VALUE, 5000), VI_SUCCESS);
        QCOMPARE(viGetAttribute(vi, VI_ATTR_TMO_VALUE, &tmo), VI_SUCCESS);
        QCOMPARE(tmo, ViUInt32(5000));
        QCOMPARE(viSetAttribute(vi, VI_ATTR_SLOT, 4), VI_ERROR_ATTR_READONLY);
        QCOMPARE(viSetAttribute(vi, 0x3FFF0000, 4), VI_ERROR_NSUP_ATTR);
        QCOMPARE(viGetAttribute(vi, VI_ATTR_SLOT, nullptr), VI_ERROR_USER_BUF);
        QCOMPARE(viGetAttribute(99999, VI_ATTR_SLOT, slot), VI_ERROR_INV_OBJECT);
    }

    void tcpipAttributes() {
        const ViSession vi = open("tcpip0::10.0.0.5::INSTR");
        ViUInt16 word = 0;
        QCOMPARE(viGetAttribute(vi, VI_ATTR_INTF_TYPE, &word), VI_SUCCESS);
        QCOMPARE(word, ViUInt16(VI_INTF_TCPIP));
        QCOMPARE(viGetAttribute(vi, VI_ATTR_SLOT, &word), VI_ERROR_NSUP_ATTR);
        ViStatus status = VI_SUCCESS;
        QCOMPARE(textAttribute(vi, VI_ATTR_TCPIP_ADDR, &status), QString("10.0.0.5"));
        QCOMPARE(textAttribute(vi, VI_ATTR_TCPIP_HOSTNAME, &status), QString("lab-7"));
        QCOMPARE(textAttribute(vi, VI_ATTR_TCPIP_DEVICE_NAME, &status), QString("inst1"));

        // Defaults: the address from the descriptor, device inst0, no host name.
        const ViSession bare = open("TCPIP1::lab-9::INSTR");
        QCOMPARE(viGetAttribute(bare, VI_ATTR_INTF_NUM, &word), VI_SUCCESS);
        QCOMPARE(word, ViUInt16(1));
        QCOMPARE(textAttribute(bare, VI_ATTR_TCPIP_ADDR, &status), QString("lab-9"));
        QCOMPARE(textAttribute(bare, VI_ATTR_TCPIP_DEVICE_NAME, &status), QString("inst0"));
        textAttribute(bare, VI_ATTR_TCPIP_HOSTNAME, &status);
        QVERIFY(status < 0);
    }

    void longTextsEndWithinTheBuffer() {
        const QByteArray host(300, 'h');
        const QByteArray bench =
            "version: 1\nresources:\n  \"TCPIP0::1.2.3.4::INSTR\": {hostname: " + host + "}\n";
        QCOMPARE(zsim_loadBenchText(bench.constData(), "long.yaml"), 0);
        ViSession rm = VI_NULL, vi = VI_NULL;
        QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
        QCOMPARE(viOpen(rm, "TCPIP0::1.2.3.4::INSTR", 0, 0, &vi), VI_SUCCESS);
        char buf[400];
        std::memset(buf, 'x', sizeof buf);
        QCOMPARE(viGetAttribute(vi, VI_ATTR_TCPIP_HOSTNAME, buf), VI_SUCCESS);
        QCOMPARE(strnlen(buf, sizeof buf), size_t(VI_FIND_BUFLEN - 1));
        QCOMPARE(buf[VI_FIND_BUFLEN], 'x');
        viClose(rm);
    }

    void parsesDescriptors() {
        ViUInt16 type = 0, board = 0;
        QCOMPARE(viParseRsrc(m_rm, "GPIB-VXI2::5::INSTR", &type, &board), VI_SUCCESS);
        QCOMPARE(type, ViUInt16(VI_INTF_GPIB_VXI));
        QCOMPARE(board, ViUInt16(2));
        char cls[VI_FIND_BUFLEN], expanded[VI_FIND_BUFLEN], alias[VI_FIND_BUFLEN];
        QCOMPARE(viParseRsrcEx(m_rm, "tcpip::10.1.1.1::instr", &type, &board, cls, expanded, alias),
                 VI_SUCCESS);
        QCOMPARE(type, ViUInt16(VI_INTF_TCPIP));
        QCOMPARE(QString(cls), QString("INSTR"));
        QCOMPARE(QString(expanded), QString("TCPIP0::10.1.1.1::inst0::INSTR"));
        QCOMPARE(QString(alias), QString());
        QCOMPARE(
            viParseRsrcEx(m_rm, "TCPIP0::h::5025::SOCKET", &type, &board, cls, nullptr, nullptr),
            VI_SUCCESS);
        QCOMPARE(QString(cls), QString("SOCKET"));
        for (const char* bad : {"", "VXI0", "VXI0::::INSTR", "FOO0::1::INSTR", "USB0::1::INSTR",
                                "ASRLx::INSTR", "TCPIP0::h::SOCKET"})
            QCOMPARE(viParseRsrc(m_rm, bad, &type, &board), VI_ERROR_INV_RSRC_NAME);
        QCOMPARE(viParseRsrc(m_rm, nullptr, &type, &board), VI_ERROR_INV_RSRC_NAME);
    }

    void describesStatuses() {
        char desc[VI_FIND_BUFLEN] = {};
        QCOMPARE(viStatusDesc(m_rm, VI_ERROR_RSRC_NFOUND, desc), VI_SUCCESS);
        QVERIFY(QString(desc).startsWith("VI_ERROR_RSRC_NFOUND: "));
        QCOMPARE(viStatusDesc(m_rm, 0x12345, desc), VI_WARN_UNKNOWN_STATUS);
        QVERIFY(QString(desc).contains("00012345"));
    }
};

QTEST_GUILESS_MAIN(tst_visaStandin)
#include "tst_visaStandin.moc"
