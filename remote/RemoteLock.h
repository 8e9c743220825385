// The one lock over the instrument, shared by every transport (raw socket,
// VXI-11) and the panel. Owners are numbered (newOwnerId) and named for the
// log and for SYSTem:LOCK:OWNer?. The operator at the bench always wins:
// takeLocal() drops the owner, whose next write then fails once with "lock
// lost". Thread-safe: a transport on another thread may call it; signals are
// emitted after the state changed, outside the internal mutex.
#ifndef SFP_REMOTELOCK_H
#define SFP_REMOTELOCK_H

#include "ScpiError.h"

#include <QMutex>
#include <QObject>
#include <QSet>
#include <QString>

#include <atomic>

class RemoteLock : public QObject {
    Q_OBJECT
public:
    enum class WriteCheck { Allowed, HeldByOther, LostToLocal };

    explicit RemoteLock(QObject* parent = nullptr);

    // A fresh id for a client or a link; 0 means nobody.
    quint64 newOwnerId();

    // Granted when free or already held by `owner`.
    bool request(quint64 owner, const QString& name);
    // False when `owner` does not hold it.
    bool release(quint64 owner);
    // The operator takes the instrument back.
    void takeLocal();
    // The owner went away (disconnect, link destroyed): release and forget.
    void forget(quint64 owner);

    // May `owner` change the instrument now? LostToLocal is answered once.
    WriteCheck checkWrite(quint64 owner);
    // The SCPI error for a refused write, or none when allowed.
    ScpiError writeError(quint64 owner);

    quint64 ownerId() const;
    QString ownerName() const; // empty when free
    bool isLocked() const { return ownerId() != 0; }

signals:
    // The owner changed; `ownerId` 0 (and an empty name) when free.
    void ownerChanged(quint64 ownerId, const QString& ownerName);
    // One line for the event log.
    void logLine(const QString& line);

private:
    void announce(quint64 id, const QString& name, const QString& line);

    mutable QMutex mutex_;
    std::atomic<quint64> nextId_{1};
    quint64 owner_ = 0;
    QString ownerName_;
    QSet<quint64> lostToLocal_;
};

#endif
