#ifndef QV4720FP_PRINT_H
#define QV4720FP_PRINT_H

#include <QByteArray>
#include <QString>

#include <cstdio>

// The command line's output. Each piece is written whole and flushed at once,
// so that a script reading both streams sees them in the order they happened.
inline void qv4720fp_print(FILE* stream, const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

inline void qv4720fp_printLine(FILE* stream, const QString& line) {
    qv4720fp_print(stream, line.toLocal8Bit() + '\n');
}

#endif
