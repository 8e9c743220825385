#ifndef FAULTMATRIX_H
#define FAULTMATRIX_H

#include "visa.h"

#include <QList>
#include <QString>
#include <QStringList>

// Where on the bench a status is injected.
enum class Place {
    Bench,   // bench-wide: calls without a session, or any call not overridden
    Carrier, // the resource of the carrier that holds the 4720
    Card,    // the 4720 itself
    Variant, // the 4860 beside it, whose variant is read at offset 252
    Other,   // a second carrier (GPIB0::22) that holds no usable card
};

// The library a call belongs to, which picks the statuses injected.
enum class Family { Visa, Carrier, Driver };

struct Fault {
    Place place;
    QString function; // the bench's fault key
    ViStatus status;
};

// One modal box as the operator sees it.
struct Box {
    QString kind; // short name for the printed matrix
    QString title;
    QString text;
    QStringList buttons;
};

struct Expect {
    QList<Box> boxes;  // in order; empty: the panel stays silent
    bool demo = false; // the panel ends up in demo mode (else connected)
};

// One row of the matrix: a call, where its status is injected, and what the
// operator must see for a negative and for a positive status.
struct Row {
    QString call;
    Family family;
    Place place;
    QString function;
    bool lxi = false;      // the 4720's carrier is an LXI device, not VXI
    QList<Fault> triggers; // further faults that make the panel reach the call
    Expect negative;
    Expect positive;
};

// The library texts the boxes quote, read from the stand-ins for a status.
struct StatusTexts {
    QString (*driver)(ViStatus status);
    QString (*carrier)(ViStatus status);
};

ViStatus injectedStatus(Family family, bool negative);

// The whole matrix of expectations.
QList<Row> faultMatrix(const StatusTexts& texts);

// The bench of a row with status injected for its call.
QByteArray matrixBench(const Row& row, ViStatus status);

#endif
