#include "StartupRun.h"

#include "MonotonicClock.h"

#include <QProcess>

#include <algorithm>
#include <cstdio>

namespace {
const int kTimeoutMs = 60000;
} // namespace

StartupRun::StartupRun(const char* label, QString path, QStringList arguments,
                       QProcessEnvironment environment)
    : m_label(label), m_path(std::move(path)), m_arguments(std::move(arguments)),
      m_environment(std::move(environment)) {}

bool StartupRun::runOnce() {
    QProcess child;
    child.setProcessEnvironment(m_environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const qint64 startNs = monotonicNs();
    child.start(m_path, m_arguments);
    QByteArray out;
    while (!out.contains("end\n")) {
        if (!child.waitForReadyRead(kTimeoutMs))
            break;
        out += child.readAllStandardOutput();
    }
    if (!child.waitForFinished(kTimeoutMs)) {
        child.kill();
        child.waitForFinished();
    }
    out += child.readAllStandardOutput();
    StartupSample sample;
    if (!parse(out, startNs, &sample) || child.exitStatus() != QProcess::NormalExit ||
        child.exitCode() != 0) {
        std::fprintf(stderr, "startup_benchmark: %s gave no report (exit %d):\n%s\n", m_label,
                     child.exitCode(), out.constData());
        return false;
    }
    m_samples << sample;
    return true;
}

// Lines "<moment> <monotonic ns>", "<moment>_faults <count>", "<field>_kB
// <kB>" and "end"; anything else (the program's own output) is passed over.
bool StartupRun::parse(const QByteArray& output, qint64 startNs, StartupSample* sample) const {
    bool ended = false;
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> fields = line.trimmed().split(' ');
        if (fields.size() == 1 && fields[0] == "end")
            ended = true;
        if (fields.size() != 2)
            continue;
        bool number = false;
        const qint64 value = fields[1].toLongLong(&number);
        if (!number)
            continue;
        if (fields[0].endsWith("_kB"))
            sample->kb.insert(fields[0].chopped(3), double(value));
        else if (fields[0].endsWith("_faults"))
            sample->faults.insert(fields[0].chopped(7), double(value));
        else
            sample->ms.insert(fields[0], double(value - startNs) / 1e6);
    }
    return ended && sample->ms.contains("panel") && sample->kb.contains("VmHWM");
}

QList<double> StartupRun::spans(const QByteArray& from, const QByteArray& to) const {
    QList<double> values;
    for (const StartupSample& s : m_samples) {
        if (s.ms.contains(to) && (from == "start" || s.ms.contains(from)))
            values << s.ms.value(to) - (from == "start" ? 0.0 : s.ms.value(from));
    }
    return values;
}

QList<double> StartupRun::faults(const QByteArray& moment) const {
    QList<double> values;
    for (const StartupSample& s : m_samples)
        values << s.faults.value(moment);
    return values;
}

QList<double> StartupRun::kb(const QByteArray& field) const {
    QList<double> values;
    for (const StartupSample& s : m_samples)
        values << s.kb.value(field);
    return values;
}

double median(QList<double> values) {
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
