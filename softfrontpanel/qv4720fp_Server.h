#ifndef QV4720FP_SERVER_H
#define QV4720FP_SERVER_H

#include "RemoteLock.h"
#include "ScpiEngine.h"
#include "ScpiServerOptions.h"

#include <QObject>

#include <memory>

class DnsSdAdvertiser;
class ScpiTcpServer;
class qv4720fp_CardSession;

// The open card served as a SCPI instrument: one engine and one lock over the
// card session, the raw-socket transport and its DNS-SD advertisement. It
// runs on the session's thread; the panel, when shown, follows it through
// the session's change notifications and the signals below.
class qv4720fp_Server : public QObject {
    Q_OBJECT
public:
    // The session outlives the server.
    qv4720fp_Server(qv4720fp_CardSession* session, const ScpiServerOptions& options,
                    QObject* parent = nullptr);
    ~qv4720fp_Server() override;

    // Listens (the first log line says where); false when it cannot.
    bool start();
    QString where() const;
    int clientCount() const;
    RemoteLock& lock() { return m_lock; }
    // True when it listens on an address other than loopback.
    static bool beyondLoopback(const ScpiServerOptions& options);

signals:
    void logLine(const QString& line);
    void clientCountChanged(int count);
    // The lock's owner as SYSTem:LOCK:OWNer? names it; empty when free.
    void lockOwnerChanged(const QString& owner);

private:
    void advertise();

    qv4720fp_CardSession* m_session;
    RemoteLock m_lock;
    ScpiEngine m_engine;
    std::unique_ptr<ScpiTcpServer> m_tcp;
    std::unique_ptr<DnsSdAdvertiser> m_advertiser;
};

#endif
