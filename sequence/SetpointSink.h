// Where the set-point engine sends its writes. The card layer adapts its card
// session to this; tests and benchmarks use in-process sinks. Channels are
// numbered from 1. Both functions are called from the engine's own thread only.
#ifndef SFP_SETPOINTSINK_H
#define SFP_SETPOINTSINK_H

#include <QString>

#include <optional>

// Outcome of one write or of a request: ok, or the reason it failed.
struct SinkStatus {
    bool ok = true;
    QString error;

    static SinkStatus success() { return {}; }
    static SinkStatus failure(const QString& text) { return {false, text}; }
};

class SetpointSink {
public:
    virtual ~SetpointSink() = default;
    virtual SinkStatus write(int channel, double volts) = 0;
    // What this program last wrote to the channel; empty while unknown (the
    // card cannot be read back).
    virtual std::optional<double> knownValue(int channel) = 0;
};

#endif
