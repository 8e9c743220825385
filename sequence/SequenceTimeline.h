// When each step of a sequence starts, as absolute moments on the monotonic
// clock: start + pass × (one pass) + the dwells before the step, in whole
// nanoseconds, so rounding never adds up over steps or passes. A pause moves
// every later moment by its length.
#ifndef SFP_SEQUENCETIMELINE_H
#define SFP_SEQUENCETIMELINE_H

#include <chrono>
#include <cstdint>
#include <vector>

class SequenceTimeline {
public:
    using Clock = std::chrono::steady_clock;

    SequenceTimeline() = default;
    SequenceTimeline(const std::vector<double>& dwellSeconds, Clock::time_point start);

    Clock::time_point stepStart(int pass, int step) const;
    Clock::time_point stepEnd(int pass, int step) const;
    void pause(Clock::time_point now);
    void resume(Clock::time_point now);
    bool paused() const { return m_paused; }

private:
    std::vector<std::chrono::nanoseconds> m_offsets; // start of each step in a pass, and its end
    Clock::time_point m_start;
    Clock::time_point m_pausedAt;
    bool m_paused = false;
};

#endif
