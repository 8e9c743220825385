// The raw-socket SCPI transport: listens on the given addresses (loopback by
// default), turns away peers outside the allowed ranges and clients beyond
// the limit, and runs each client's lines through the engine, on the thread
// this object lives on. Every event worth a log line comes out of logLine().
//
//   ScpiTcpServer server(engine, options);
//   connect(&server, &ScpiTcpServer::logLine, ...print on stderr...);
//   if (!server.start()) ...;        // first event: "listening on ..."
#ifndef SFP_SCPITCPSERVER_H
#define SFP_SCPITCPSERVER_H

#include "ScpiServerOptions.h"
#include "ScpiTcpClient.h"

#include <QList>
#include <QObject>
#include <QStringList>

class QTcpServer;
class ScpiEngine;

class ScpiTcpServer : public QObject {
    Q_OBJECT
public:
    using MessageHook = ScpiTcpClient::MessageHook;

    ScpiTcpServer(ScpiEngine& engine, const ScpiServerOptions& options, QObject* parent = nullptr);
    ~ScpiTcpServer() override;

    // Listens on every address it can; false when none could be used.
    bool start();
    // Closes the listeners and every client.
    void stop();
    // Where a message goes instead of straight to the engine, for a binding
    // that runs it elsewhere (the hook runs on this object's thread and
    // returns the response line). Set it before start(): each client keeps
    // the hook it was accepted with.
    void setMessageHook(MessageHook hook);

    quint16 port() const { return port_; }
    QList<QHostAddress> addresses() const;
    // "127.0.0.1:5025, [::1]:5025"
    QString where() const;
    int clientCount() const { return int(clients_.size()); }
    QStringList clientNames() const;

signals:
    void logLine(const QString& line);
    void clientCountChanged(int count);

private:
    bool listenOn(const QHostAddress& address, QString* error);
    void acceptPending(QTcpServer* server);
    bool allowed(const QHostAddress& peer) const;
    void clientFinished(ScpiTcpClient* client, const QString& reason);

    ScpiEngine& engine_;
    ScpiServerOptions options_;
    MessageHook hook_;
    quint16 port_ = 0;
    QList<QTcpServer*> servers_;
    QList<ScpiTcpClient*> clients_;
};

#endif
