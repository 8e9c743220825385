// The shared RemoteLock as a VXI-11 server sees it: VXI-11 names a lock owner
// by its link's text, the lock by number. Each link's number is that of its
// SCPI session, so that device_lock and SYSTem:LOCK:REQuest? are one lock and
// the engine lets the link's own writes through.
#ifndef SFP_SCPIVXI11LOCK_H
#define SFP_SCPIVXI11LOCK_H

#include "Vxi11Lock.h"

#include <QMutex>

#include <map>
#include <string>

class RemoteLock;

class ScpiVxi11Lock : public sfp::vxi11::Vxi11Lock {
public:
    explicit ScpiVxi11Lock(RemoteLock& lock) : lock_(lock) {}

    // A link's owner text and the id of its session; forget() when it goes.
    void enrol(const std::string& owner, quint64 ownerId);
    void forget(const std::string& owner);

    bool tryAcquire(const std::string& owner) override;
    void release(const std::string& owner) override;
    std::string holder() const override;

private:
    quint64 idOf(const std::string& owner) const;

    RemoteLock& lock_;
    mutable QMutex mutex_;
    std::map<std::string, quint64> ids_;
};

#endif
