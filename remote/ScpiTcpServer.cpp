#include "ScpiTcpServer.h"

#include "RemoteLock.h"
#include "ScpiEngine.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {
const char kListening[] = "listening on %1";
const char kCannotListen[] = "cannot listen on %1: %2";
const char kNowhere[] = "not listening: no address could be used";
const char kConnected[] = "client %1 connected (%2 of %3)";
const char kNotAllowed[] = "client %1 refused: not in the allowed ranges";
const char kTooMany[] = "client %1 refused: %2 clients already connected";
const char kFinished[] = "client %1 %2";
const char kExposed[] =
    "warning: listening beyond loopback on %1 with no allowed ranges: any peer that reaches it "
    "may connect";

QString endpoint(const QHostAddress& address, quint16 port) {
    const QString host = address.protocol() == QAbstractSocket::IPv6Protocol
                             ? '[' + address.toString() + ']'
                             : address.toString();
    return host + ':' + QString::number(port);
}

// An IPv4 peer reaching a dual-stack socket shows as ::ffff:a.b.c.d.
QHostAddress plain(const QHostAddress& address) {
    bool v4 = false;
    const quint32 ip4 = address.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip4) : address;
}
} // namespace

ScpiTcpServer::ScpiTcpServer(ScpiEngine& engine, const ScpiServerOptions& options, QObject* parent)
    : QObject(parent), engine_(engine), options_(options) {
    hook_ = [this](ScpiSession& session, QByteArrayView message) {
        return engine_.execute(session, message);
    };
}

ScpiTcpServer::~ScpiTcpServer() {
    stop();
}

void ScpiTcpServer::setMessageHook(MessageHook hook) {
    hook_ = std::move(hook);
}

bool ScpiTcpServer::start() {
    const bool defaults = options_.listen.isEmpty();
    const QList<QHostAddress> wanted =
        defaults ? QList<QHostAddress>{QHostAddress(QHostAddress::LocalHost),
                                       QHostAddress(QHostAddress::LocalHostIPv6)}
                 : options_.listen;
    port_ = options_.port;
    QStringList failures;
    for (const QHostAddress& address : wanted) {
        QString error;
        if (!listenOn(address, &error) && !(defaults && address == QHostAddress::LocalHostIPv6))
            failures << QString::fromLatin1(kCannotListen).arg(endpoint(address, port_), error);
    }
    if (servers_.isEmpty()) {
        for (const QString& line : failures)
            emit logLine(line);
        emit logLine(QString::fromLatin1(kNowhere));
        return false;
    }
    emit logLine(QString::fromLatin1(kListening).arg(where()));
    for (const QString& line : failures)
        emit logLine(line);
    for (const QTcpServer* server : std::as_const(servers_)) {
        if (options_.allow.isEmpty() && !server->serverAddress().isLoopback())
            emit logLine(QString::fromLatin1(kExposed).arg(server->serverAddress().toString()));
    }
    return true;
}

bool ScpiTcpServer::listenOn(const QHostAddress& address, QString* error) {
    auto* server = new QTcpServer(this);
    // Every listener shares the first one's port, also when that was chosen freely.
    if (!server->listen(address, port_)) {
        *error = server->errorString();
        delete server;
        return false;
    }
    port_ = server->serverPort();
    connect(server, &QTcpServer::newConnection, this, [this, server] { acceptPending(server); });
    servers_ << server;
    return true;
}

void ScpiTcpServer::stop() {
    for (QTcpServer* server : std::as_const(servers_))
        server->close();
    qDeleteAll(servers_);
    servers_.clear();
    const QList<ScpiTcpClient*> clients = clients_;
    for (ScpiTcpClient* client : clients)
        client->drop(QString());
}

QList<QHostAddress> ScpiTcpServer::addresses() const {
    QList<QHostAddress> list;
    for (const QTcpServer* server : servers_)
        list << server->serverAddress();
    return list;
}

QString ScpiTcpServer::where() const {
    QStringList parts;
    for (const QTcpServer* server : servers_)
        parts << endpoint(server->serverAddress(), server->serverPort());
    return parts.join(QStringLiteral(", "));
}

QStringList ScpiTcpServer::clientNames() const {
    QStringList names;
    for (const ScpiTcpClient* client : clients_)
        names << client->name();
    return names;
}

bool ScpiTcpServer::allowed(const QHostAddress& peer) const {
    if (options_.allow.isEmpty())
        return true;
    for (const QPair<QHostAddress, int>& range : options_.allow) {
        if (peer.isInSubnet(range))
            return true;
    }
    return false;
}

void ScpiTcpServer::acceptPending(QTcpServer* server) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        const QHostAddress peer = plain(socket->peerAddress());
        const QString name = endpoint(peer, socket->peerPort());
        QString refusal;
        if (!allowed(peer))
            refusal = QString::fromLatin1(kNotAllowed).arg(name);
        else if (clients_.size() >= options_.maxClients)
            refusal = QString::fromLatin1(kTooMany).arg(name).arg(options_.maxClients);
        if (!refusal.isEmpty()) {
            socket->abort();
            socket->deleteLater();
            emit logLine(refusal);
            continue;
        }
        auto* client = new ScpiTcpClient(socket, engine_.createSession(name), hook_,
                                         options_.maxLineBytes, options_.maxPendingOutput, this);
        connect(client, &ScpiTcpClient::finished, this, &ScpiTcpServer::clientFinished);
        clients_ << client;
        emit logLine(QString::fromLatin1(kConnected)
                         .arg(client->name())
                         .arg(clients_.size())
                         .arg(options_.maxClients));
        emit clientCountChanged(int(clients_.size()));
    }
}

void ScpiTcpServer::clientFinished(ScpiTcpClient* client, const QString& reason) {
    clients_.removeOne(client);
    engine_.lock().forget(client->session().ownerId());
    if (!reason.isEmpty())
        emit logLine(QString::fromLatin1(kFinished).arg(client->name(), reason));
    emit clientCountChanged(int(clients_.size()));
    client->deleteLater();
}
