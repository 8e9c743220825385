// Saved setups as JSON files:
//   {"version": 1, "model": "...", "serial": "...",
//    "channels": [{"channel": 1, "setpoint": 1.5, "low": -2, "high": 5, "slew_vps": 0.5}, ...]}
// A missing or null setpoint is unknown; missing limits or slew are off.
#ifndef SFP_SETUPFILE_H
#define SFP_SETUPFILE_H

#include "SavedSetup.h"

#include <QByteArray>

struct SetupReadResult {
    bool ok = false;
    SavedSetup setup;
    QString error;
};

class SetupFile {
public:
    static constexpr int kVersion = 1;
    static constexpr qint64 kMaxBytes = 64 * 1024;

    static SetupReadResult read(const QByteArray& bytes, int channelCount);
    static SetupReadResult readFile(const QString& path, int channelCount);
    static QByteArray write(const SavedSetup& setup);
    static QString writeFile(const QString& path, const SavedSetup& setup); // empty when written

    // What the program has now, as a setup to save.
    static SavedSetup capture(const QString& model, const QString& serial,
                              const SafetySettings& safety, const ChannelValues& known);
};

#endif
