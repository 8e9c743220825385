#include "SlewRamper.h"

#include <algorithm>

SlewRamper::SlewRamper(int channelCount, std::chrono::microseconds interval)
    : m_channels(size_t(std::max(channelCount, 0))), m_interval(interval) {}

void SlewRamper::setRate(int channel, std::optional<double> voltsPerSecond) {
    at(channel).rate = voltsPerSecond;
}

void SlewRamper::setCurrent(int channel, std::optional<double> volts) {
    at(channel).current = volts;
}

bool SlewRamper::setTarget(int channel, double volts, Clock::time_point now) {
    Channel& c = at(channel);
    if (c.rate && !c.current)
        return false;
    // A channel at rest starts moving now, not at its last write long ago.
    if (!c.pending || !c.current || c.current == c.target)
        c.anchor = now;
    c.target = volts;
    c.pending = true;
    return true;
}

void SlewRamper::hold(int channel) {
    Channel& c = at(channel);
    c.target = c.current;
    c.pending = false;
}

bool SlewRamper::anyPending() const {
    return std::any_of(m_channels.begin(), m_channels.end(),
                       [](const Channel& c) { return c.pending; });
}

bool SlewRamper::anySlewing() const {
    return std::any_of(m_channels.begin(), m_channels.end(),
                       [](const Channel& c) { return c.pending && c.rate; });
}

std::optional<SlewRamper::Clock::time_point> SlewRamper::nextSlewWrite() const {
    std::optional<Clock::time_point> due;
    for (const Channel& c : m_channels) {
        if (c.pending && c.rate && c.current && (!due || c.anchor + m_interval < *due))
            due = c.anchor + m_interval;
    }
    return due;
}

std::optional<double> SlewRamper::next(int channel, Clock::time_point now) const {
    const Channel& c = at(channel);
    if (!c.pending || !c.target)
        return std::nullopt;
    if (!c.rate || !c.current || *c.target == *c.current)
        return c.target;
    if (now - c.anchor < m_interval)
        return std::nullopt;
    const double seconds = std::chrono::duration<double>(now - c.anchor).count();
    const double reach = *c.rate * std::max(seconds, 0.0);
    const double delta = *c.target - *c.current;
    if (std::abs(delta) <= reach)
        return c.target;
    return *c.current + (delta > 0 ? reach : -reach);
}

void SlewRamper::written(int channel, double volts, Clock::time_point at) {
    Channel& c = this->at(channel);
    c.current = volts;
    c.anchor = at;
    c.pending = c.target && c.target != c.current;
}
