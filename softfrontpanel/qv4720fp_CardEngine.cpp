#include "qv4720fp_CardEngine.h"

#include "qv4720fp_CardSession.h"

qv4720fp_CardEngine::qv4720fp_CardEngine(qv4720fp_CardSession* session, QObject* parent)
    : QObject(parent), m_session(session), m_sink(session) {}

// A running sequence keeps the outputs where they are when the program ends.
qv4720fp_CardEngine::~qv4720fp_CardEngine() = default;

SetpointEngine& qv4720fp_CardEngine::engine() {
    if (!m_engine) {
        m_engine = std::make_unique<SetpointEngine>(
            m_sink, SafetySettings(qv4720fp_CardSession::ChannelCount, m_session->loLimit(),
                                   m_session->hiLimit()));
        emit engineStarted();
    }
    return *m_engine;
}

SafetySettings qv4720fp_CardEngine::safety() const {
    return m_engine ? m_engine->safety()
                    : SafetySettings(qv4720fp_CardSession::ChannelCount, m_session->loLimit(),
                                     m_session->hiLimit());
}

bool qv4720fp_CardEngine::guards(int channel) const {
    if (!m_engine)
        return false;
    const SafetySettings settings = m_engine->safety();
    if (!settings.validChannel(channel))
        return false;
    const ChannelSafety& limits = settings.channel(channel);
    return limits.low || limits.high || limits.slewVps ||
           m_engine->progress().state != SetpointEngine::State::Idle;
}

SinkStatus qv4720fp_CardEngine::set(int channel, double volts, LimitMode mode) {
    return engine().set(channel, volts, mode);
}

ChannelValues qv4720fp_CardEngine::knownValues() const {
    ChannelValues known(qv4720fp_CardSession::ChannelCount);
    for (int channel = 1; channel <= qv4720fp_CardSession::ChannelCount; ++channel)
        known[static_cast<std::size_t>(channel - 1)] = m_session->setpoint(channel);
    return known;
}
