#ifndef QV4720FP_SESSIONSINK_H
#define QV4720FP_SESSIONSINK_H

#include "SetpointSink.h"

class qv4720fp_CardSession;

// The set-point engine's writes go to the card through the card session, so
// the card's rules (range, channels) hold for ramps and sequences too.
class qv4720fp_SessionSink : public SetpointSink {
public:
    explicit qv4720fp_SessionSink(qv4720fp_CardSession* session) : m_session(session) {}

    SinkStatus write(int channel, double volts) override;
    std::optional<double> knownValue(int channel) override;

private:
    qv4720fp_CardSession* m_session;
};

#endif
