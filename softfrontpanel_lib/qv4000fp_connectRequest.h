#ifndef QV4000FP_CONNECTREQUEST_H
#define QV4000FP_CONNECTREQUEST_H

#include <QString>
#include <QtGlobal>

// How the next connection workflow starts: with the operator's choice, in
// demo mode, or by opening one known card at once (no choice, no search).
struct qv4000fp_connectRequest {
    enum class Start { Ask, Demo, Card };
    Start start = Start::Ask; // Ask: the choice box, as without options
    QString descriptor;       // Card: the resource descriptor to open
    quint16 fcNumber = 0;     // Card: its function card number 1..8
    bool reset = true;        // Card: open with the reset flag, as the workflow does
};

#endif
