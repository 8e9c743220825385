#ifndef QV4720FP_PRINT_H
#define QV4720FP_PRINT_H

#include <QByteArray>
#include <QString>

#include <cstdio>

// The command line's output. Each piece is written whole and flushed at once,
// so that a script reading both streams sees them in the order they happened.
void qv4720fp_print(FILE* stream, const QByteArray& bytes);
void qv4720fp_printLine(FILE* stream, const QString& line);
// The program's own message on standard error, each line headed by its name.
void qv4720fp_printMessage(const QString& text);

// Makes a closed standard output or error fail every write instead of
// letting a file opened later take its number. Call before anything opens.
void qv4720fp_guardStandardStreams();
// Closes standard output once a headless mode has ended; when anything
// written to it was lost, says so on standard error and returns exit
// status 1, else status.
int qv4720fp_closeStandardOutput(int status);

#endif
