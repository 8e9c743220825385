#ifndef CLIRUN_H
#define CLIRUN_H

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The qv4720sfp program run as a user runs it, in a child process with a
// bench, a trace file and an all-users folder of its own. By default the
// child has no display at all: DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM
// are unset.
class CliRun {
public:
    // bench: YAML text, or null for the built-in bench.
    explicit CliRun(const char* bench = nullptr);

    // Where the child's standard output goes: here (out()), a full disk, or
    // nowhere (the descriptor closed).
    enum class Output { Captured, FullDisk, Closed };

    // Runs to the end; returns the exit code, or -1 when the program
    // crashed or did not end in time.
    int run(const QStringList& arguments, Output output = Output::Captured);
    // Starts the program without a display, as run() does, and returns at once.
    void startHeadless(QProcess* process, const QStringList& arguments) const;
    // Runs `sh -c script` with $0 the program: for arguments that are bytes,
    // not text.
    int runShell(const QString& script);
    // Starts the program with the offscreen platform (for the panel).
    void startPanel(QProcess* process, const QStringList& arguments) const;

    QString out() const { return m_out; }
    QString err() const { return m_err; }
    // The trace lines that begin with prefix (all lines for an empty prefix).
    QStringList trace(const QString& prefix = QString()) const;
    QString benchPath() const;

private:
    QProcessEnvironment environment() const;
    int runProgram(const QString& program, const QStringList& arguments, Output output);

    QTemporaryDir m_dir;
    bool m_ownBench = false;
    QString m_out;
    QString m_err;
};

#endif
