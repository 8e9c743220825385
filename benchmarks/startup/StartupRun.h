#ifndef STARTUPRUN_H
#define STARTUPRUN_H

#include <QByteArray>
#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// One start of a benchmark program: the moments it reported, in ms since
// the process was started, and its memory figures in kB.
struct StartupSample {
    QMap<QByteArray, double> ms;
    QMap<QByteArray, double> kb;     // "VmHWM", "RssAnon", "RssFile"
    QMap<QByteArray, double> faults; // page faults up to each moment
};

// One way of starting a program, and what its starts gave.
class StartupRun {
public:
    StartupRun(const char* label, QString path, QStringList arguments,
               QProcessEnvironment environment);

    // Starts the program once and waits for its report and its end; false
    // (with the reason on standard error) when it did not report or failed.
    bool runOnce();

    const char* label() const { return m_label; }
    const QList<StartupSample>& samples() const { return m_samples; }
    // The moments `to` - `from` (from "start": since the process start) of
    // every run that has both.
    QList<double> spans(const QByteArray& from, const QByteArray& to) const;
    // The page faults up to the moment, of every run.
    QList<double> faults(const QByteArray& moment) const;
    // The memory figure (a /proc/self/status field) of every run.
    QList<double> kb(const QByteArray& field) const;

private:
    bool parse(const QByteArray& output, qint64 startNs, StartupSample* sample) const;

    const char* m_label;
    QString m_path;
    QStringList m_arguments;
    QProcessEnvironment m_environment;
    QList<StartupSample> m_samples;
};

double median(QList<double> values);

#endif
