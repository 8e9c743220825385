#include "ProbeApplication.h"

#include <QFile>
#include <QThread>
#include <QTimer>
#include <QWidget>

#include <cstdio>

#include <sys/resource.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define SFP_STARTUP_CALLGRIND 1
#endif

ProbeApplication::ProbeApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void ProbeApplication::watchFirstPaint(const char* name, Matcher matches, Then then) {
    m_watches.push_back(Watch{name, std::move(matches), std::move(then)});
}

bool ProbeApplication::notify(QObject* receiver, QEvent* event) {
    if (event->type() == QEvent::Paint && receiver->isWidgetType())
        notePaint(static_cast<QWidget*>(receiver)->window());
    ++m_depth;
    const bool result = QApplication::notify(receiver, event);
    if (--m_depth == 0)
        reportPainted();
    return result;
}

void ProbeApplication::notePaint(const QWidget* window) {
    for (Watch& watch : m_watches) {
        if (!watch.painted && watch.matches(window))
            watch.painted = true;
    }
}

void ProbeApplication::reportPainted() {
    const qint64 now = monotonicNs();
    // A callback may add watches: index, not iterators.
    for (size_t i = 0; i < m_watches.size(); ++i) {
        if (!m_watches[i].painted || m_watches[i].reported)
            continue;
        m_watches[i].reported = true;
        reportMoment(m_watches[i].name.constData(), now);
        if (Then then = m_watches[i].then)
            then();
    }
}

void ProbeApplication::finish() {
    // Peak, and what is resident at the end by kind: the memory profile.
    for (const char* field : {"VmHWM", "RssAnon", "RssFile"})
        std::printf("%s_kB %ld\n", field, statusKb(field));
    std::printf("end\n");
    std::fflush(stdout);
    if (qEnvironmentVariableIsSet("SFP_STARTUP_SMAPS"))
        copySmaps(qEnvironmentVariable("SFP_STARTUP_SMAPS"));
    // The report may come while the splash screen waits for the window
    // outside any event loop, where a quit would be lost: retry until a loop
    // runs. Not at 0 ms: that wait processes events for as long as any are
    // pending.
    auto* quit = new QTimer(this);
    quit->setInterval(5);
    connect(quit, &QTimer::timeout, this, [] {
        if (QThread::currentThread()->loopLevel() > 0)
            QCoreApplication::exit(0);
    });
    quit->start();
}

void reportMoment(const char* name, qint64 ns) {
    // Page faults cost more than most of the work here (a virtual machine
    // pays dearly for each): their count so far is part of the profile.
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%s %lld\n%s_faults %ld\n", name, static_cast<long long>(ns), name,
                usage.ru_minflt + usage.ru_majflt);
    std::fflush(stdout);
#ifdef SFP_STARTUP_CALLGRIND
    // Under callgrind each moment closes a profile of the work since the
    // one before: one dump per stretch of the start-up.
    CALLGRIND_DUMP_STATS_AT(name);
#endif
}

long statusKb(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLong();
    }
    return -1;
}

void copySmaps(const QString& path) {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    QFile copy(path);
    if (smaps.open(QIODevice::ReadOnly) && copy.open(QIODevice::WriteOnly))
        copy.write(smaps.readAll());
}
