// A saved setup: what each channel was set to (or unknown) with its safety
// settings, and the card it was saved from.
#ifndef SFP_SAVEDSETUP_H
#define SFP_SAVEDSETUP_H

#include "SafetySettings.h"
#include "Sequence.h"

#include <QString>

struct SavedSetup {
    QString model;
    QString serial;
    ChannelValues setpoints;           // index 0 is channel 1
    std::vector<ChannelSafety> safety; // the same length

    bool operator==(const SavedSetup& o) const {
        return model == o.model && serial == o.serial && setpoints == o.setpoints &&
               safety == o.safety;
    }
};

#endif
