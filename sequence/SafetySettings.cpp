#include "SafetySettings.h"

#include <cmath>

namespace {
const char* const kNoChannel = "channel %1 does not exist (1 to %2)";
const char* const kNotANumber = "channel %1: %2 is not a number";
const char* const kLimitsOrder = "channel %1: the low limit %2 V is not below the high limit %3 V";
const char* const kLimitsOutsideRange =
    "channel %1: the limits %2 V to %3 V are not inside the card's range %4 V to %5 V";
const char* const kBadSlew = "channel %1: the slew limit must be a positive number of V/s";
const char* const kOutsideLimits = "channel %1: %2 V is outside the soft limits %3 V to %4 V";
const char* const kOutsideRange = "channel %1: %2 V is outside the card's range %3 V to %4 V";

QString num(double v) {
    return QString::number(v, 'g', 10);
}
} // namespace

SafetySettings::SafetySettings(int channelCount, double rangeLow, double rangeHigh)
    : m_channels(size_t(std::max(channelCount, 0))), m_rangeLow(rangeLow), m_rangeHigh(rangeHigh) {}

QString SafetySettings::channelError(int channel) const {
    if (validChannel(channel))
        return {};
    return QString::fromLatin1(kNoChannel).arg(channel).arg(channelCount());
}

QString SafetySettings::setLimits(int channel, double low, double high) {
    ChannelSafety settings = this->channel(channel);
    settings.low = low;
    settings.high = high;
    return setChannel(channel, settings);
}

void SafetySettings::clearLimits(int channel) {
    if (validChannel(channel)) {
        m_channels[size_t(channel - 1)].low.reset();
        m_channels[size_t(channel - 1)].high.reset();
    }
}

QString SafetySettings::setSlew(int channel, double voltsPerSecond) {
    ChannelSafety settings = this->channel(channel);
    settings.slewVps = voltsPerSecond;
    return setChannel(channel, settings);
}

void SafetySettings::clearSlew(int channel) {
    if (validChannel(channel))
        m_channels[size_t(channel - 1)].slewVps.reset();
}

QString SafetySettings::setChannel(int channel, const ChannelSafety& s) {
    if (!validChannel(channel))
        return channelError(channel);
    if (s.low.has_value() != s.high.has_value() || (s.low && !(*s.low < *s.high)))
        return QString::fromLatin1(kLimitsOrder)
            .arg(channel)
            .arg(num(s.low.value_or(NAN)), num(s.high.value_or(NAN)));
    if (s.low && (*s.low < m_rangeLow || *s.high > m_rangeHigh))
        return QString::fromLatin1(kLimitsOutsideRange)
            .arg(channel)
            .arg(num(*s.low), num(*s.high), num(m_rangeLow), num(m_rangeHigh));
    if (s.slewVps && !(*s.slewVps > 0 && std::isfinite(*s.slewVps)))
        return QString::fromLatin1(kBadSlew).arg(channel);
    m_channels[size_t(channel - 1)] = s;
    return {};
}

const ChannelSafety& SafetySettings::channel(int channel) const {
    static const ChannelSafety none;
    return validChannel(channel) ? m_channels[size_t(channel - 1)] : none;
}

double SafetySettings::lowest(int channel) const {
    return this->channel(channel).low.value_or(m_rangeLow);
}

double SafetySettings::highest(int channel) const {
    return this->channel(channel).high.value_or(m_rangeHigh);
}

CheckResult SafetySettings::check(int channel, double volts, LimitMode mode) const {
    if (!validChannel(channel))
        return {false, volts, channelError(channel)};
    if (std::isnan(volts))
        return {false, volts, QString::fromLatin1(kNotANumber).arg(channel).arg(num(volts))};
    const double low = lowest(channel);
    const double high = highest(channel);
    if (volts >= low && volts <= high)
        return {true, volts, {}};
    if (mode == LimitMode::Clamp)
        return {true, std::min(std::max(volts, low), high), {}};
    const bool soft = this->channel(channel).low.has_value();
    return {false, volts,
            QString::fromLatin1(soft ? kOutsideLimits : kOutsideRange)
                .arg(channel)
                .arg(num(volts), num(low), num(high))};
}

bool SafetySettings::operator==(const SafetySettings& other) const {
    return m_channels == other.m_channels && m_rangeLow == other.m_rangeLow &&
           m_rangeHigh == other.m_rangeHigh;
}
