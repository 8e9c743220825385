#include "SetpointEngine.h"

#include <QtTest>

#include <atomic>
#include <mutex>
#include <thread>

namespace {
using namespace std::chrono_literals;

// Records every write; fails the write with the given 1-based number.
class RecordingSink : public SetpointSink {
public:
    SinkStatus write(int channel, double volts) override {
        std::lock_guard<std::mutex> lock(mutex);
        writes.push_back({channel, volts});
        if (int(writes.size()) == failAt)
            return SinkStatus::failure("injected");
        known[size_t(channel)] = volts;
        return SinkStatus::success();
    }
    std::optional<double> knownValue(int channel) override {
        std::lock_guard<std::mutex> lock(mutex);
        return known[size_t(channel)];
    }
    std::vector<std::pair<int, double>> taken() {
        std::lock_guard<std::mutex> lock(mutex);
        return writes;
    }

    std::mutex mutex;
    std::vector<std::pair<int, double>> writes;
    ChannelValues known = ChannelValues(9);
    int failAt = 0;
};

SequenceStep step(double dwell, ChannelValues values, bool ramp = false) {
    values.resize(8);
    return {values, dwell, ramp};
}

Sequence sequence(std::vector<SequenceStep> steps, int repeat = 1) {
    Sequence s;
    s.steps = std::move(steps);
    s.repeat = repeat;
    return s;
}

bool finishes(SetpointEngine& engine) {
    return engine.waitUntilIdle(20s);
}
} // namespace

class tst_engine : public QObject {
    Q_OBJECT
private slots:
    void refusedSequenceWritesNothing_data();
    void refusedSequenceWritesNothing();
    void playedLogMatchesSteps();
    void rampStepEndsOnItsValue();
    void slewLimitedChangeKeepsItsRate();
    void stopAndErrorFollowTheirRule_data();
    void stopAndErrorFollowTheirRule();
    void pauseHoldsTheSequence();
    void writersOnOtherThreads();
    void checkRefusesOrClamps_data();
    void checkRefusesOrClamps();
};

void tst_engine::refusedSequenceWritesNothing_data() {
    QTest::addColumn<Sequence>("seq");
    QTest::addColumn<QString>("reason");
    Sequence goodStart = sequence({step(0.001, {1.0}), step(0.001, {std::nullopt, 2.0}, true)});
    goodStart.startValues = {std::nullopt, std::nullopt};
    QTest::newRow("no steps") << sequence({}) << "no steps";
    QTest::newRow("repeat 0") << sequence({step(0.01, {1.0})}, 0) << "repeat";
    QTest::newRow("short dwell") << sequence({step(0.0009, {1.0})}) << "shorter";
    QTest::newRow("outside range, late step")
        << sequence({step(0.01, {1.0}), step(0.01, {std::nullopt, 10.5})}) << "step 2: channel 2";
    QTest::newRow("outside soft limits")
        << sequence({step(0.01, {std::nullopt, std::nullopt, 4.0})}) << "soft limits";
    QTest::newRow("ramp from unknown") << goodStart << "step 2: channel 2 ramps";
    QTest::newRow("slewed from unknown")
        << sequence({step(0.01, {std::nullopt, std::nullopt, std::nullopt, 1.0})}) << "slew";
    Sequence badRule = sequence({step(0.01, {1.0})});
    badRule.onError = {StopRule::GoTo, {-11.0}};
    QTest::newRow("error rule outside range") << badRule << "error rule";
}

void tst_engine::refusedSequenceWritesNothing() {
    QFETCH(Sequence, seq);
    QFETCH(QString, reason);
    RecordingSink sink;
    SafetySettings safety;
    QVERIFY(safety.setLimits(3, -1, 3).isEmpty());
    QVERIFY(safety.setSlew(4, 10).isEmpty());
    SetpointEngine engine(sink, safety);
    const SinkStatus status = engine.start(seq);
    QVERIFY(!status.ok);
    QVERIFY2(status.error.contains(reason), qPrintable(status.error));
    QVERIFY(sink.taken().empty());
}

void tst_engine::playedLogMatchesSteps() {
    RecordingSink sink;
    SetpointEngine engine(sink, SafetySettings());
    const Sequence seq = sequence({step(0.001, {1.0, 2.0}), step(0.001, {std::nullopt, -2.0, 0.5}),
                                   step(0.002, {1.0, std::nullopt, std::nullopt, 7.25})},
                                  3);
    std::vector<std::pair<int, double>> expected;
    for (int pass = 0; pass < 3; ++pass)
        expected.insert(expected.end(),
                        {{1, 1.0}, {2, 2.0}, {2, -2.0}, {3, 0.5}, {1, 1.0}, {4, 7.25}});
    QVERIFY(engine.start(seq).ok);
    // A driven channel is refused to other writers while the sequence runs.
    QVERIFY(engine.set(2, 0).error.contains("driven by a running sequence"));
    QVERIFY(finishes(engine));
    QCOMPARE(sink.taken(), expected);
    const std::vector<WriteRecord> log = engine.log().readFrom(0, nullptr);
    QCOMPARE(log.size(), expected.size());
    for (size_t i = 0; i < log.size(); ++i) {
        QCOMPARE((std::pair<int, double>{log[i].channel, log[i].volts}), expected[i]);
        QVERIFY(i == 0 || log[i].at >= log[i - 1].at);
    }
    QVERIFY(engine.progress().outcome.isEmpty());
    QVERIFY(engine.set(2, 0).ok);
}

void tst_engine::rampStepEndsOnItsValue() {
    RecordingSink sink;
    SetpointEngine engine(sink, SafetySettings());
    Sequence seq = sequence({step(0.001, {0.0}), step(0.1, {4.0}, true)});
    QVERIFY(engine.start(seq).ok);
    QVERIFY(finishes(engine));
    const auto writes = sink.taken();
    QVERIFY(writes.size() >= 3);
    QCOMPARE(writes.back(), (std::pair<int, double>{1, 4.0}));
    for (size_t i = 1; i < writes.size(); ++i)
        QVERIFY(writes[i].second > writes[i - 1].second);
}

void tst_engine::slewLimitedChangeKeepsItsRate() {
    const double rate = 20; // V/s: 0.2 V a write
    RecordingSink sink;
    SafetySettings safety;
    QVERIFY(safety.setSlew(1, rate).isEmpty());
    SetpointEngine engine(sink, safety);
    QVERIFY(engine.setAndWait(1, 2).error.contains("give it a start value"));
    QVERIFY(sink.taken().empty());
    QVERIFY(engine.set(1, 3.0, LimitMode::Refuse, 0.0).ok);
    QVERIFY(engine.setAndWait(1, -1.0).ok); // retargets the ramp under way
    QVERIFY(engine.start(sequence({step(0.001, {2.0}), step(0.001, {8.0})})).ok);
    QVERIFY(finishes(engine));
    const std::vector<WriteRecord> log = engine.log().readFrom(0, nullptr);
    QCOMPARE(log.front().volts, 0.0);
    QCOMPARE(log.back().volts, 8.0);
    QVERIFY(log.size() > 3); // 9 V at 0.2 V a write: ramped, not jumped
    for (size_t i = 1; i < log.size(); ++i) {
        const double seconds = std::chrono::duration<double>(log[i].at - log[i - 1].at).count();
        QVERIFY2(std::abs(log[i].volts - log[i - 1].volts) <= rate * seconds + 1e-9,
                 qPrintable(QString("write %1").arg(i)));
    }
}

void tst_engine::stopAndErrorFollowTheirRule_data() {
    QTest::addColumn<bool>("stop");
    QTest::addColumn<int>("rule");
    QTest::newRow("stop, hold") << true << int(StopRule::Hold);
    QTest::newRow("stop, go to") << true << int(StopRule::GoTo);
    QTest::newRow("error, hold") << false << int(StopRule::Hold);
    QTest::newRow("error, go to") << false << int(StopRule::GoTo);
}

void tst_engine::stopAndErrorFollowTheirRule() {
    QFETCH(bool, stop);
    QFETCH(int, rule);
    using Writes = std::vector<std::pair<int, double>>;
    RecordingSink sink;
    sink.failAt = stop ? 0 : 4; // the first write of the long step fails
    SetpointEngine engine(sink, SafetySettings());
    Sequence seq = sequence({step(0.001, {1.0, 1.0}), step(0.001, {2.0}), step(30, {3.0, 3.0})});
    (stop ? seq.onStop : seq.onError) = StopRule{StopRule::Kind(rule), {-1.0, -0.5}};
    QVERIFY(engine.start(seq).ok);
    Writes expected{{1, 1.0}, {2, 1.0}, {1, 2.0}, {1, 3.0}};
    if (stop) {
        expected.push_back({2, 3.0});
        QTRY_COMPARE(sink.taken().size(), expected.size());
        engine.stop();
    }
    if (rule == StopRule::GoTo)
        expected.insert(expected.end(), {{1, -1.0}, {2, -0.5}});
    QVERIFY(finishes(engine));
    QCOMPARE(sink.taken(), expected);
    QVERIFY(engine.progress().outcome.contains(stop ? "stopped" : "injected"));
}

void tst_engine::pauseHoldsTheSequence() {
    RecordingSink sink;
    SetpointEngine engine(sink, SafetySettings());
    std::vector<SequenceStep> steps;
    for (int i = 0; i < 20; ++i)
        steps.push_back(step(0.005, {i / 2.0}));
    QVERIFY(engine.start(sequence(steps)).ok);
    QTRY_VERIFY(!sink.taken().empty());
    engine.pause();
    QTRY_COMPARE(engine.progress().state, SetpointEngine::State::Paused);
    const size_t held = sink.taken().size();
    QTest::qWait(50);
    QCOMPARE(sink.taken().size(), held);
    engine.resume();
    QVERIFY(finishes(engine));
    QCOMPARE(sink.taken().size(), size_t(20));
    QCOMPARE(sink.taken().back().second, 9.5);
}

// Writers, a progress poller and a log reader on their own threads while a
// sequence runs on channel 1: every other writer's last value arrives, the
// driven channel is refused to them, nothing is lost from the log.
void tst_engine::writersOnOtherThreads() {
    RecordingSink sink;
    SafetySettings safety;
    QVERIFY(safety.setSlew(8, 1000).isEmpty());
    sink.known[8] = 0;
    SetpointEngine engine(sink, safety);
    std::vector<SequenceStep> steps;
    for (int i = 0; i < 200; ++i)
        steps.push_back(step(0.001, {i % 2 ? 1.0 : -1.0}));
    QVERIFY(engine.start(sequence(steps)).ok);
    std::atomic<int> refused{0};
    std::vector<std::thread> threads;
    for (int ch = 2; ch <= 8; ++ch) {
        threads.emplace_back([&, ch] {
            refused += engine.set(1, 0).ok ? 0 : 1;
            for (int i = 1; i <= 100; ++i)
                engine.set(ch, i / 100.0);
            engine.setAndWait(ch, 2.0);
        });
    }
    threads.emplace_back([&] {
        uint64_t next = 0;
        while (engine.progress().state != SetpointEngine::State::Idle)
            engine.log().readFrom(next, &next);
    });
    for (std::thread& t : threads)
        t.join();
    QVERIFY(finishes(engine));
    QVERIFY(refused > 0); // the sequence may end before the last thread asks
    ChannelValues last(9);
    for (const auto& [ch, volts] : sink.taken())
        last[size_t(ch)] = volts;
    for (int ch = 2; ch <= 8; ++ch)
        QCOMPARE(last[size_t(ch)], std::optional<double>(2.0));
    QCOMPARE(engine.log().total(), uint64_t(sink.taken().size()));
}

void tst_engine::checkRefusesOrClamps_data() {
    QTest::addColumn<int>("channel");
    QTest::addColumn<double>("volts");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<double>("clamped");
    QTest::newRow("inside soft limits") << 1 << 2.0 << false << 2.0;
    QTest::newRow("on the high limit") << 1 << 3.0 << false << 3.0;
    QTest::newRow("above") << 1 << 3.5 << true << 3.0;
    QTest::newRow("below") << 1 << -9.0 << true << -1.0;
    QTest::newRow("no limits, in range") << 2 << 9.5 << false << 9.5;
    QTest::newRow("no limits, out of range") << 2 << -10.5 << true << -10.0;
}

void tst_engine::checkRefusesOrClamps() {
    QFETCH(int, channel);
    QFETCH(double, volts);
    QFETCH(bool, refused);
    QFETCH(double, clamped);
    SafetySettings safety;
    QVERIFY(safety.setLimits(1, -1, 3).isEmpty());
    QVERIFY(!safety.setLimits(2, -11, 3).isEmpty()); // outside the card's range
    QCOMPARE(safety.check(channel, volts, LimitMode::Refuse).ok, !refused);
    const CheckResult clamp = safety.check(channel, volts, LimitMode::Clamp);
    QVERIFY(clamp.ok);
    QCOMPARE(clamp.value, clamped);
}

QTEST_GUILESS_MAIN(tst_engine)
#include "tst_engine.moc"
