#include "SetupRecall.h"

#include "SetpointEngine.h"

namespace {
const char* const kOtherCard = "this setup was saved from card %1 serial %2; this is card %3 "
                               "serial %4";
const char* const kChannelCount = "this setup has %1 channels; the card has %2";
const char* const kSetpoint = "channel %1: %2";
const char* const kUnknownSlew = "channel %1 has a slew limit and a value that is not known; "
                                 "set it or reset the card before recalling";
const char* const kUnknown = "unknown";
const char* const kOff = "off";
const char* const kVolts = "%1 V";
const char* const kLimits = "%1 V to %2 V";
const char* const kSlew = "%1 V/s";

QString num(double v) {
    return QString::number(v, 'g', 10);
}
QString value(const std::optional<double>& v) {
    return v ? QString::fromLatin1(kVolts).arg(num(*v)) : QString::fromLatin1(kUnknown);
}
QString limits(const ChannelSafety& s) {
    return s.low ? QString::fromLatin1(kLimits).arg(num(*s.low), num(*s.high))
                 : QString::fromLatin1(kOff);
}
QString slew(const ChannelSafety& s) {
    return s.slewVps ? QString::fromLatin1(kSlew).arg(num(*s.slewVps)) : QString::fromLatin1(kOff);
}
} // namespace

SetupRecall::Plan SetupRecall::plan(const SavedSetup& setup, const QString& model,
                                    const QString& serial, const SafetySettings& current,
                                    const ChannelValues& known) {
    Plan plan;
    plan.safety = SafetySettings(current.channelCount(), current.rangeLow(), current.rangeHigh());
    const int n = current.channelCount();
    if (int(setup.setpoints.size()) != n || int(setup.safety.size()) != n) {
        plan.error = QString::fromLatin1(kChannelCount).arg(setup.setpoints.size()).arg(n);
        return plan;
    }
    if (setup.model != model || setup.serial != serial)
        plan.warning =
            QString::fromLatin1(kOtherCard).arg(setup.model, setup.serial, model, serial);
    for (int ch = 1; ch <= n && plan.error.isEmpty(); ++ch) {
        const ChannelSafety& before = current.channel(ch);
        const ChannelSafety& after = setup.safety[size_t(ch - 1)];
        plan.error = plan.safety.setChannel(ch, after);
        if (!plan.error.isEmpty())
            break;
        if (limits(before) != limits(after))
            plan.changes.push_back({SetupChange::Limits, ch, limits(before), limits(after)});
        if (slew(before) != slew(after))
            plan.changes.push_back({SetupChange::Slew, ch, slew(before), slew(after)});
        const std::optional<double>& to = setup.setpoints[size_t(ch - 1)];
        const std::optional<double> from =
            size_t(ch) <= known.size() ? known[size_t(ch - 1)] : std::nullopt;
        if (!to || from == to)
            continue;
        const CheckResult check = plan.safety.check(ch, *to, LimitMode::Refuse);
        if (!check.ok)
            plan.error = QString::fromLatin1(kSetpoint).arg(ch).arg(check.reason);
        else if (after.slewVps && !from)
            plan.error = QString::fromLatin1(kUnknownSlew).arg(ch);
        else
            plan.changes.push_back({SetupChange::Setpoint, ch, value(from), value(to), *to});
    }
    return plan;
}

SinkStatus SetupRecall::apply(SetpointEngine& engine, const Plan& plan) {
    if (!plan.error.isEmpty())
        return SinkStatus::failure(plan.error);
    SinkStatus status = engine.setSafety(plan.safety);
    for (const SetupChange& change : plan.changes) {
        if (status.ok && change.kind == SetupChange::Setpoint)
            status = engine.set(change.channel, change.volts);
    }
    return status;
}
