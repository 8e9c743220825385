#include "Sequence.h"

#include <cmath>

namespace {
const char* const kNoSteps = "the sequence has no steps";
const char* const kBadRepeat = "the repeat count must be at least 1";
const char* const kTooManyChannels = "%1 has %2 channels; the card has %3";
const char* const kShortDwell = "step %1: dwell %2 s is shorter than the shortest accepted, %3 s";
const char* const kStep = "step %1: %2";
const char* const kRule = "%1 rule: %2";
const char* const kStartValue = "start value: %1";
const char* const kUnknownStart =
    "step %1: channel %2 ramps from a value that is not known; give it a start value";
const char* const kUnknownSlew = "step %1: channel %2 has a slew limit and a value that is not "
                                 "known; give it a start value";
const char* const kUnknownRuleSlew = "%1 rule: channel %2 has a slew limit and a value that may "
                                     "not be known; give it a start value";

QString checkValues(const ChannelValues& values, const SafetySettings& safety) {
    if (int(values.size()) > safety.channelCount())
        return QString::fromLatin1(kTooManyChannels)
            .arg(QStringLiteral("a row"))
            .arg(values.size())
            .arg(safety.channelCount());
    for (size_t i = 0; i < values.size(); ++i) {
        if (!values[i])
            continue;
        const CheckResult r = safety.check(int(i) + 1, *values[i], LimitMode::Refuse);
        if (!r.ok)
            return r.reason;
    }
    return {};
}

QString checkRule(const char* name, const StopRule& rule, const SafetySettings& safety,
                  const std::vector<bool>& known) {
    if (rule.kind == StopRule::Hold)
        return {};
    const QString error = checkValues(rule.values, safety);
    if (!error.isEmpty())
        return QString::fromLatin1(kRule).arg(QLatin1String(name), error);
    for (size_t i = 0; i < rule.values.size(); ++i) {
        const int ch = int(i) + 1;
        if (rule.values[i] && safety.channel(ch).slewVps && !known[size_t(ch)])
            return QString::fromLatin1(kUnknownRuleSlew).arg(QLatin1String(name)).arg(ch);
    }
    return {};
}
} // namespace

QString validateSequence(const Sequence& sequence, const SafetySettings& safety,
                         const ChannelValues& known) {
    if (sequence.steps.empty())
        return QString::fromLatin1(kNoSteps);
    if (sequence.repeat < 1)
        return QString::fromLatin1(kBadRepeat);
    const int n = safety.channelCount();
    QString error = checkValues(sequence.startValues, safety);
    if (!error.isEmpty())
        return QString::fromLatin1(kStartValue).arg(error);
    // known[ch]: the channel's value is known before the step being checked.
    std::vector<bool> isKnown(size_t(n) + 1, false);
    for (int ch = 1; ch <= n; ++ch) {
        const size_t i = size_t(ch - 1);
        isKnown[size_t(ch)] = (i < known.size() && known[i]) ||
                              (i < sequence.startValues.size() && sequence.startValues[i]);
    }
    // A rule may act before any step has run: only what was known at the start counts.
    const std::vector<bool> knownAtStart = isKnown;
    const double minDwell = std::chrono::duration<double>(kMinDwell).count();
    for (size_t s = 0; s < sequence.steps.size(); ++s) {
        const SequenceStep& step = sequence.steps[s];
        const int number = int(s) + 1;
        if (!(step.dwellSeconds >= minDwell) || !std::isfinite(step.dwellSeconds))
            return QString::fromLatin1(kShortDwell)
                .arg(number)
                .arg(step.dwellSeconds)
                .arg(minDwell);
        error = checkValues(step.values, safety);
        if (!error.isEmpty())
            return QString::fromLatin1(kStep).arg(number).arg(error);
        for (size_t i = 0; i < step.values.size(); ++i) {
            const int ch = int(i) + 1;
            if (!step.values[i])
                continue;
            if (!isKnown[size_t(ch)] && step.ramp)
                return QString::fromLatin1(kUnknownStart).arg(number).arg(ch);
            if (!isKnown[size_t(ch)] && safety.channel(ch).slewVps)
                return QString::fromLatin1(kUnknownSlew).arg(number).arg(ch);
            isKnown[size_t(ch)] = true;
        }
    }
    for (const auto& [name, rule] : {std::pair<const char*, const StopRule&>{"end", sequence.atEnd},
                                     {"stop", sequence.onStop},
                                     {"error", sequence.onError}}) {
        error = checkRule(name, rule, safety, knownAtStart);
        if (!error.isEmpty())
            return error;
    }
    return {};
}

std::vector<bool> drivenChannels(const Sequence& sequence, int channelCount) {
    std::vector<bool> driven(size_t(channelCount) + 1, false);
    auto mark = [&](const ChannelValues& values) {
        for (size_t i = 0; i < values.size() && int(i) < channelCount; ++i)
            driven[i + 1] = driven[i + 1] || values[i].has_value();
    };
    for (const SequenceStep& step : sequence.steps)
        mark(step.values);
    for (const StopRule* rule : {&sequence.atEnd, &sequence.onStop, &sequence.onError})
        if (rule->kind == StopRule::GoTo)
            mark(rule->values);
    mark(sequence.startValues);
    return driven;
}
