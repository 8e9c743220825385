// One client's side of the conversation: its status model and error queue,
// its current header path, its variables (the default suffixes, such as the
// channel INSTrument:NSELect chose) and its identity for the lock.
// Created by ScpiEngine::createSession; used on the engine's thread, except
// postError, which any thread may call. A handler that reports later (from
// a writer thread) keeps weak_from_this(), since the client may be gone.
#ifndef SFP_SCPISESSION_H
#define SFP_SCPISESSION_H

#include "ScpiCommandTable.h"
#include "ScpiStatus.h"

#include <QByteArray>
#include <QString>
#include <QVarLengthArray>

#include <memory>
#include <utility>

class ScpiSession : public std::enable_shared_from_this<ScpiSession> {
public:
    ScpiSession(quint64 ownerId, const QString& name, int queueCapacity);

    quint64 ownerId() const { return ownerId_; }
    const QString& name() const { return name_; }
    ScpiStatus& status() { return status_; }
    const ScpiStatus& status() const { return status_; }
    void postError(const ScpiError& error) { status_.pushError(error); }

    void setVariable(const QByteArray& name, int value);
    int variable(const QByteArray& name, int fallback) const;

    // Kept by the engine while it runs a message.
    ScpiCommandTable::Path& path() { return path_; }
    bool messageAvailable() const { return messageAvailable_; }
    void setMessageAvailable(bool available) { messageAvailable_ = available; }

private:
    quint64 ownerId_;
    QString name_;
    ScpiStatus status_;
    ScpiCommandTable::Path path_;
    QVarLengthArray<std::pair<QByteArray, int>, 2> variables_;
    bool messageAvailable_ = false;
};

#endif
