#include "ScpiVxi11Lock.h"

#include "RemoteLock.h"

void ScpiVxi11Lock::enrol(const std::string& owner, quint64 ownerId) {
    QMutexLocker locker(&mutex_);
    ids_[owner] = ownerId;
}

void ScpiVxi11Lock::forget(const std::string& owner) {
    quint64 id = 0;
    {
        QMutexLocker locker(&mutex_);
        const auto it = ids_.find(owner);
        if (it == ids_.end())
            return;
        id = it->second;
        ids_.erase(it);
    }
    lock_.forget(id);
}

quint64 ScpiVxi11Lock::idOf(const std::string& owner) const {
    QMutexLocker locker(&mutex_);
    const auto it = ids_.find(owner);
    return it == ids_.end() ? 0 : it->second;
}

bool ScpiVxi11Lock::tryAcquire(const std::string& owner) {
    const quint64 id = idOf(owner);
    return id != 0 && lock_.request(id, QString::fromStdString(owner));
}

void ScpiVxi11Lock::release(const std::string& owner) {
    if (const quint64 id = idOf(owner))
        lock_.release(id);
}

std::string ScpiVxi11Lock::holder() const {
    return lock_.ownerName().toStdString();
}
