#include "SetpointEngine.h"

namespace {
const char* const kDriven = "channel %1 is driven by a running sequence";
const char* const kSequenceRunning = "a sequence is already running";
const char* const kSafetyWhileRunning = "the safety settings cannot change while a sequence runs";
const char* const kSafetyOtherCard = "the safety settings are for another channel count or range";
const char* const kUnknownSlewStart =
    "channel %1 has a slew limit and a value that is not known; give it a start value";
const char* const kStartValue = "start value: %1";
const char* const kStopped = "stopped";
const char* const kShutDown = "the set-point engine was shut down";
const char* const kWriteFailed = "channel %1: writing %2 V failed: %3";

using Promise = std::shared_ptr<std::promise<SinkStatus>>;

void answer(const Promise& done, const SinkStatus& status) {
    if (done)
        done->set_value(status);
}
} // namespace

SetpointEngine::SetpointEngine(SetpointSink& sink, const SafetySettings& safety, QObject* parent)
    : QObject(parent), m_sink(sink), m_safety(safety),
      m_driven(size_t(safety.channelCount()) + 1, false),
      m_ramping(size_t(safety.channelCount()) + 1, false), m_threadSafety(safety),
      m_ramper(safety.channelCount(), kRampWriteInterval),
      m_waiters(size_t(safety.channelCount()) + 1) {
    for (int ch = 1; ch <= safety.channelCount(); ++ch)
        m_ramper.setRate(ch, safety.channel(ch).slewVps);
    m_thread = std::thread([this] { threadMain(); });
}

SetpointEngine::~SetpointEngine() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

SafetySettings SetpointEngine::safety() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_safety;
}

SinkStatus SetpointEngine::setSafety(const SafetySettings& safety) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (safety.channelCount() != m_safety.channelCount() ||
            safety.rangeLow() != m_safety.rangeLow() || safety.rangeHigh() != m_safety.rangeHigh())
            return SinkStatus::failure(QString::fromLatin1(kSafetyOtherCard));
    }
    Command command;
    command.kind = Command::Safety;
    command.safety = std::make_shared<SafetySettings>(safety);
    return post(std::move(command), true);
}

CheckResult SetpointEngine::check(int channel, double volts, LimitMode mode) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    CheckResult result = m_safety.check(channel, volts, mode);
    if (result.ok && m_driven[size_t(channel)])
        return {false, volts, QString::fromLatin1(kDriven).arg(channel)};
    return result;
}

SinkStatus SetpointEngine::set(int channel, double volts, LimitMode mode,
                               std::optional<double> start) {
    return request(channel, volts, mode, start, false);
}

SinkStatus SetpointEngine::setAndWait(int channel, double volts, LimitMode mode,
                                      std::optional<double> start) {
    return request(channel, volts, mode, start, true);
}

SinkStatus SetpointEngine::request(int channel, double volts, LimitMode mode,
                                   std::optional<double> start, bool wait) {
    const CheckResult result = check(channel, volts, mode);
    if (!result.ok)
        return SinkStatus::failure(result.reason);
    if (start) {
        const CheckResult startCheck = check(channel, *start, LimitMode::Refuse);
        if (!startCheck.ok)
            return SinkStatus::failure(QString::fromLatin1(kStartValue).arg(startCheck.reason));
    }
    Command command;
    command.kind = Command::Set;
    command.channel = channel;
    command.volts = result.value;
    command.start = start;
    return post(std::move(command), wait);
}

bool SetpointEngine::isRamping(int channel) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return channel >= 1 && size_t(channel) < m_ramping.size() && m_ramping[size_t(channel)];
}

SinkStatus SetpointEngine::start(const Sequence& sequence) {
    Command command;
    command.kind = Command::Start;
    command.sequence = std::make_shared<Sequence>(sequence);
    return post(std::move(command), true);
}

void SetpointEngine::pause() {
    post(command(Command::Pause), false);
}
void SetpointEngine::resume() {
    post(command(Command::Resume), false);
}
void SetpointEngine::stop() {
    post(command(Command::Stop), false);
}

SetpointEngine::Progress SetpointEngine::progress() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_progress;
}

bool SetpointEngine::waitUntilIdle(std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_idle.wait_for(lock, timeout, [this] { return m_progress.state == State::Idle; });
}

SinkStatus SetpointEngine::post(Command command, bool wait) {
    std::future<SinkStatus> result;
    if (wait) {
        command.done = std::make_shared<std::promise<SinkStatus>>();
        result = command.done->get_future();
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_quit)
            return SinkStatus::failure(QString::fromLatin1(kShutDown));
        m_commands.push_back(std::move(command));
    }
    m_wake.notify_one();
    return wait ? result.get() : SinkStatus::success();
}

void SetpointEngine::threadMain() {
    for (int ch = 1; ch <= m_threadSafety.channelCount(); ++ch)
        m_ramper.setCurrent(ch, m_sink.knownValue(ch));
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto woken = [this] { return m_quit || !m_commands.empty(); };
    while (!m_quit) {
        if (const std::optional<Clock::time_point> wake = nextWake())
            m_wake.wait_until(lock, *wake, woken);
        else
            m_wake.wait(lock, woken);
        if (m_quit)
            break;
        std::vector<Command> commands;
        commands.swap(m_commands);
        lock.unlock();
        for (Command& command : commands)
            handle(command);
        advance(Clock::now());
        lock.lock();
    }
    for (Command& command : m_commands)
        answer(command.done, SinkStatus::failure(QString::fromLatin1(kShutDown)));
    for (auto& waiters : m_waiters)
        for (const Promise& done : waiters)
            answer(done, SinkStatus::failure(QString::fromLatin1(kShutDown)));
}

std::optional<SetpointEngine::Clock::time_point> SetpointEngine::nextWake() const {
    std::optional<Clock::time_point> wake;
    const auto earliest = [&wake](Clock::time_point t) {
        if (!wake || t < *wake)
            wake = t;
    };
    if (m_run && !m_run->ending && !m_run->timeline.paused()) {
        const Clock::time_point end = m_run->timeline.stepEnd(m_run->pass, m_run->step);
        earliest(end);
        if (!m_run->ramps.empty()) {
            const Clock::time_point tick = m_run->timeline.stepStart(m_run->pass, m_run->step) +
                                           kRampWriteInterval * m_run->rampTick;
            if (tick < end)
                earliest(tick);
        }
    }
    if (const std::optional<Clock::time_point> slew = m_ramper.nextSlewWrite())
        earliest(*slew);
    return wake;
}

void SetpointEngine::handle(Command& command) {
    const Clock::time_point now = Clock::now();
    switch (command.kind) {
    case Command::Set:
        handleSet(command);
        break;
    case Command::Start:
        handleStart(command);
        break;
    case Command::Stop:
        if (m_run && !m_run->ending)
            applyRule(m_run->sequence.onStop, QString::fromLatin1(kStopped), true, now);
        break;
    case Command::Pause:
        if (m_run && !m_run->ending && !m_run->timeline.paused()) {
            m_run->timeline.pause(now);
            publish(State::Paused);
        }
        break;
    case Command::Resume:
        if (m_run && !m_run->ending && m_run->timeline.paused()) {
            m_run->timeline.resume(now);
            publish(State::Running);
        }
        break;
    case Command::Safety:
        if (m_run) {
            answer(command.done, SinkStatus::failure(QString::fromLatin1(kSafetyWhileRunning)));
            break;
        }
        m_threadSafety = *command.safety;
        for (int ch = 1; ch <= m_threadSafety.channelCount(); ++ch)
            m_ramper.setRate(ch, m_threadSafety.channel(ch).slewVps);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_safety = m_threadSafety;
        }
        answer(command.done, SinkStatus::success());
        break;
    }
}

void SetpointEngine::refreshKnown(int channel) {
    // Another front end may have written the channel since; the sink's record is the truth.
    if (!m_ramper.pending(channel))
        m_ramper.setCurrent(channel, m_sink.knownValue(channel));
}

void SetpointEngine::handleSet(Command& command) {
    const int ch = command.channel;
    if (m_run && m_run->driven[size_t(ch)]) {
        answer(command.done, SinkStatus::failure(QString::fromLatin1(kDriven).arg(ch)));
        return;
    }
    refreshKnown(ch);
    if (m_threadSafety.channel(ch).slewVps && !m_ramper.current(ch)) {
        if (!command.start) {
            answer(command.done,
                   SinkStatus::failure(QString::fromLatin1(kUnknownSlewStart).arg(ch)));
            return;
        }
        if (!writeDirect(ch, *command.start)) {
            answer(command.done, SinkStatus::failure(m_lastError));
            return;
        }
    }
    m_ramper.setTarget(ch, command.volts, Clock::now());
    if (command.done)
        m_waiters[size_t(ch)].push_back(command.done);
}

void SetpointEngine::handleStart(Command& command) {
    if (m_run) {
        answer(command.done, SinkStatus::failure(QString::fromLatin1(kSequenceRunning)));
        return;
    }
    const Sequence& sequence = *command.sequence;
    const int n = m_threadSafety.channelCount();
    ChannelValues known(static_cast<size_t>(n));
    for (int ch = 1; ch <= n; ++ch) {
        refreshKnown(ch);
        known[size_t(ch - 1)] = m_ramper.current(ch);
    }
    const QString error = validateSequence(sequence, m_threadSafety, known);
    if (!error.isEmpty()) {
        answer(command.done, SinkStatus::failure(error));
        return;
    }
    m_run = std::make_unique<Run>();
    m_run->sequence = sequence;
    m_run->driven = drivenChannels(sequence, n);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_driven = m_run->driven;
        m_progress = Progress{};
        m_progress.state = State::Running;
        m_progress.pass = 1;
        m_progress.steps = int(sequence.steps.size());
        m_progress.passes = sequence.repeat;
    }
    answer(command.done, SinkStatus::success());
    emit stateChanged(State::Running);
    for (size_t i = 0; i < sequence.startValues.size(); ++i) {
        if (sequence.startValues[i] && !known[i] &&
            !writeDirect(int(i) + 1, *sequence.startValues[i]))
            return; // the error rule has taken over
    }
    std::vector<double> dwells;
    for (const SequenceStep& step : sequence.steps)
        dwells.push_back(step.dwellSeconds);
    const Clock::time_point started = Clock::now();
    m_run->timeline = SequenceTimeline(dwells, started);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_progress.started = started;
    }
    enterStep(Clock::now());
}

void SetpointEngine::advance(Clock::time_point now) {
    if (m_run)
        advanceRun(now);
    // Slew-limited channels wait for their write interval inside the ramper.
    if (m_ramper.anyPending())
        flush();
    if (m_run && m_run->ending) {
        bool settled = true;
        for (int ch = 1; ch <= m_threadSafety.channelCount(); ++ch)
            settled = settled && !(m_run->driven[size_t(ch)] && m_ramper.pending(ch));
        if (settled)
            finishRun();
    }
}

void SetpointEngine::advanceRun(Clock::time_point now) {
    Run& r = *m_run;
    // Late wake-ups catch up step by step, so every step's writes are made, in order.
    while (!r.ending && !r.timeline.paused() && now >= r.timeline.stepEnd(r.pass, r.step)) {
        for (const Ramp& ramp : r.ramps)
            m_ramper.setTarget(ramp.channel, ramp.to, now);
        r.ramps.clear();
        flush();
        if (r.ending)
            break;
        if (++r.step == int(r.sequence.steps.size())) {
            r.step = 0;
            if (++r.pass == r.sequence.repeat) {
                applyRule(r.sequence.atEnd, {}, false, now);
                break;
            }
        }
        enterStep(now);
        flush();
    }
    if (!r.ending && !r.timeline.paused() && !r.ramps.empty())
        tickRamps(now);
}

void SetpointEngine::enterStep(Clock::time_point now) {
    Run& r = *m_run;
    const SequenceStep& step = r.sequence.steps[size_t(r.step)];
    r.ramps.clear();
    r.rampTick = 1;
    for (size_t i = 0; i < step.values.size(); ++i) {
        if (!step.values[i])
            continue;
        const int ch = int(i) + 1;
        if (step.ramp) {
            const double from = m_ramper.target(ch).value_or(m_ramper.current(ch).value_or(0));
            r.ramps.push_back({ch, from, *step.values[i]});
        } else {
            m_ramper.setTarget(ch, *step.values[i], now);
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_progress.step = r.step + 1;
        m_progress.pass = r.pass + 1;
    }
    emit stepStarted(r.step + 1, r.pass + 1);
}

void SetpointEngine::tickRamps(Clock::time_point now) {
    Run& r = *m_run;
    const Clock::time_point start = r.timeline.stepStart(r.pass, r.step);
    const Clock::time_point end = r.timeline.stepEnd(r.pass, r.step);
    if (now < start + kRampWriteInterval * r.rampTick)
        return;
    // Only the latest tick that has come is written; the values follow the
    // tick's moment, not the wake-up's.
    const int64_t tick = (now - start) / kRampWriteInterval;
    const Clock::time_point tickTime = start + kRampWriteInterval * tick;
    r.rampTick = tick + 1;
    if (tickTime >= end)
        return;
    const double fraction = std::chrono::duration<double>(tickTime - start).count() /
                            std::chrono::duration<double>(end - start).count();
    for (const Ramp& ramp : r.ramps)
        m_ramper.setTarget(ramp.channel, ramp.from + (ramp.to - ramp.from) * fraction, now);
    flush();
}

void SetpointEngine::applyRule(const StopRule& rule, const QString& outcome, bool freeze,
                               Clock::time_point now) {
    Run& r = *m_run;
    r.ending = true;
    r.ramps.clear();
    r.outcome = outcome;
    for (int ch = 1; ch <= m_threadSafety.channelCount(); ++ch) {
        if (freeze && r.driven[size_t(ch)])
            m_ramper.hold(ch);
    }
    if (rule.kind == StopRule::GoTo) {
        for (size_t i = 0; i < rule.values.size(); ++i) {
            if (rule.values[i])
                m_ramper.setTarget(int(i) + 1, *rule.values[i], now);
        }
    }
    publish(State::Stopping);
}

void SetpointEngine::finishRun() {
    const QString outcome = m_run->outcome;
    m_run.reset();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::fill(m_driven.begin(), m_driven.end(), false);
        m_progress.outcome = outcome;
    }
    publish(State::Idle);
    emit sequenceFinished(outcome);
}

void SetpointEngine::flush() {
    const int n = m_threadSafety.channelCount();
    // A failed write changes what is pending (the error rule), so the pass
    // starts again; each failure holds its channel, so this ends.
    for (int pass = 0; pass <= n + 1; ++pass) {
        bool failed = false;
        for (int ch = 1; ch <= n && !failed; ++ch) {
            const Clock::time_point stamp = Clock::now();
            if (const std::optional<double> value = m_ramper.next(ch, stamp))
                failed = !writeOne(ch, *value, stamp);
        }
        if (!failed)
            break;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int ch = 1; ch <= n; ++ch) {
        m_ramping[size_t(ch)] = m_ramper.pending(ch);
        if (!m_ramper.pending(ch) && !m_waiters[size_t(ch)].empty())
            settleWaiters(ch, SinkStatus::success());
    }
}

bool SetpointEngine::writeOne(int channel, double volts, Clock::time_point stamp) {
    const SinkStatus status = m_sink.write(channel, volts);
    m_log.append({stamp, channel, volts, status.ok});
    if (status.ok) {
        m_ramper.written(channel, volts, stamp);
        return true;
    }
    m_lastError = QString::fromLatin1(kWriteFailed).arg(channel).arg(volts).arg(status.error);
    emit writeFailed(channel, volts, status.error);
    onFailure(channel, m_lastError);
    return false;
}

bool SetpointEngine::writeDirect(int channel, double volts) {
    if (!writeOne(channel, volts, Clock::now()))
        return false;
    m_ramper.hold(channel);
    return true;
}

void SetpointEngine::onFailure(int channel, const QString& error) {
    m_ramper.hold(channel);
    refreshKnown(channel);
    settleWaiters(channel, SinkStatus::failure(error));
    if (!m_run || !m_run->driven[size_t(channel)])
        return;
    if (!m_run->ending) {
        applyRule(m_run->sequence.onError, error, true, Clock::now());
        return;
    }
    // The rule's own writes fail too: everything stays where it is.
    for (int ch = 1; ch <= m_threadSafety.channelCount(); ++ch) {
        if (m_run->driven[size_t(ch)])
            m_ramper.hold(ch);
    }
    if (m_run->outcome.isEmpty())
        m_run->outcome = error;
}

void SetpointEngine::settleWaiters(int channel, const SinkStatus& status) {
    for (const Promise& done : m_waiters[size_t(channel)])
        answer(done, status);
    m_waiters[size_t(channel)].clear();
}

void SetpointEngine::publish(State state) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_progress.state = state;
    }
    m_idle.notify_all();
    emit stateChanged(state);
}
