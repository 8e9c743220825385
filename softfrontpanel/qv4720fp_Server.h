#ifndef QV4720FP_SERVER_H
#define QV4720FP_SERVER_H

#include "RemoteLock.h"
#include "ScpiEngine.h"
#include "qv4720fp_ServeOptions.h"

#include <QObject>

#include <memory>

class DnsSdAdvertiser;
class ScpiTcpServer;
class ScpiVxi11Lock;
namespace sfp::vxi11 {
class Vxi11Server;
}
class qv4720fp_CardEngine;
class qv4720fp_CardSession;

// The open card served as a SCPI instrument: one engine and one lock over the
// card session, two transports (the raw socket, and VXI-11 for
// "TCPIP0::host::inst0::INSTR") and their DNS-SD advertisements. It
// runs on the session's thread; the panel, when shown, follows it through
// the session's change notifications and the signals below.
class qv4720fp_Server : public QObject {
    Q_OBJECT
public:
    // The session and its engine outlive the server. fcNumber, when not 0, makes the
    // VXI-11 device name "inst<fcNumber>" an alias of "inst0".
    qv4720fp_Server(qv4720fp_CardSession* session, qv4720fp_CardEngine* cardEngine,
                    const qv4720fp_ServeOptions& options, int fcNumber, QObject* parent = nullptr);
    ~qv4720fp_Server() override;

    // Listens (the first log line says where); false when the raw socket
    // cannot. VXI-11 that cannot start is logged, and the raw socket serves.
    bool start();
    QString where() const;
    int clientCount() const;
    RemoteLock& lock() { return m_lock; }

signals:
    void logLine(const QString& line);
    void clientCountChanged(int count);
    // The lock's owner as SYSTem:LOCK:OWNer? names it; empty when free.
    void lockOwnerChanged(const QString& owner);

private:
    void startVxi11();
    void advertise();

    qv4720fp_CardSession* m_session;
    RemoteLock m_lock;
    ScpiEngine m_engine;
    qv4720fp_ServeOptions m_options;
    int m_fcNumber;
    std::unique_ptr<ScpiTcpServer> m_tcp;
    std::shared_ptr<ScpiVxi11Lock> m_vxi11Lock;
    std::unique_ptr<sfp::vxi11::Vxi11Server> m_vxi11;
    std::unique_ptr<DnsSdAdvertiser> m_advertiser;
};

#endif
