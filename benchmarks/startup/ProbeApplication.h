#ifndef PROBEAPPLICATION_H
#define PROBEAPPLICATION_H

#include "MonotonicClock.h"

#include <QApplication>
#include <QByteArray>

#include <functional>
#include <vector>

class QWidget;

// The application object of the start-up benchmark's programs. It notes the
// moment a watched window has first been painted: when the outermost event
// delivery in which that paint happened has returned, so the painting of all
// its children and the flush to the screen are included. Each moment goes to
// standard output as "<name> <monotonic ns>"; the parent program that started
// this one subtracts its own clock reading at the start.
class ProbeApplication : public QApplication {
public:
    using Matcher = std::function<bool(const QWidget* window)>;
    using Then = std::function<void()>;

    ProbeApplication(int& argc, char** argv);

    // Reports the first paint of a window that `matches` accepts, once, and
    // then calls `then` (if given).
    void watchFirstPaint(const char* name, Matcher matches, Then then = {});
    // Reports "VmHWM_kB", "RssAnon_kB" and "RssFile_kB" with their values
    // and "end", then ends the event loop as soon as one runs. With
    // SFP_STARTUP_SMAPS=FILE set, /proc/self/smaps is copied to FILE first.
    void finish();

    bool notify(QObject* receiver, QEvent* event) override;

private:
    struct Watch {
        QByteArray name;
        Matcher matches;
        Then then;
        bool painted = false;
        bool reported = false;
    };

    void notePaint(const QWidget* window);
    void reportPainted();

    std::vector<Watch> m_watches;
    int m_depth = 0;
};

// Writes "<name> <ns>" and "<name>_faults <page faults so far>", and flushes. Under valgrind
// --tool=callgrind it also dumps the profile of the work since the previous moment, named after
// this one (callgrind.out.<pid>.<n>, one file per stretch of the start-up).
void reportMoment(const char* name, qint64 ns);
// A kB field of /proc/self/status ("VmHWM", "RssAnon", ...), or -1.
long statusKb(const char* field);
// Copies /proc/self/smaps to the file (for a memory profile by mapping).
void copySmaps(const QString& path);

#endif
