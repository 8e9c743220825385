// The SCPI command engine, shared by every transport: the command table
// (with the common and required commands already registered), the lock, and
// the sessions of the clients. Runs program messages on the thread it is
// called from: the table is fixed once serving starts, so transports on
// different threads may call execute() at once, each session from one
// thread at a time, as long as the handlers they reach are safe for it.
//
//   RemoteLock lock;
//   ScpiEngine engine(lock);
//   engine.addCommand({"*IDN", {}, idnQuery, ...});
//   auto session = engine.createSession("127.0.0.1:40000");
//   QByteArray reply = engine.execute(*session, "*IDN?;SYST:ERR?");
#ifndef SFP_SCPIENGINE_H
#define SFP_SCPIENGINE_H

#include "ScpiCommandTable.h"
#include "ScpiSession.h"

#include <QByteArrayView>
#include <QMutex>

#include <functional>
#include <memory>
#include <vector>

class RemoteLock;

class ScpiEngine {
public:
    explicit ScpiEngine(RemoteLock& lock);
    ScpiEngine(const ScpiEngine&) = delete;
    ScpiEngine& operator=(const ScpiEngine&) = delete;

    bool addCommand(const ScpiCommandEntry& entry, QString* error = nullptr);

    std::shared_ptr<ScpiSession> createSession(const QString& name);
    // Runs one program message (no newline) and returns the response line,
    // answers joined with ';' and ended with '\n', or nothing without queries.
    QByteArray execute(ScpiSession& session, QByteArrayView message);

    // Called by *WAI, *OPC and *OPC? so that writes still queued elsewhere
    // (a card session's writer thread) are done before they answer.
    void setSyncHook(std::function<void()> hook) { sync_ = std::move(hook); }
    void sync() const;
    // Conditions of STATus:OPERation / :QUEStionable, the same for every client.
    void setCondition(ScpiStatus::Register r, quint16 condition);
    void setQueueCapacity(int capacity) { queueCapacity_ = capacity; }
    RemoteLock& lock() const { return lock_; }

private:
    ScpiError run(ScpiSession& session, const ScpiProgramUnit& unit, QByteArray& response);

    RemoteLock& lock_;
    ScpiCommandTable table_;
    std::function<void()> sync_;
    QMutex sessionsMutex_;
    std::vector<std::weak_ptr<ScpiSession>> sessions_;
    quint16 operationCondition_ = 0;
    quint16 questionableCondition_ = 0;
    int queueCapacity_ = ScpiErrorQueue::kDefaultCapacity;
};

#endif
