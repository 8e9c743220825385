#ifndef SHOWNPROBE_H
#define SHOWNPROBE_H

#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

// Notes the first time a program's main window is painted and then writes one
// line, "shown <peak resident kB>", to standard output, and ends the event
// loop as soon as one runs. Both programs of the start-up benchmark carry it,
// so both are timed to the same moment.
class ShownProbe : public QObject {
public:
    using Matcher = std::function<bool(const QWidget* window)>;

    explicit ShownProbe(Matcher isMainWindow);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void report();

    Matcher m_isMainWindow;
    bool m_painted = false;
    QTimer m_quit;
};

// VmHWM of this process in kB, or -1.
long peakResidentKb();

#endif
