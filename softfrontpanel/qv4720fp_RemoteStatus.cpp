#include "qv4720fp_RemoteStatus.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {
const char* const kServing = "Serving SCPI on %1, %2";
const char* const kOneClient = "1 client";
const char* const kClients = "%1 clients";
const char* const kRemote = "Remote";
const char* const kRemoteOwner = "Remote: %1";
const char* const kLocal = "Local";
const char* const kStatusHelp =
    "Where the card is served on the network and how many clients are connected.";
const char* const kLocalHelp =
    "Take the card back from the network client that holds the lock. That client's next "
    "write fails with an error saying the lock was lost.";
} // namespace

qv4720fp_RemoteStatus::qv4720fp_RemoteStatus() {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_status = new QLabel;
    m_status->setWhatsThis(QString::fromLatin1(kStatusHelp));
    m_status->setToolTip(QString::fromLatin1(kStatusHelp));
    row->addWidget(m_status, 1);
    m_remote = new QLabel;
    QFont bold = m_remote->font();
    bold.setBold(true);
    m_remote->setFont(bold);
    row->addWidget(m_remote);
    m_local = new QPushButton(QString::fromLatin1(kLocal));
    m_local->setWhatsThis(QString::fromLatin1(kLocalHelp));
    m_local->setToolTip(QString::fromLatin1(kLocalHelp));
    row->addWidget(m_local);
    connect(m_local, &QPushButton::clicked, this, &qv4720fp_RemoteStatus::localRequested);
    refresh();
}

void qv4720fp_RemoteStatus::setListening(const QString& where) {
    m_where = where;
    refresh();
}

void qv4720fp_RemoteStatus::setClientCount(int count) {
    m_clients = count;
    refresh();
}

void qv4720fp_RemoteStatus::setLockOwner(const QString& owner) {
    m_owner = owner;
    refresh();
}

void qv4720fp_RemoteStatus::refresh() {
    const QString clients = m_clients == 1 ? QString::fromLatin1(kOneClient)
                                           : QString::fromLatin1(kClients).arg(m_clients);
    m_status->setText(QString::fromLatin1(kServing).arg(m_where, clients));
    const bool locked = !m_owner.isEmpty();
    m_remote->setText(locked ? QString::fromLatin1(kRemoteOwner).arg(m_owner)
                             : QString::fromLatin1(kRemote));
    m_remote->setVisible(locked);
    m_local->setVisible(locked);
}
