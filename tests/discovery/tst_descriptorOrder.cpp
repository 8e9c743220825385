#include "qv4000fp_descriptorOrder.h"

#include <QtTest>

#include <algorithm>
#include <random>

class tst_descriptorOrder : public QObject {
    Q_OBJECT
private slots:
    void order_data();
    void order();
    void sortsShuffledList();
    void sortsCyclicListSafely();
};

void tst_descriptorOrder::order_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("aFirst");
    QTest::addColumn<bool>("bFirst");

    QTest::newRow("board 2 before board 10") << "VXI2::1::INSTR"
                                             << "VXI10::1::INSTR" << true << false;
    QTest::newRow("only the board counts") << "VXI0::1::INSTR"
                                           << "VXI0::5::INSTR" << false << false;
    QTest::newRow("last address number") << "TCPIP0::192.168.2.9::INSTR"
                                         << "TCPIP0::192.168.2.100::INSTR" << true << false;
    QTest::newRow("first differing number decides")
        << "TCPIP0::10.0.0.200::INSTR"
        << "TCPIP0::192.168.0.1::INSTR" << true << false;
    QTest::newRow("no board number reads as zeros") << "TCPIP::192.168.2.100::INSTR"
                                                    << "TCPIP::10.0.0.1::INSTR" << false << false;
    QTest::newRow("host name reads as zeros") << "TCPIP0::lab-carrier::INSTR"
                                              << "TCPIP0::0.0.0.0::INSTR" << false << false;
    QTest::newRow("host name after board") << "TCPIP0::zzz::INSTR"
                                           << "TCPIP1::aaa::INSTR" << true << false;
    QTest::newRow("prefix compared upper-cased") << "tcpip0::10.0.0.1::INSTR"
                                                 << "TCPIP1::10.0.0.1::INSTR" << true << false;
    QTest::newRow("GPIB-VXI has prefix GPIB, board 0") << "GPIB-VXI0::5::INSTR"
                                                       << "GPIB0::22::INSTR" << false << false;
    QTest::newRow("GPIB-VXI before GPIB board 1") << "GPIB-VXI7::5::INSTR"
                                                  << "GPIB1::22::INSTR" << true << false;
    QTest::newRow("different kinds in text order") << "ASRL1::INSTR"
                                                   << "TCPIP0::10.0.0.1::INSTR" << true << false;
    QTest::newRow("unknown kind in text order") << "USB0::2::INSTR"
                                                << "USB1::1::INSTR" << true << false;
    QTest::newRow("unknown kind, text not numbers") << "USB10::1::INSTR"
                                                    << "USB2::1::INSTR" << true << false;
    QTest::newRow("leading digit: text order") << "10::INSTR"
                                               << "9::INSTR" << true << false;
    QTest::newRow("empty descriptor") << ""
                                      << "0" << true << false;
    QTest::newRow("equal texts") << "PXI3::INSTR"
                                 << "PXI3::INSTR" << false << false;
    QTest::newRow("blanks before the board") << "VXI 7::1::INSTR"
                                             << "VXI10::1::INSTR" << true << false;
    QTest::newRow("signed board") << "VXI-1::1::INSTR"
                                  << "VXI0::1::INSTR" << true << false;
    QTest::newRow("board beyond int range stays ordered") << "VXI99999999999999999999::1::INSTR"
                                                          << "VXI1::1::INSTR" << false << true;
    QTest::newRow("missing dot ends the address") << "TCPIP0::10 0.0.9::INSTR"
                                                  << "TCPIP0::10.0.0.1::INSTR" << true << false;
}

void tst_descriptorOrder::order() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, aFirst);
    QFETCH(bool, bFirst);
    QCOMPARE(descriptorLessThan(a, b), aFirst);
    QCOMPARE(descriptorLessThan(b, a), bFirst);

    resourceInfo_t x;
    x.descriptor = a;
    resourceInfo_t y;
    y.descriptor = b;
    y.systemText << QStringLiteral("ignored");
    QCOMPARE(resourceRecordLessThan(x, y), aFirst);
}

QList<resourceInfo_t> records(const QStringList& descriptors) {
    QList<resourceInfo_t> list;
    for (const QString& descriptor : descriptors) {
        resourceInfo_t record;
        record.descriptor = descriptor;
        list << record;
    }
    return list;
}

QStringList descriptorsOf(const QList<resourceInfo_t>& list) {
    QStringList descriptors;
    for (const resourceInfo_t& record : list)
        descriptors << record.descriptor;
    return descriptors;
}

void tst_descriptorOrder::sortsShuffledList() {
    const QStringList expected = {"ASRL1::INSTR",
                                  "GPIB0::22::INSTR",
                                  "TCPIP0::10.0.0.200::INSTR",
                                  "TCPIP0::192.168.2.9::INSTR",
                                  "TCPIP0::192.168.2.100::INSTR",
                                  "TCPIP1::10.0.0.1::INSTR",
                                  "USB0::2::INSTR",
                                  "VXI0::3::INSTR",
                                  "VXI0::1::INSTR",
                                  "VXI2::1::INSTR",
                                  "VXI10::1::INSTR"};
    for (unsigned seed = 1; seed <= 20; ++seed) {
        QList<resourceInfo_t> list = records(expected);
        std::shuffle(list.begin(), list.end(), std::mt19937(seed));
        // The two VXI0 carriers compare equal: they keep their shuffled order.
        const QStringList shuffled = descriptorsOf(list);
        const bool threeFirst =
            shuffled.indexOf("VXI0::3::INSTR") < shuffled.indexOf("VXI0::1::INSTR");
        std::stable_sort(list.begin(), list.end(), resourceRecordLessThan);
        QStringList want = expected;
        if (!threeFirst)
            want.swapItemsAt(7, 8);
        QCOMPARE(descriptorsOf(list), want);
    }
}

// Letter case can make the comparison cycle: "vxi2" < "VXI10" by board,
// "VXI10" < "asrl1" and "asrl1" < "vxi2" by text. Sorting such a list must
// stay within bounds and keep every record.
void tst_descriptorOrder::sortsCyclicListSafely() {
    QVERIFY(descriptorLessThan("vxi2::1::INSTR", "VXI10::1::INSTR"));
    QVERIFY(descriptorLessThan("VXI10::1::INSTR", "asrl1::INSTR"));
    QVERIFY(descriptorLessThan("asrl1::INSTR", "vxi2::1::INSTR"));

    QStringList cyclic;
    for (int i = 0; i < 12; ++i) {
        cyclic << QStringLiteral("vxi%1::1::INSTR").arg(i)
               << QStringLiteral("VXI%1::1::INSTR").arg(20 - i)
               << QStringLiteral("asrl%1::INSTR").arg(i)
               << QStringLiteral("Vxi%1::2::INSTR").arg(i * 3);
    }
    QVERIFY(cyclic.size() > 16);
    for (unsigned seed = 1; seed <= 50; ++seed) {
        QList<resourceInfo_t> list = records(cyclic);
        std::shuffle(list.begin(), list.end(), std::mt19937(seed));
        std::stable_sort(list.begin(), list.end(), resourceRecordLessThan);
        QStringList sorted = descriptorsOf(list);
        QStringList original = cyclic;
        sorted.sort();
        original.sort();
        QCOMPARE(sorted, original);
    }
}

QTEST_APPLESS_MAIN(tst_descriptorOrder)
#include "tst_descriptorOrder.moc"
