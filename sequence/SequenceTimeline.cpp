#include "SequenceTimeline.h"

#include <cmath>

SequenceTimeline::SequenceTimeline(const std::vector<double>& dwellSeconds, Clock::time_point start)
    : m_start(start) {
    std::chrono::nanoseconds offset{0};
    m_offsets.push_back(offset);
    for (double dwell : dwellSeconds) {
        offset += std::chrono::nanoseconds(std::llround(dwell * 1e9));
        m_offsets.push_back(offset);
    }
}

SequenceTimeline::Clock::time_point SequenceTimeline::stepStart(int pass, int step) const {
    return m_start + m_offsets.back() * pass + m_offsets[size_t(step)];
}

SequenceTimeline::Clock::time_point SequenceTimeline::stepEnd(int pass, int step) const {
    return m_start + m_offsets.back() * pass + m_offsets[size_t(step) + 1];
}

void SequenceTimeline::pause(Clock::time_point now) {
    if (!m_paused) {
        m_paused = true;
        m_pausedAt = now;
    }
}

void SequenceTimeline::resume(Clock::time_point now) {
    if (m_paused) {
        m_paused = false;
        m_start += now - m_pausedAt;
    }
}
