// What the binding registers for one command: its header pattern, its set
// and query handlers, and what it accepts.
//
// The pattern is written as SCPI documents write headers: the short form is
// the upper-case part ("VOLTage"), optional nodes are in brackets, '#' marks
// a node that takes a numeric suffix, a leading '*' makes a common command
// and a trailing '?' is ignored (a query-only command just has no `set`):
//   "[SOURce#]:VOLTage[:LEVel][:IMMediate][:AMPLitude]"
#ifndef SFP_SCPICOMMANDENTRY_H
#define SFP_SCPICOMMANDENTRY_H

#include "ScpiReply.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QList>

#include <functional>

class ScpiCall;

struct ScpiCommandEntry {
    using Handler = std::function<ScpiReply(ScpiCall&)>;
    // The range of one '#' node, in the order of the pattern. When a header
    // omits the suffix (or the whole optional node), the value comes from the
    // session variable named `sessionDefault` (see ScpiSession::setVariable),
    // or is 1 when there is no such variable.
    struct Suffix {
        int min = 1;
        int max = 1;
        QByteArray sessionDefault;
    };

    QByteArray pattern;
    Handler set;
    Handler query;
    QList<Suffix> suffixes;
    // Units a numeric parameter may carry ("V"); SI prefixes come with them.
    QByteArrayList units;
    int setMinParameters = 1;
    int setMaxParameters = 1;
    int queryMinParameters = 0;
    int queryMaxParameters = 0;
    // The set form changes the instrument: refused while another owner holds
    // the lock. Queries and per-client settings are never guarded.
    bool guarded = true;
};

#endif
