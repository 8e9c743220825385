#include "qv4720fp_Server.h"

#include "DnsSdAdvertiser.h"
#include "ScpiTcpServer.h"
#include "ScpiVxi11Device.h"
#include "ScpiVxi11Lock.h"
#include "Vxi11Server.h"
#include "qv4720fp_CardSession.h"
#include "qv4720fp_ScpiCommands.h"
#include "qv4720fp_ScpiEngineCommands.h"

namespace {
const char* const kServiceType = "_scpi-raw._tcp";
const char* const kVxi11ServiceType = "_vxi-11._tcp";
const char* const kVxi11Failed = "VXI-11 not served: %1";
const quint16 kPortMapperPort = 111;
const char* const kServiceName = "Zelvan %1 (%2)";
const char* const kMaker = "Quorvel";
} // namespace

qv4720fp_Server::qv4720fp_Server(qv4720fp_CardSession* session, qv4720fp_CardEngine* cardEngine,
                                 const qv4720fp_ServeOptions& options, int fcNumber,
                                 QObject* parent)
    : QObject(parent), m_session(session), m_engine(m_lock), m_options(options),
      m_fcNumber(fcNumber), m_tcp(std::make_unique<ScpiTcpServer>(m_engine, options.server)),
      m_vxi11Lock(std::make_shared<ScpiVxi11Lock>(m_lock)),
      m_advertiser(std::make_unique<DnsSdAdvertiser>()) {
    qv4720fp_ScpiCommands::addTo(m_engine, session, cardEngine);
    new qv4720fp_ScpiEngineCommands(m_engine, session, cardEngine, this);
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
    if (m_vxi11)
        m_vxi11->stop();
    m_tcp->stop();
}

bool qv4720fp_Server::start() {
    if (!m_tcp->start())
        return false;
    startVxi11();
    advertise();
    return true;
}

namespace {
std::vector<std::string> addressTexts(const QList<QHostAddress>& addresses) {
    std::vector<std::string> texts;
    for (const QHostAddress& address : addresses)
        texts.push_back(address.toString().toStdString());
    return texts;
}
} // namespace

// The same addresses, peers, limits and lock as the raw socket; the links
// run their messages on this thread, in the order they come.
void qv4720fp_Server::startVxi11() {
    sfp::vxi11::Vxi11ServerConfig config;
    config.corePort = m_options.vxi11Port;
    if (!m_options.server.listen.isEmpty())
        config.listenAddresses = addressTexts(m_options.server.listen);
    for (const auto& [address, prefix] : m_options.server.allow)
        config.allow.push_back(
            QStringLiteral("%1/%2").arg(address.toString()).arg(prefix).toStdString());
    config.aliasNumber = m_fcNumber > 0 ? m_fcNumber : -1;
    config.maxRecvSize = static_cast<uint32_t>(m_options.server.maxLineBytes);
    config.maxLinks = static_cast<size_t>(m_options.server.maxClients);
    config.lock = m_vxi11Lock;
    const size_t maxMessage = static_cast<size_t>(m_options.server.maxLineBytes);
    config.linkFactory = [this, maxMessage](const sfp::vxi11::Vxi11LinkInfo& info) {
        return std::make_unique<ScpiVxi11Device>(m_engine, m_vxi11Lock, info.owner, maxMessage);
    };
    config.executor = [this](sfp::vxi11::Vxi11Job job) {
        QMetaObject::invokeMethod(this, std::move(job), Qt::QueuedConnection);
    };
    config.events = [this](const std::string& line) {
        QMetaObject::invokeMethod(
            this, [this, text = QString::fromStdString(line)] { emit logLine(text); },
            Qt::QueuedConnection);
    };
    m_vxi11 = std::make_unique<sfp::vxi11::Vxi11Server>(std::move(config));
    std::string error;
    if (!m_vxi11->start(error)) {
        emit logLine(QString::fromLatin1(kVxi11Failed).arg(QString::fromStdString(error)));
        m_vxi11.reset();
        return;
    }
    // A lock given back elsewhere lets a waiting link have it at once.
    connect(&m_lock, &RemoteLock::ownerChanged, this, [this] {
        if (m_vxi11)
            m_vxi11->notifyLockChanged();
    });
}

QString qv4720fp_Server::where() const {
    return m_tcp->where();
}

int qv4720fp_Server::clientCount() const {
    return m_tcp->clientCount();
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
    if (m_vxi11) {
        service.type = kVxi11ServiceType;
        service.port = m_vxi11->registeredWithPortMapper() ? kPortMapperPort : m_vxi11->corePort();
        m_advertiser->addService(service);
    }
    m_advertiser->start();
}
