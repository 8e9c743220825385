// What each channel should be written next, so that a slew-limited channel
// never moves faster than its rate. Each channel has a target and the value
// last written (its current value); a channel with a rate moves toward its
// target by at most rate × (time since its last write or since it started
// moving), so a new target during a ramp simply retargets it. A channel
// without a rate is written its target at once. Used on one thread.
#ifndef SFP_SLEWRAMPER_H
#define SFP_SLEWRAMPER_H

#include <chrono>
#include <optional>
#include <vector>

class SlewRamper {
public:
    using Clock = std::chrono::steady_clock;

    // A slew-limited channel is written at most once per `interval`.
    SlewRamper(int channelCount, std::chrono::microseconds interval);

    void setRate(int channel, std::optional<double> voltsPerSecond);
    // The channel holds this value (from the sink's record, or an explicit start value).
    void setCurrent(int channel, std::optional<double> volts);
    // Asks for one write of the target (even when it equals the current value).
    // Returns false when the channel has a rate but no known current value.
    bool setTarget(int channel, double volts, Clock::time_point now);
    // Stops where it is: nothing more to write on the channel.
    void hold(int channel);

    std::optional<double> current(int channel) const { return at(channel).current; }
    std::optional<double> target(int channel) const { return at(channel).target; }
    bool pending(int channel) const { return at(channel).pending; }
    bool anyPending() const;
    bool anySlewing() const; // a rate-limited channel still on its way
    // When the next write of a rate-limited channel on its way is due.
    std::optional<Clock::time_point> nextSlewWrite() const;

    // The value to write on the channel at `now`, if any.
    std::optional<double> next(int channel, Clock::time_point now) const;
    void written(int channel, double volts, Clock::time_point at);

private:
    struct Channel {
        std::optional<double> rate;
        std::optional<double> current;
        std::optional<double> target;
        Clock::time_point anchor; // last write, or when it started moving
        bool pending = false;
    };
    const Channel& at(int channel) const { return m_channels[size_t(channel - 1)]; }
    Channel& at(int channel) { return m_channels[size_t(channel - 1)]; }

    std::vector<Channel> m_channels;
    std::chrono::microseconds m_interval;
};

#endif
