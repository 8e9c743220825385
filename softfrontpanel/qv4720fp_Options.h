#ifndef QV4720FP_OPTIONS_H
#define QV4720FP_OPTIONS_H

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QStringList>

// The program's options, their names and texts in one table, from which
// both the parser and --help are made.
class qv4720fp_Options {
public:
    static QList<QCommandLineOption> parserOptions();
    // The options whose value is the next argument, as they may be typed
    // ("-r", "--resource", ...).
    static QStringList valueOptionSpellings();
    // The --help text: usage, options, exit statuses.
    static QString helpText();
};

#endif
