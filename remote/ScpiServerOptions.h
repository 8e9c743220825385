// Where and how the raw-socket SCPI server listens, and what it lets a peer
// make it hold.
#ifndef SFP_SCPISERVEROPTIONS_H
#define SFP_SCPISERVEROPTIONS_H

#include <QHostAddress>
#include <QList>
#include <QPair>

struct ScpiServerOptions {
    static constexpr quint16 kDefaultPort = 5025;

    quint16 port = kDefaultPort; // 0: any free port
    QList<QHostAddress> listen;  // empty: 127.0.0.1 and ::1 (where there is IPv6)
    // Peers allowed to stay connected, as QHostAddress::parseSubnet gives
    // them ("192.168.2.0/24"); empty: any peer.
    QList<QPair<QHostAddress, int>> allow;
    int maxClients = 16;
    qsizetype maxLineBytes = 64 * 1024;
    // Answers a client has not read yet; beyond this it is dropped.
    qsizetype maxPendingOutput = 1024 * 1024;
};

#endif
