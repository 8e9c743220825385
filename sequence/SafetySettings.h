// Per-channel safety settings: soft limits inside the card's range and a slew
// limit in V/s, all off by default. check() is the one rule every writer uses:
// the command line and the network refuse a value outside the soft limits,
// the panel clamps it.
#ifndef SFP_SAFETYSETTINGS_H
#define SFP_SAFETYSETTINGS_H

#include <QString>

#include <optional>
#include <vector>

struct ChannelSafety {
    std::optional<double> low;
    std::optional<double> high;
    std::optional<double> slewVps;

    bool operator==(const ChannelSafety& other) const {
        return low == other.low && high == other.high && slewVps == other.slewVps;
    }
};

enum class LimitMode { Refuse, Clamp };

struct CheckResult {
    bool ok = false;
    double value = 0; // the value to write (clamped in Clamp mode)
    QString reason;   // why it was refused
};

class SafetySettings {
public:
    static constexpr int kDefaultChannels = 8;

    SafetySettings(int channelCount = kDefaultChannels, double rangeLow = -10,
                   double rangeHigh = 10);

    int channelCount() const { return int(m_channels.size()); }
    double rangeLow() const { return m_rangeLow; }
    double rangeHigh() const { return m_rangeHigh; }
    bool validChannel(int channel) const { return channel >= 1 && channel <= channelCount(); }

    // Each setter returns an empty text when taken, else why it was refused.
    QString setLimits(int channel, double low, double high);
    void clearLimits(int channel);
    QString setSlew(int channel, double voltsPerSecond);
    void clearSlew(int channel);
    QString setChannel(int channel, const ChannelSafety& settings);
    const ChannelSafety& channel(int channel) const;

    // The range a writer may use on the channel: the soft limits, else the card's range.
    double lowest(int channel) const;
    double highest(int channel) const;

    CheckResult check(int channel, double volts, LimitMode mode) const;
    QString channelError(int channel) const; // empty when the channel exists

    bool operator==(const SafetySettings& other) const;

private:
    std::vector<ChannelSafety> m_channels;
    double m_rangeLow;
    double m_rangeHigh;
};

#endif
