#ifndef QV4720FP_CARDENGINE_H
#define QV4720FP_CARDENGINE_H

#include "SafetySettings.h"
#include "SetpointEngine.h"
#include "qv4720fp_SessionSink.h"

#include <QObject>

#include <memory>

class qv4720fp_CardSession;

// The set-point engine of one card session, shared by every front end (the
// panel, the command line, the network server). It starts only when first
// needed, so that a run that never uses limits, slew or sequences writes
// exactly as before, straight through the session.
class qv4720fp_CardEngine : public QObject {
    Q_OBJECT
public:
    // The session outlives this object, and its range has been read.
    explicit qv4720fp_CardEngine(qv4720fp_CardSession* session, QObject* parent = nullptr);
    ~qv4720fp_CardEngine() override;

    // The engine, started on first use with everything off.
    SetpointEngine& engine();
    bool started() const { return m_engine != nullptr; }
    // True when a write of this channel must go through the engine: a soft
    // limit, a slew limit, or a running sequence concerns it.
    bool guards(int channel) const;
    // The safety settings in force (all off before the engine starts).
    SafetySettings safety() const;

    // One change of a guarded channel by any front end: checked, then
    // written at once or ramped at the channel's slew limit. Returns why it
    // was refused.
    SinkStatus set(int channel, double volts, LimitMode mode);
    // What this program last wrote to each channel (channel 1 first).
    ChannelValues knownValues() const;

signals:
    // The engine was started (front ends may now show its state).
    void engineStarted();

private:
    qv4720fp_CardSession* m_session;
    qv4720fp_SessionSink m_sink;
    std::unique_ptr<SetpointEngine> m_engine;
};

#endif
