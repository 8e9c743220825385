#ifndef QV4720FP_SCPICOMMANDS_H
#define QV4720FP_SCPICOMMANDS_H

class ScpiEngine;
class qv4720fp_CardEngine;
class qv4720fp_CardSession;

// The card's SCPI commands: identity, reset, self-test, the eight channels'
// voltage and the channel chosen for headers without a suffix. Every write
// goes through the card session, so its rules hold over the network too:
// a value outside the range is refused (-222), never clamped.
class qv4720fp_ScpiCommands {
public:
    // The session and the card's set-point engine outlive the SCPI engine.
    // A channel with soft or slew limits, or driven by a running sequence,
    // is written through the set-point engine (its soft limits refuse, -222).
    static void addTo(ScpiEngine& engine, qv4720fp_CardSession* session,
                      qv4720fp_CardEngine* cardEngine);
};

#endif
