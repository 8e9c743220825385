// A sequence of set-point steps: each step sets some channels (the others
// stay as they are), optionally ramping linearly to its values over its
// dwell, then dwells. The whole list repeats `repeat` times; rules say what
// happens at the end, on Stop and on a failed write. Channels are numbered
// from 1; values[i] is channel i + 1.
#ifndef SFP_SEQUENCE_H
#define SFP_SEQUENCE_H

#include "SafetySettings.h"

#include <QString>

#include <chrono>
#include <optional>
#include <vector>

// The shortest dwell a step may have, and the interval between the writes of
// a ramp (a step's linear ramp and a slew-limited change alike).
constexpr std::chrono::microseconds kMinDwell{1000};
constexpr std::chrono::microseconds kRampWriteInterval{10000};

using ChannelValues = std::vector<std::optional<double>>;

struct SequenceStep {
    ChannelValues values; // empty = unchanged
    double dwellSeconds = 1.0;
    bool ramp = false; // ramp linearly from the previous values over the dwell

    bool operator==(const SequenceStep& o) const {
        return values == o.values && dwellSeconds == o.dwellSeconds && ramp == o.ramp;
    }
};

// Hold: every channel stays where it is. GoTo: the channels given go to their
// values (ramped where a slew limit is set), the others hold.
struct StopRule {
    enum Kind { Hold, GoTo } kind = Hold;
    ChannelValues values;
};

struct Sequence {
    std::vector<SequenceStep> steps;
    int repeat = 1;
    StopRule atEnd;
    StopRule onStop;
    StopRule onError;
    // Values assumed for channels this program does not know yet; they are
    // written first, directly, so that a ramp from them starts where it says.
    ChannelValues startValues;
};

// Checks the whole sequence against the card (channel count and range in
// `safety`), the soft limits and what is known of each channel. Returns an
// empty text when it may run, else the first reason it may not.
QString validateSequence(const Sequence& sequence, const SafetySettings& safety,
                         const ChannelValues& known);

// The channels the sequence writes, its steps and its rules (1-based flags,
// index 0 unused).
std::vector<bool> drivenChannels(const Sequence& sequence, int channelCount);

#endif
