#ifndef QV4720FP_SERVEOPTIONS_H
#define QV4720FP_SERVEOPTIONS_H

#include "ScpiServerOptions.h"

#include <QString>

class QCommandLineParser;

// --serve and what goes with it: where the SCPI server listens and which
// peers it lets stay.
struct qv4720fp_ServeOptions {
    bool serve = false;
    bool noWindow = false;
    ScpiServerOptions server;
    quint16 vxi11Port = 0; // the VXI-11 core channel's port; 0: any free one

    // Reads the options into *options; returns the first problem, or an
    // empty text.
    static QString parse(const QCommandLineParser& parser, qv4720fp_ServeOptions* options);
};

#endif
