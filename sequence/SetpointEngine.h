// The set-point engine: the one place where slew-limited changes and timed
// sequences are written, on a std::thread of its own, through a SetpointSink.
// Every writer checks its values here (safety settings, and channels that a
// running sequence drives); the engine then makes the writes in order, logs
// each with the moment it was made, and reports progress by signals emitted
// from its thread (receivers in other threads get them queued; do not call
// the blocking functions from a receiver connected directly).
#ifndef SFP_SETPOINTENGINE_H
#define SFP_SETPOINTENGINE_H

#include "SafetySettings.h"
#include "Sequence.h"
#include "SequenceTimeline.h"
#include "SetpointSink.h"
#include "SlewRamper.h"
#include "WriteLog.h"

#include <QObject>

#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

class SetpointEngine : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;
    enum class State { Idle, Running, Paused, Stopping };
    Q_ENUM(State)

    struct Progress {
        State state = State::Idle;
        int step = 0; // 1-based step of the running sequence, 0 before the first
        int pass = 0; // 1-based pass (repeat)
        int steps = 0;
        int passes = 0;
        QString outcome;           // of the last sequence: empty when it ran to its end
        Clock::time_point started; // step 1's deadline: time zero of a live plot
    };

    SetpointEngine(SetpointSink& sink, const SafetySettings& safety, QObject* parent = nullptr);
    ~SetpointEngine() override; // channels stop where they are; call stop() first for the stop rule

    SafetySettings safety() const;
    // Refused while a sequence runs.
    SinkStatus setSafety(const SafetySettings& safety);
    // The check every writer makes: the safety settings, then whether a running
    // sequence drives the channel.
    CheckResult check(int channel, double volts, LimitMode mode) const;

    // One change of one channel: written at once, or ramped at its slew limit.
    // A slew-limited channel whose value is not known needs `start`, which is
    // written first. Refusals found here are returned; a failed write later is
    // reported by writeFailed. setAndWait returns once the channel got there.
    SinkStatus set(int channel, double volts, LimitMode mode = LimitMode::Refuse,
                   std::optional<double> start = std::nullopt);
    SinkStatus setAndWait(int channel, double volts, LimitMode mode = LimitMode::Refuse,
                          std::optional<double> start = std::nullopt);
    bool isRamping(int channel) const;

    // Checks the whole sequence and starts it, or refuses it with nothing written.
    SinkStatus start(const Sequence& sequence);
    void pause();
    void resume();
    void stop(); // the sequence's stop rule
    Progress progress() const;
    bool waitUntilIdle(std::chrono::milliseconds timeout) const;

    WriteLog& log() { return m_log; }

signals:
    void stateChanged(SetpointEngine::State state);
    void stepStarted(int step, int pass);
    void sequenceFinished(const QString& outcome);
    void writeFailed(int channel, double volts, const QString& error);

private:
    struct Command {
        enum Kind { Set, Start, Stop, Pause, Resume, Safety } kind = Set;
        int channel = 0;
        double volts = 0;
        std::optional<double> start;
        std::shared_ptr<Sequence> sequence;
        std::shared_ptr<SafetySettings> safety;
        std::shared_ptr<std::promise<SinkStatus>> done;
    };
    struct Ramp {
        int channel;
        double from;
        double to;
    };
    struct Run {
        Sequence sequence;
        SequenceTimeline timeline;
        std::vector<bool> driven;
        int pass = 0;
        int step = 0;
        std::vector<Ramp> ramps;
        int64_t rampTick = 1; // the next of the step's ramp writes
        bool ending = false;
        QString outcome;
    };

    SinkStatus request(int channel, double volts, LimitMode mode, std::optional<double> start,
                       bool wait);
    static Command command(Command::Kind kind) {
        Command c;
        c.kind = kind;
        return c;
    }
    SinkStatus post(Command command, bool wait);
    void threadMain();
    std::optional<Clock::time_point> nextWake() const;
    void handle(Command& command);
    void handleSet(Command& command);
    void handleStart(Command& command);
    void advance(Clock::time_point now);
    void advanceRun(Clock::time_point now);
    void enterStep(Clock::time_point now);
    void tickRamps(Clock::time_point now);
    void applyRule(const StopRule& rule, const QString& outcome, bool freeze,
                   Clock::time_point now);
    void finishRun();
    void flush();
    bool writeOne(int channel, double volts, Clock::time_point stamp);
    bool writeDirect(int channel, double volts);
    void onFailure(int channel, const QString& error);
    void settleWaiters(int channel, const SinkStatus& status);
    void refreshKnown(int channel);
    void publish(State state);

    SetpointSink& m_sink;
    WriteLog m_log;

    // Shared with the callers' threads, under m_mutex.
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_wake;
    mutable std::condition_variable m_idle;
    std::vector<Command> m_commands;
    bool m_quit = false;
    SafetySettings m_safety;
    std::vector<bool> m_driven;  // 1-based
    std::vector<bool> m_ramping; // 1-based
    Progress m_progress;

    // The engine thread's own.
    SafetySettings m_threadSafety;
    SlewRamper m_ramper;
    std::unique_ptr<Run> m_run;
    std::vector<std::vector<std::shared_ptr<std::promise<SinkStatus>>>> m_waiters;
    QString m_lastError;

    std::thread m_thread; // last: starts once everything above exists
};

#endif
