// The carrier and driver stand-ins on the default bench: the carrier object
// read through the declared structs, every driver call and its statuses.
#include "SimTestSupport.h"
#include "qv4000.h"
#include "qv4720.h"

#include <QtTest>

#include <cmath>
#include <cstring>

class tst_carrierDriver : public QObject {
    Q_OBJECT
private:
    ViSession m_rm = VI_NULL;

    ViSession openVisa(const char* name) {
        ViSession vi = VI_NULL;
        [&] { QCOMPARE(viOpen(m_rm, name, VI_NO_LOCK, 0, &vi), VI_SUCCESS); }();
        return vi;
    }
    ViSession openCard(const char* name, ViUInt16 fc) {
        ViSession vi = VI_NULL;
        [&] { QCOMPARE(qv4720_paramInit(const_cast<char*>(name), fc, 1, 1, &vi), VI_SUCCESS); }();
        return vi;
    }
    static double output(int channel) {
        double v = NAN;
        return zsim_channelOutput("VXI0::3::INSTR", 2, channel, &v) == 0 ? v : NAN;
    }
    static QString driverText(ViStatus status) {
        char text[QV4720_ERROR_MESSAGE_BUFLEN] = {};
        return qv4720_error_message(0, status, text) == VI_SUCCESS ? QString(text) : QString();
    }

private slots:
    void init() {
        zsim_useDefaultBench();
        QCOMPARE(viOpenDefaultRM(&m_rm), VI_SUCCESS);
    }
    void cleanup() { viClose(m_rm); }

    void carrierObjectDescribesTheCards() {
        qv4000_carrierRecord record = {nullptr, 0, m_rm, 0, 0};
        QCOMPARE(qv4000_openCarrier(openVisa("VXI0::3::INSTR"), &record), VI_SUCCESS);
        QVERIFY(record.carrier);
        const qv4000_description* d = record.carrier->description;
        QCOMPARE(d->slotCount, 4);
        QCOMPARE(d->carrierModel, uint16_t(QV4000_CARRIER_MODEL_2391));
        const uint16_t codes[] = {0x5C5C, 0x4720, 0, 0x4860};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(d->slotCodes[i], codes[i]);

        QVERIFY(!record.carrier->getInterface(record.carrier, 2, 1));
        qv4000_interfaceTable* table = record.carrier->getInterface(
            record.carrier, QV4000_CARD_INTERFACE_SELECTOR, QV4000_CARD_INTERFACE_VERSION);
        QVERIFY(table);
        ViUInt16 value = 0;
        QCOMPARE(table->readCard16(record.carrier, 4, QV4000_VARIANT_OFFSET, &value), VI_SUCCESS);
        QCOMPARE(value, ViUInt16(('A' << 8) | 'B'));
        QCOMPARE(table->readCard16(record.carrier, 2, QV4000_VARIANT_OFFSET, &value), VI_SUCCESS);
        QCOMPARE(value, ViUInt16(0));
        QCOMPARE(table->readCard16(record.carrier, 3, 0, &value), QV4000_ERROR_EMPTY_SLOT);
        QCOMPARE(table->readCard16(record.carrier, 5, 0, &value), QV4000_ERROR_FC_NUMBER);
        QCOMPARE(table->readCard16(record.carrier, 2, 3, &value), QV4000_ERROR_OFFSET);

        QCOMPARE(qv4000_closeCarrier(&record), VI_SUCCESS);
        QVERIFY(!record.carrier);
        QCOMPARE(qv4000_closeCarrier(&record), QV4000_ERROR_NOT_OPEN);
    }

    void carrierRefusesWhatIsNoCarrier() {
        qv4000_carrierRecord record = {nullptr, 0, m_rm, 0, 0};
        QCOMPARE(qv4000_openCarrier(openVisa("ASRL1::INSTR"), &record), QV4000_ERROR_NOT_CARRIER);
        QCOMPARE(qv4000_openCarrier(424242, &record), QV4000_ERROR_INV_SESSION);
        QCOMPARE(qv4000_openCarrier(m_rm, &record), QV4000_ERROR_INV_SESSION);
        QCOMPARE(qv4000_openCarrier(openVisa("VXI0::3::INSTR"), nullptr),
                 QV4000_ERROR_NULL_POINTER);
        QVERIFY(!record.carrier);
    }

    void carrierTexts() {
        char text[QV4000_ERROR_MESSAGE_BUFLEN];
        for (ViStatus s : {VI_ERROR_TMO, QV4000_ERROR_NOT_CARRIER, QV4720_ERROR_CHANNEL}) {
            std::memset(text, 'x', sizeof text);
            QCOMPARE(qv4000_errorMessage(s, text), VI_SUCCESS);
            QVERIFY(strnlen(text, sizeof text) > 0 && strnlen(text, sizeof text) < sizeof text);
        }
        QCOMPARE(qv4000_errorMessage(0x1234, text), VI_WARN_UNKNOWN_STATUS);
        char revision[QV4000_LIBRARY_REVISION_BUFLEN + 8];
        std::memset(revision, 'x', sizeof revision);
        QCOMPARE(qv4000_libraryRevision(revision), VI_SUCCESS);
        QVERIFY(strnlen(revision, QV4000_LIBRARY_REVISION_BUFLEN) < QV4000_LIBRARY_REVISION_BUFLEN);
    }

    void paramInitOpensAVisaSessionToTheCarrier() {
        // Several descriptors joined by "," open the first.
        const ViSession vi = openCard("VXI0::3::INSTR,TCPIP0::192.168.2.100::INSTR", 2);
        ViInt16 slot = 0;
        QCOMPARE(viGetAttribute(vi, VI_ATTR_SLOT, &slot), VI_SUCCESS);
        QCOMPARE(slot, ViInt16(3));
        const ViSession lxi = openCard("TCPIP0::192.168.2.100::INSTR", 1);
        char host[VI_FIND_BUFLEN] = {};
        QCOMPARE(viGetAttribute(lxi, VI_ATTR_TCPIP_HOSTNAME, host), VI_SUCCESS);
        QCOMPARE(QString(host), QString("lab-carrier-1"));
        QCOMPARE(zsim_openSessionCount(), 2);
        QCOMPARE(qv4720_close(vi), VI_SUCCESS);
        QCOMPARE(qv4720_close(lxi), VI_SUCCESS);
        QCOMPARE(qv4720_close(lxi), QV4720_ERROR_INV_SESSION);
        QCOMPARE(zsim_openSessionCount(), 0);
    }

    void paramInitFailures_data() {
        QTest::addColumn<QByteArray>("resource");
        QTest::addColumn<int>("fc");
        QTest::addColumn<ViStatus>("expected");
        QTest::newRow("other model")
            << QByteArray("VXI0::3::INSTR") << 1 << QV4720_ERROR_WRONG_MODEL;
        QTest::newRow("empty slot") << QByteArray("VXI0::3::INSTR") << 3 << QV4720_ERROR_NO_CARD;
        QTest::newRow("no such slot")
            << QByteArray("VXI0::3::INSTR") << 9 << QV4720_ERROR_FC_NUMBER;
        QTest::newRow("no carrier") << QByteArray("ASRL1::INSTR") << 1 << QV4720_ERROR_NOT_CARRIER;
        QTest::newRow("unknown") << QByteArray("GPIB0::9::INSTR") << 1 << VI_ERROR_RSRC_NFOUND;
        QTest::newRow("not a descriptor") << QByteArray("lab bench") << 1 << VI_ERROR_INV_RSRC_NAME;
        QTest::newRow("empty") << QByteArray("") << 1 << VI_ERROR_INV_RSRC_NAME;
    }
    void paramInitFailures() {
        QFETCH(QByteArray, resource);
        QFETCH(int, fc);
        QFETCH(ViStatus, expected);
        ViSession vi = 77;
        QCOMPARE(qv4720_paramInit(resource.data(), ViUInt16(fc), 1, 1, &vi), expected);
        QCOMPARE(vi, ViSession(VI_NULL));
        QCOMPARE(zsim_openSessionCount(), 0);
        QVERIFY(!driverText(expected).isEmpty());
    }

    void statusTextsAreDistinct() {
        QSet<QString> texts;
        for (ViStatus s : {QV4720_ERROR_CHANNEL, QV4720_ERROR_VALUE, QV4720_ERROR_NO_CARD,
                           QV4720_ERROR_WRONG_MODEL, QV4720_ERROR_NOT_CARRIER,
                           QV4720_ERROR_FC_NUMBER, QV4720_ERROR_NULL_POINTER,
                           QV4720_ERROR_INV_SESSION, QV4720_WARN_NO_FIRMWARE, QV4720_WARN_SETTLING})
            texts.insert(driverText(s));
        QCOMPARE(texts.size(), 10);
        char text[QV4720_ERROR_MESSAGE_BUFLEN] = {'x'};
        QVERIFY(qv4720_error_message(0, 0x7654321, text) != VI_SUCCESS);
        QCOMPARE(text[0], '\0');
        QVERIFY(qv4720_error_message(0, QV4000_ERROR_OFFSET, text) != VI_SUCCESS);
    }

    void readsRangeSerialAndRevisions() {
        const ViSession vi = openCard("VXI0::3::INSTR", 2);
        double lo = 0, hi = 0;
        QCOMPARE(qv4720_getOutputRange(vi, &lo, &hi), VI_SUCCESS);
        QCOMPARE(lo, -10.0);
        QCOMPARE(hi, 10.0);
        ViUInt32 serial = 0;
        char subtype[QV4720_SUBTYPE_BUFLEN + 4];
        std::memset(subtype, 'x', sizeof subtype);
        QCOMPARE(qv4720_readSerialNo(vi, &serial, subtype), VI_SUCCESS);
        QCOMPARE(serial, ViUInt32(0x00001A2B));
        QCOMPARE(QString(subtype), QString("AA"));
        char driver[QV4720_REVISION_BUFLEN] = {}, firmware[QV4720_REVISION_BUFLEN] = {};
        QCOMPARE(qv4720_revision_query(vi, driver, firmware), VI_SUCCESS);
        QCOMPARE(QString(firmware), QString("1.0.3"));
        QVERIFY(strnlen(driver, sizeof driver) > 0);

        // Session 0 serves the driver revision alone.
        char only[64] = {};
        QCOMPARE(qv4720_revision_query(0, only, nullptr), VI_SUCCESS);
        QCOMPARE(QString(only), QString(driver));
        QCOMPARE(qv4720_revision_query(0, only, firmware), QV4720_WARN_NO_FIRMWARE);
        QCOMPARE(QString(firmware), QString());
        QCOMPARE(qv4720_getOutputRange(0, &lo, &hi), QV4720_ERROR_INV_SESSION);
        QCOMPARE(qv4720_getOutputRange(vi, nullptr, &hi), QV4720_ERROR_NULL_POINTER);

        // A plain VISA session is not the driver's.
        QCOMPARE(qv4720_readSerialNo(openVisa("VXI0::3::INSTR"), &serial, subtype),
                 QV4720_ERROR_INV_SESSION);
    }

    void writesChannelsWithinRange() {
        const ViSession vi = openCard("VXI0::3::INSTR", 2);
        QCOMPARE(qv4720_writeChannel(vi, 1, 2.5), VI_SUCCESS);
        QCOMPARE(qv4720_writeChannel(vi, 8, -10.0), VI_SUCCESS);
        QCOMPARE(qv4720_writeChannel(vi, 7, 10.0), VI_SUCCESS);
        QCOMPARE(output(1), 2.5);
        QCOMPARE(output(8), -10.0);
        QCOMPARE(output(7), 10.0);
        QCOMPARE(qv4720_writeChannel(vi, 0, 1.0), QV4720_ERROR_CHANNEL);
        QCOMPARE(qv4720_writeChannel(vi, 9, 1.0), QV4720_ERROR_CHANNEL);
        QCOMPARE(qv4720_writeChannel(vi, 1, 10.001), QV4720_ERROR_VALUE);
        QCOMPARE(qv4720_writeChannel(vi, 1, NAN), QV4720_ERROR_VALUE);
        QCOMPARE(output(1), 2.5);
        double v = 0;
        QCOMPARE(zsim_channelOutput("VXI0::3::INSTR", 2, 9, &v), -1);
        QCOMPARE(zsim_channelOutput("VXI0::3::INSTR", 1, 1, &v), -1); // not a 4720

        QCOMPARE(qv4720_reset(vi), VI_SUCCESS);
        for (int ch = 1; ch <= 8; ++ch)
            QCOMPARE(output(ch), 0.0);

        // The reset flag of paramInit returns the outputs to 0 V; without it they stay.
        QCOMPARE(qv4720_writeChannel(vi, 3, -4.25), VI_SUCCESS);
        ViSession again = VI_NULL;
        QCOMPARE(qv4720_paramInit(const_cast<char*>("VXI0::3::INSTR"), 2, 1, 0, &again),
                 VI_SUCCESS);
        QCOMPARE(output(3), -4.25);
        QCOMPARE(qv4720_paramInit(const_cast<char*>("VXI0::3::INSTR"), 2, 1, 1, &again),
                 VI_SUCCESS);
        QCOMPARE(output(3), 0.0);
    }
};

QTEST_GUILESS_MAIN(tst_carrierDriver)
#include "tst_carrierDriver.moc"
