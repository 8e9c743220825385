// Many threads on the stand-ins at once, as the discovery's pool does:
// opens overlap, nothing races, every session is closed, trace lines stay whole.
#include "SimTestSupport.h"
#include "qv4000.h"
#include "qv4720.h"

#include <QtTest>

#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr int kThreads = 128;

QByteArray networkBench(int count, int latencyMs) {
    QByteArray yaml = "version: 1\nresources:\n";
    for (int i = 0; i < count; ++i)
        yaml += QString("  \"TCPIP0::10.1.%1.%2::INSTR\": {latency_ms: %3, carrier: {model: 2391, "
                        "slots: {1: {code: 0x4720}, 2: {code: 0x4860, variant: AB}}}}\n")
                    .arg(i / 200)
                    .arg(i % 200)
                    .arg(latencyMs)
                    .toUtf8();
    return yaml;
}

// What one discovery worker does with one resource; 0 when all went well.
int queryCarrier(ViSession rm, const QByteArray& name) {
    ViSession vi = VI_NULL;
    if (viOpen(rm, name.constData(), VI_NO_LOCK, 0, &vi) != VI_SUCCESS)
        return 1;
    int failures = 0;
    char address[VI_FIND_BUFLEN] = {};
    failures += viGetAttribute(vi, VI_ATTR_TCPIP_ADDR, address) != VI_SUCCESS;
    qv4000_carrierRecord record = {nullptr, 0, rm, 0, 0};
    if (qv4000_openCarrier(vi, &record) == VI_SUCCESS) {
        qv4000_interfaceTable* table = record.carrier->getInterface(record.carrier, 1, 1);
        ViUInt16 variant = 0;
        failures += !table || table->readCard16(record.carrier, 2, 252, &variant) != VI_SUCCESS ||
                    variant != (('A' << 8) | 'B');
        failures += qv4000_closeCarrier(&record) != VI_SUCCESS;
    } else {
        ++failures;
    }
    failures += viClose(vi) != VI_SUCCESS;
    return failures;
}

std::vector<QByteArray> names(int count) {
    std::vector<QByteArray> result;
    for (int i = 0; i < count; ++i)
        result.push_back(QString("TCPIP0::10.1.%1.%2::INSTR").arg(i / 200).arg(i % 200).toUtf8());
    return result;
}

} // namespace

class tst_concurrentOpens : public QObject {
    Q_OBJECT
private slots:
    void opensOverlapAndAllClose() {
        QCOMPARE(zsim_loadBenchText(networkBench(kThreads, 200).constData(), "net.yaml"), 0);
        simtest::TraceFile trace;
        zsim_resetStatistics();
        ViSession rm = VI_NULL;
        QCOMPARE(viOpenDefaultRM(&rm), VI_SUCCESS);
        const std::vector<QByteArray> resources = names(kThreads);
        std::atomic<int> failures{0};
        std::atomic<int> ready{0};
        std::vector<std::thread> workers;
        // All start together, so slow thread creation cannot hide the overlap.
        for (const QByteArray& name : resources)
            workers.emplace_back([&, name] {
                ++ready;
                while (ready.load() < kThreads)
                    std::this_thread::yield();
                failures += queryCarrier(rm, name);
            });
        for (std::thread& t : workers)
            t.join();
        QCOMPARE(failures.load(), 0);
        QVERIFY2(zsim_maxOpensInFlight() >= kThreads / 2,
                 qPrintable(QString::number(zsim_maxOpensInFlight())));
        QCOMPARE(zsim_openSessionCount(), 0);
        QCOMPARE(zsim_callCount("viOpen"), kThreads);
        QCOMPARE(viClose(rm), VI_SUCCESS);
        QCOMPARE(zsim_openObjectCount(), 0);

        // One whole line per call, whatever the threads did at the same time.
        const QStringList lines = trace.lines();
        QCOMPARE(lines.size(), 2 + kThreads * 6);
        const QRegularExpression line(R"(^\w+\([^()]*\) = -?\d+$)");
        for (const QString& l : lines)
            QVERIFY2(line.match(l).hasMatch(), qPrintable(l));
    }

    void driverSessionsInParallel() {
        QCOMPARE(zsim_loadBenchText(networkBench(32, 0).constData(), "net.yaml"), 0);
        const std::vector<QByteArray> resources = names(32);
        std::atomic<int> failures{0};
        std::vector<std::thread> workers;
        for (size_t i = 0; i < resources.size(); ++i)
            workers.emplace_back([&, i] {
                ViSession vi = VI_NULL;
                QByteArray name = resources[i];
                failures += qv4720_paramInit(name.data(), 1, 1, 1, &vi) != VI_SUCCESS;
                for (int ch = 1; ch <= 8; ++ch)
                    failures += qv4720_writeChannel(vi, ViUInt16(ch), double(i % 10)) != VI_SUCCESS;
                failures += qv4720_close(vi) != VI_SUCCESS;
            });
        for (std::thread& t : workers)
            t.join();
        QCOMPARE(failures.load(), 0);
        for (size_t i = 0; i < resources.size(); ++i) {
            double v = -1;
            QCOMPARE(zsim_channelOutput(resources[i].constData(), 1, 8, &v), 0);
            QCOMPARE(v, double(i % 10));
        }
        QCOMPARE(zsim_openSessionCount(), 0);
    }

    void benchReplacedWhileOpening() {
        // Opens racing a bench reload may fail, but never crash or race.
        QCOMPARE(zsim_loadBenchText(networkBench(16, 5).constData(), "net.yaml"), 0);
        const std::vector<QByteArray> resources = names(16);
        ViSession rm = VI_NULL;
        viOpenDefaultRM(&rm);
        std::vector<std::thread> workers;
        for (const QByteArray& name : resources)
            workers.emplace_back([rm, name] {
                for (int i = 0; i < 5; ++i)
                    queryCarrier(rm, name);
            });
        workers.emplace_back([] {
            for (int i = 0; i < 5; ++i)
                zsim_loadBenchText(networkBench(16, 5).constData(), "net.yaml");
        });
        for (std::thread& t : workers)
            t.join();
        zsim_useDefaultBench();
        QCOMPARE(zsim_openObjectCount(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_concurrentOpens)
#include "tst_concurrentOpens.moc"
