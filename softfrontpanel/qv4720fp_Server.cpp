#include "qv4720fp_Server.h"

#include "DnsSdAdvertiser.h"
#include "ScpiTcpServer.h"
#include "qv4720fp_CardSession.h"
#include "qv4720fp_ScpiCommands.h"

namespace {
const char* const kServiceType = "_scpi-raw._tcp";
const char* const kServiceName = "Zelvan %1 (%2)";
const char* const kMaker = "Quorvel";
} // namespace

qv4720fp_Server::qv4720fp_Server(qv4720fp_CardSession* session, const ScpiServerOptions& options,
                                 QObject* parent)
    : QObject(parent), m_session(session), m_engine(m_lock),
      m_tcp(std::make_unique<ScpiTcpServer>(m_engine, options)),
      m_advertiser(std::make_unique<DnsSdAdvertiser>()) {
    qv4720fp_ScpiCommands::addTo(m_engine, session);
    connect(m_tcp.get(), &ScpiTcpServer::logLine, this, &qv4720fp_Server::logLine);
    connect(m_tcp.get(), &ScpiTcpServer::clientCountChanged, this,
            &qv4720fp_Server::clientCountChanged);
    connect(&m_lock, &RemoteLock::logLine, this, &qv4720fp_Server::logLine);
    connect(&m_lock, &RemoteLock::ownerChanged, this,
            [this](quint64, const QString& owner) { emit lockOwnerChanged(owner); });
    connect(m_advertiser.get(), &DnsSdAdvertiser::logLine, this, &qv4720fp_Server::logLine);
}

qv4720fp_Server::~qv4720fp_Server() {
    m_advertiser->stop();
    m_tcp->stop();
}

bool qv4720fp_Server::start() {
    if (!m_tcp->start())
        return false;
    advertise();
    return true;
}

QString qv4720fp_Server::where() const {
    return m_tcp->where();
}

int qv4720fp_Server::clientCount() const {
    return m_tcp->clientCount();
}

bool qv4720fp_Server::beyondLoopback(const ScpiServerOptions& options) {
    for (const QHostAddress& address : options.listen) {
        if (!address.isLoopback())
            return true;
    }
    return false;
}

void qv4720fp_Server::advertise() {
    const qv4720fp_CardSession::Identity identity = m_session->identity();
    DnsSdAdvertiser::Service service;
    service.type = kServiceType;
    service.name = QString::fromLatin1(kServiceName).arg(identity.model, identity.serialNumber);
    service.port = m_tcp->port();
    service.txt = {{"manufacturer", kMaker},
                   {"model", identity.model.toUtf8()},
                   {"serialNumber", identity.serialNumber.toUtf8()},
                   {"firmwareVersion", identity.firmwareRevision.toUtf8()}};
    m_advertiser->addService(service);
    m_advertiser->start();
}
