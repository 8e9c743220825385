#include "CliRun.h"

#include "TraceLines.h"

#include <QFile>

#include <unistd.h>

namespace {
const int kTimeoutMs = 60000;
}

CliRun::CliRun(const char* bench) {
    if (!bench)
        return;
    QFile file(benchPath());
    m_ownBench = file.open(QIODevice::WriteOnly) && file.write(bench) > 0;
}

QString CliRun::benchPath() const {
    return m_dir.filePath(QStringLiteral("bench.yaml"));
}

QProcessEnvironment CliRun::environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "ZELVAN_SIM_BENCH"})
        env.remove(QString::fromLatin1(name));
    if (m_ownBench)
        env.insert(QStringLiteral("ZELVAN_SIM_BENCH"), benchPath());
    env.insert(QStringLiteral("ZELVAN_SIM_TRACE"), m_dir.filePath(QStringLiteral("trace.txt")));
    env.insert(QStringLiteral("ALLUSERSPROFILE"), m_dir.filePath(QStringLiteral("allusers")));
    return env;
}

int CliRun::run(const QStringList& arguments, Output output) {
    return runProgram(QStringLiteral(QV4720SFP_PROGRAM), arguments, output);
}

int CliRun::runShell(const QString& script) {
    return runProgram(QStringLiteral("/bin/sh"),
                      {QStringLiteral("-c"), script, QStringLiteral(QV4720SFP_PROGRAM)},
                      Output::Captured);
}

int CliRun::runProgram(const QString& program, const QStringList& arguments, Output output) {
    QProcess process;
    process.setProcessEnvironment(environment());
    if (output == Output::FullDisk)
        process.setStandardOutputFile(QStringLiteral("/dev/full"));
    if (output == Output::Closed)
        process.setChildProcessModifier([] { ::close(STDOUT_FILENO); });
    process.start(program, arguments);
    const bool ended = process.waitForFinished(kTimeoutMs);
    if (!ended)
        process.kill();
    process.waitForFinished();
    m_out = QString::fromLocal8Bit(process.readAllStandardOutput());
    m_err = QString::fromLocal8Bit(process.readAllStandardError());
    if (!ended || process.exitStatus() != QProcess::NormalExit)
        return -1;
    return process.exitCode();
}

void CliRun::startHeadless(QProcess* process, const QStringList& arguments) const {
    process->setProcessEnvironment(environment());
    process->start(QStringLiteral(QV4720SFP_PROGRAM), arguments);
}

void CliRun::startPanel(QProcess* process, const QStringList& arguments) const {
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process->setProcessEnvironment(env);
    process->start(QStringLiteral(QV4720SFP_PROGRAM), arguments);
}

QStringList CliRun::trace(const QString& prefix) const {
    return traceLines(m_dir.filePath(QStringLiteral("trace.txt")), prefix);
}
