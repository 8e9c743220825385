#ifndef QV4720FP_STOPSIGNALS_H
#define QV4720FP_STOPSIGNALS_H

#include <QObject>

class QSocketNotifier;

// SIGINT and SIGTERM turned into a Qt signal on the thread that made this
// object, so that a long-running mode without a window can end cleanly
// (close the card) instead of being killed mid-write. Only one may exist.
class qv4720fp_StopSignals : public QObject {
    Q_OBJECT
public:
    explicit qv4720fp_StopSignals(QObject* parent = nullptr);
    ~qv4720fp_StopSignals() override;

    // The last signal received (SIGINT or SIGTERM), or 0.
    int received() const { return m_received; }

signals:
    void stopRequested(int signalNumber);

private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
    int m_received = 0;
};

#endif
