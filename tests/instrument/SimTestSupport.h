// Small helpers the instrument tests share: benches from text, the trace
// file, and what a call wrote on standard error.
#ifndef SIMTESTSUPPORT_H
#define SIMTESTSUPPORT_H

#include "zelvan_sim.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <unistd.h>

namespace simtest {

inline QStringList readLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Routes the trace into a fresh file for the life of the object.
class TraceFile {
public:
    TraceFile() : m_path(m_dir.filePath("trace.txt")) {
        zsim_setTrace(m_path.toUtf8().constData());
    }
    ~TraceFile() { zsim_setTrace(""); }
    QStringList lines() const { return readLines(m_path); }
    void clear() { QFile::remove(m_path); }
    const QString& path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// Collects what is written to standard error (fd 2) while it lives.
class StderrCapture {
public:
    StderrCapture() : m_path(m_dir.filePath("stderr.txt")) {
        std::fflush(stderr);
        m_saved = ::dup(2);
        std::FILE* f = std::fopen(m_path.toUtf8().constData(), "w");
        ::dup2(::fileno(f), 2);
        std::fclose(f);
    }
    ~StderrCapture() { restore(); }
    QStringList lines() {
        restore();
        return readLines(m_path);
    }

private:
    void restore() {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }
    QTemporaryDir m_dir;
    QString m_path;
    int m_saved = -1;
};

} // namespace simtest

#endif
