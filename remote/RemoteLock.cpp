#include "RemoteLock.h"

#include <QMutexLocker>

namespace {
const char kTaken[] = "lock taken by %1";
const char kReleased[] = "lock released by %1";
const char kLost[] = "lock lost by %1 to the local operator";
const char kGone[] = "lock released: %1 went away";
const char kHeldBy[] = "locked by %1";
const char kLostInfo[] = "lock lost to the local operator";
} // namespace

RemoteLock::RemoteLock(QObject* parent) : QObject(parent) {}

quint64 RemoteLock::newOwnerId() {
    return nextId_.fetch_add(1);
}

void RemoteLock::announce(quint64 id, const QString& name, const QString& line) {
    emit ownerChanged(id, name);
    emit logLine(line);
}

bool RemoteLock::request(quint64 owner, const QString& name) {
    {
        QMutexLocker lock(&mutex_);
        lostToLocal_.remove(owner);
        if (owner_ == owner)
            return true;
        if (owner_ != 0 || owner == 0)
            return false;
        owner_ = owner;
        ownerName_ = name;
    }
    announce(owner, name, QString::fromLatin1(kTaken).arg(name));
    return true;
}

bool RemoteLock::release(quint64 owner) {
    QString name;
    {
        QMutexLocker lock(&mutex_);
        if (owner == 0 || owner_ != owner)
            return false;
        name = ownerName_;
        owner_ = 0;
        ownerName_.clear();
    }
    announce(0, {}, QString::fromLatin1(kReleased).arg(name));
    return true;
}

void RemoteLock::takeLocal() {
    QString name;
    {
        QMutexLocker lock(&mutex_);
        if (owner_ == 0)
            return;
        lostToLocal_.insert(owner_);
        name = ownerName_;
        owner_ = 0;
        ownerName_.clear();
    }
    announce(0, {}, QString::fromLatin1(kLost).arg(name));
}

void RemoteLock::forget(quint64 owner) {
    QString name;
    {
        QMutexLocker lock(&mutex_);
        lostToLocal_.remove(owner);
        if (owner == 0 || owner_ != owner)
            return;
        name = ownerName_;
        owner_ = 0;
        ownerName_.clear();
    }
    announce(0, {}, QString::fromLatin1(kGone).arg(name));
}

RemoteLock::WriteCheck RemoteLock::checkWrite(quint64 owner) {
    QMutexLocker lock(&mutex_);
    if (lostToLocal_.remove(owner))
        return WriteCheck::LostToLocal;
    if (owner_ != 0 && owner_ != owner)
        return WriteCheck::HeldByOther;
    return WriteCheck::Allowed;
}

ScpiError RemoteLock::writeError(quint64 owner) {
    switch (checkWrite(owner)) {
    case WriteCheck::Allowed:
        return {};
    case WriteCheck::HeldByOther:
        return ScpiError::standard(ScpiError::CommandProtected,
                                   QString::fromLatin1(kHeldBy).arg(ownerName()).toUtf8());
    case WriteCheck::LostToLocal:
        break;
    }
    return ScpiError::standard(ScpiError::CommandProtected, kLostInfo);
}

quint64 RemoteLock::ownerId() const {
    QMutexLocker lock(&mutex_);
    return owner_;
}

QString RemoteLock::ownerName() const {
    QMutexLocker lock(&mutex_);
    return ownerName_;
}
