#include "DiscoveryBench.h"
#include "qv4000fp_resourceInfo.h"
#include "qv4720_fc.h"

#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

// getResourceInfo from many threads at once, sharing one card descriptor and
// one resource manager session, each with its own work item.
class tst_resourceInfoThreads : public QObject {
    Q_OBJECT
private slots:
    void workersShareDescriptorAndSession();
};

void tst_resourceInfoThreads::workersShareDescriptorAndSession() {
    QVERIFY(loadBench(bench(networkCarriers(24, 20) + vxiCarriers(8, 3) + QStringLiteral(R"yaml(
  "VXI9::1::INSTR":
    slot: 1
    carrier: {model: 2391, slots: {1: {code: 0x4860, variant: "AB"}, 2: {code: 0x5C5C}}}
  "ASRL1::INSTR": {}
)yaml"))));
    const QStringList descriptors = [] {
        QStringList list;
        for (int i = 0; i < 24; ++i)
            list << QStringLiteral("TCPIP0::10.0.0.%1::INSTR").arg(i + 1);
        for (int i = 0; i < 8; ++i)
            list << QStringLiteral("VXI%1::%2::INSTR").arg(i).arg(i + 1);
        list << "VXI9::1::INSTR"
             << "ASRL1::INSTR";
        return list;
    }();

    qv4720_fc card;
    ViSession defaultRM = 0;
    QCOMPARE(viOpenDefaultRM(&defaultRM), VI_SUCCESS);

    const int rounds = 4;
    std::vector<getResourceInfo_params_t> items(static_cast<size_t>(descriptors.size() * rounds));
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].fc = &card;
        items[i].defaultRM = defaultRM;
        items[i].info.descriptor = descriptors.at(static_cast<int>(i % descriptors.size()));
    }
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 16; ++t) {
        workers.emplace_back([&] {
            for (size_t i = next++; i < items.size(); i = next++)
                getResourceInfo(&items[i]);
        });
    }
    for (std::thread& worker : workers)
        worker.join();
    viClose(defaultRM);

    for (size_t i = 0; i < items.size(); ++i) {
        const resourceInfo_t& info = items[i].info;
        const QString& descriptor = info.descriptor;
        if (descriptor.startsWith("TCPIP")) {
            const QString address = descriptor.section("::", 1, 1);
            QCOMPARE(info.tcpipAddress, address);
            QCOMPARE(info.systemText, QStringList(address + " - 4160 LXI"));
            QCOMPARE(info.fcNumbers, QList<int>{1});
        } else if (descriptor == "VXI9::1::INSTR") {
            QCOMPARE(info.fcColumns, (QList<QStringList>{{"FC 1", "4860-AB"}, {"FC 2", "4650"}}));
            QCOMPARE(info.fcNumbers, (QList<int>{0, 0}));
        } else if (descriptor.startsWith("VXI")) {
            QCOMPARE(info.fcNumbers, (QList<int>{1, 2, 3}));
            QVERIFY(info.tcpipAddress.isEmpty());
        } else {
            QVERIFY(info.systemText.isEmpty());
        }
    }
    QCOMPARE(zsim_openObjectCount(), 0);
}

QTEST_GUILESS_MAIN(tst_resourceInfoThreads)
#include "tst_resourceInfoThreads.moc"
