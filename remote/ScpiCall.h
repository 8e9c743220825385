// What a handler receives: the numeric suffixes of its header (defaults
// filled in), its parameters, and the client's session.
#ifndef SFP_SCPICALL_H
#define SFP_SCPICALL_H

#include "ScpiCommandEntry.h"
#include "ScpiParameter.h"

#include <QVarLengthArray>

class ScpiSession;

class ScpiCall {
public:
    ScpiCall(const ScpiCommandEntry& command, const QVarLengthArray<int, 4>& suffixes,
             const QVarLengthArray<ScpiParameter, 2>& parameters, ScpiSession& session)
        : command_(command), suffixes_(suffixes), parameters_(parameters), session_(session) {}

    const ScpiCommandEntry& command() const { return command_; }
    int suffix(int slot) const { return suffixes_.value(slot, 1); }
    int parameterCount() const { return int(parameters_.size()); }
    const ScpiParameter& parameter(int i) const { return parameters_[i]; }
    ScpiSession& session() const { return session_; }

    // Parameter i as a number in the command's units, MIN/MAX/DEF resolved.
    ScpiError real(int i, const ScpiParameter::Limits& limits, double* out) const {
        return parameters_[i].toReal(command_.units, limits, out);
    }

private:
    const ScpiCommandEntry& command_;
    const QVarLengthArray<int, 4>& suffixes_;
    const QVarLengthArray<ScpiParameter, 2>& parameters_;
    ScpiSession& session_;
};

#endif
