#include "qv4720fp_SessionSink.h"

#include "qv4720fp_CardSession.h"

SinkStatus qv4720fp_SessionSink::write(int channel, double volts) {
    const qv4720fp_CardSession::WriteResult result = m_session->writeChannel(channel, volts);
    if (result.refusal != qv4720fp_CardSession::Refusal::None)
        return SinkStatus::failure(m_session->refusalText(channel, volts, result.refusal));
    if (result.status < VI_SUCCESS)
        return SinkStatus::failure(
            m_session->statusReport(result.status, qv4720fp_CardSession::Call::WriteChannel));
    return SinkStatus::success();
}

std::optional<double> qv4720fp_SessionSink::knownValue(int channel) {
    return m_session->setpoint(channel);
}
