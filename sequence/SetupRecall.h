// Recalling a saved setup: what would change (for the panel's preview) is
// worked out before anything is written; the writes then go through the
// engine, so slew-limited channels ramp.
#ifndef SFP_SETUPRECALL_H
#define SFP_SETUPRECALL_H

#include "SavedSetup.h"
#include "SetpointSink.h"

class SetpointEngine;

struct SetupChange {
    enum Kind { Setpoint, Limits, Slew } kind;
    int channel;
    QString from; // as shown: "unknown", "off", "1.5 V", "-2 V to 5 V", "0.5 V/s"
    QString to;
    double volts = 0; // the value to write, for a Setpoint change
};

class SetupRecall {
public:
    // Empty error: the plan may be applied. A warning (another card) does not stop it.
    struct Plan {
        QString error;
        QString warning;
        SafetySettings safety;
        std::vector<SetupChange> changes;
    };

    static Plan plan(const SavedSetup& setup, const QString& model, const QString& serial,
                     const SafetySettings& current, const ChannelValues& known);
    // New safety settings first, then the set-points (ramped where slew-limited).
    static SinkStatus apply(SetpointEngine& engine, const Plan& plan);
};

#endif
