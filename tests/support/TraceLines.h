#ifndef TRACELINES_H
#define TRACELINES_H

#include <QFile>
#include <QString>
#include <QStringList>

// The lines of a trace file that begin with prefix (every line for an empty
// one); none when nothing was traced yet.
inline QStringList traceLines(const QString& path, const QString& prefix) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines;
    for (const QString& line : QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'))) {
        if (!line.isEmpty() && line.startsWith(prefix))
            lines << line;
    }
    return lines;
}

#endif
