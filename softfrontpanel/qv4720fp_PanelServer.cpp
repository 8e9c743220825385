#include "qv4720fp_PanelServer.h"

#include "qv4720fp_App.h"
#include "qv4720fp_Print.h"
#include "qv4720fp_RemoteStatus.h"
#include "qv4720fp_Server.h"
#include "qv4720fp_StopSignals.h"

#include <QCoreApplication>

namespace {
const char* const kNotListening = "nowhere (no address could be used)";
} // namespace

qv4720fp_PanelServer::qv4720fp_PanelServer(qv4720fp_App* window,
                                           const qv4720fp_ServeOptions& options)
    : QObject(window), m_window(window) {
    m_server = new qv4720fp_Server(window->session(), window->cardEngine(), options,
                                   window->fcNumber(), this);
    m_status = new qv4720fp_RemoteStatus;
    window->showRemoteStatus(m_status);

    connect(m_server, &qv4720fp_Server::logLine, this,
            [](const QString& line) { qv4720fp_printMessage(line); });
    connect(m_server, &qv4720fp_Server::clientCountChanged, m_status,
            &qv4720fp_RemoteStatus::setClientCount);
    connect(m_server, &qv4720fp_Server::lockOwnerChanged, this, &qv4720fp_PanelServer::showOwner);
    // The person at the bench always wins.
    connect(m_status, &qv4720fp_RemoteStatus::localRequested, this,
            [this] { m_server->lock().takeLocal(); });

    // SIGINT and SIGTERM end the run as Close does, so that the server
    // unregisters and the card is closed.
    auto* stop = new qv4720fp_StopSignals(this);
    connect(stop, &qv4720fp_StopSignals::stopRequested, qApp, &QCoreApplication::quit);

    const bool listening = m_server->start();
    m_status->setListening(listening ? m_server->where() : QString::fromLatin1(kNotListening));
}

qv4720fp_PanelServer::~qv4720fp_PanelServer() = default;

void qv4720fp_PanelServer::showOwner(const QString& owner) {
    m_status->setLockOwner(owner);
    m_window->setRemoteLocked(!owner.isEmpty());
}
