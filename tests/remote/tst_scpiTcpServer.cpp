// The raw-socket transport over loopback: hostile input, limits on clients,
// a client that never reads, and the lock between two clients.
#include "RemoteLock.h"
#include "ScpiEngine.h"
#include "ScpiTcpServer.h"
#include "StandInInstrument.h"

#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QTest>

#include <functional>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
using Socket = std::unique_ptr<QTcpSocket>;

bool waitFor(const std::function<bool()>& done, int ms = 5000) {
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(2);
    }
    return true;
}

struct Served {
    RemoteLock lock;
    ScpiEngine engine{lock};
    StandInInstrument instrument{engine};
    ScpiServerOptions options;
    std::unique_ptr<ScpiTcpServer> server;
    QStringList events;

    bool start() {
        options.port = 0;
        server = std::make_unique<ScpiTcpServer>(engine, options);
        QObject::connect(server.get(), &ScpiTcpServer::logLine,
                         [this](const QString& l) { events << l; });
        QObject::connect(&lock, &RemoteLock::logLine, [this](const QString& l) { events << l; });
        return server->start();
    }
    Socket connect() const {
        auto s = std::make_unique<QTcpSocket>();
        s->connectToHost(QHostAddress(QHostAddress::LocalHost), server->port());
        waitFor([&] {
            return s->state() == QAbstractSocket::ConnectedState ||
                   s->state() == QAbstractSocket::UnconnectedState;
        });
        return s;
    }
    bool logged(const QString& part) const {
        return waitFor([&] { return events.filter(part).size() > 0; });
    }
};

QByteArray ask(QTcpSocket& s, const QByteArray& message) {
    s.write(message + '\n');
    waitFor([&] { return s.canReadLine() || s.state() != QAbstractSocket::ConnectedState; });
    return s.readLine();
}

bool closedByPeer(QTcpSocket& s) {
    return waitFor([&] { return s.state() == QAbstractSocket::UnconnectedState; });
}
} // namespace

class TestScpiTcpServer : public QObject {
    Q_OBJECT
private slots:
    void survivesHostileInputAndRefusesLongLines();
    void refusesBeyondTheLimitAndOutsideTheAllowList();
    void dropsAClientThatNeverReads();
    void lockAcrossTwoClientsAndLocalTakeover();
    void portInUseIsReported();
};

void TestScpiTcpServer::survivesHostileInputAndRefusesLongLines() {
    Served s;
    QVERIFY(s.start());
    QVERIFY(s.events.first().startsWith(
        QStringLiteral("listening on 127.0.0.1:%1").arg(s.server->port())));
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += char((i * 7919) & 0xFF);
    Socket junkClient = s.connect();
    junkClient->write(junk + "VOLT 1"); // ends in half a line
    junkClient->flush();
    junkClient->abort();
    Socket client = s.connect();
    client->write(QByteArray(100 * 1024, 'A') + "\n");
    QCOMPARE(ask(*client, "SYST:ERR?"),
             QByteArray("-363,\"Input buffer overrun;line longer than 65536 bytes\"\n"));
    QCOMPARE(ask(*client, "*IDN?"), QByteArray("MAKER,MODEL,0001,1.0\n"));
    client->write("*OPC?\r\n*ID"); // CRLF, two lines in one segment, a line in two
    client->flush();
    QTest::qWait(20);
    QCOMPARE(ask(*client, "N?"), QByteArray("1\n"));
    QVERIFY(waitFor([&] { return client->canReadLine(); }));
    QCOMPARE(client->readLine(), QByteArray("MAKER,MODEL,0001,1.0\n"));
    QVERIFY(waitFor([&] { return s.server->clientCount() == 1; }));
}

void TestScpiTcpServer::refusesBeyondTheLimitAndOutsideTheAllowList() {
    Served s;
    QVERIFY(s.start());
    std::vector<Socket> clients;
    for (int i = 0; i < 16; ++i)
        clients.push_back(s.connect());
    QVERIFY(waitFor([&] { return s.server->clientCount() == 16; }));
    Socket extra = s.connect();
    QVERIFY(closedByPeer(*extra));
    QVERIFY(s.logged(QStringLiteral("refused: 16 clients already connected")));
    QCOMPARE(ask(*clients.back(), "*OPC?"), QByteArray("1\n"));

    Served fenced;
    fenced.options.allow = {QHostAddress::parseSubnet(QStringLiteral("10.0.0.0/8"))};
    QVERIFY(fenced.start());
    Socket outsider = fenced.connect();
    QVERIFY(closedByPeer(*outsider));
    QVERIFY(fenced.logged(QStringLiteral("refused: not in the allowed ranges")));
}

void TestScpiTcpServer::dropsAClientThatNeverReads() {
    Served s;
    s.options.maxPendingOutput = 64 * 1024;
    QVERIFY(s.start());
    // A plain socket with a small receive window that is never read.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int small = 4096;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(s.server->port());
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    QCOMPARE(::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to), 0);
    Socket reader = s.connect();
    const QDeadlineTimer deadline(20000);
    bool dropped = false;
    for (int i = 0; i < 4000 && !dropped && !deadline.hasExpired(); ++i) {
        ::send(fd, "BIG?\n", 5, MSG_DONTWAIT | MSG_NOSIGNAL);
        QTest::qWait(0);
        dropped = s.events.filter(QStringLiteral("does not read")).size() > 0;
        if (i % 200 == 0) // the others are still served meanwhile
            QCOMPARE(ask(*reader, "*OPC?"), QByteArray("1\n"));
    }
    ::close(fd);
    QVERIFY(dropped);
    QCOMPARE(ask(*reader, "*OPC?"), QByteArray("1\n"));
}

void TestScpiTcpServer::lockAcrossTwoClientsAndLocalTakeover() {
    Served s;
    QVERIFY(s.start());
    Socket a = s.connect();
    Socket b = s.connect();
    QCOMPARE(ask(*a, "SYST:LOCK:REQ?"), QByteArray("1\n"));
    QCOMPARE(ask(*b, "SYST:LOCK:REQ?"), QByteArray("0\n"));
    QVERIFY(
        ask(*b, "VOLT 1;:SYST:ERR?").startsWith("-203,\"Command protected;locked by 127.0.0.1:"));
    QCOMPARE(ask(*a, "VOLT 2;VOLT?"), QByteArray("2.000000E+00\n"));
    s.lock.takeLocal();
    QCOMPARE(ask(*a, "VOLT 3;:SYST:ERR?"),
             QByteArray("-203,\"Command protected;lock lost to the local operator\"\n"));
    QCOMPARE(ask(*a, "SYST:LOCK:REQ?"), QByteArray("1\n"));
    a->abort(); // leaving releases it
    QVERIFY(waitFor([&] { return !s.lock.isLocked(); }));
    QVERIFY(s.logged(QStringLiteral("went away")));
    QCOMPARE(ask(*b, "VOLT 1;:SYST:ERR?"), QByteArray("0,\"No error\"\n"));
    QCOMPARE(s.instrument.volts[0], 1.0);
}

void TestScpiTcpServer::portInUseIsReported() {
    Served first;
    QVERIFY(first.start());
    Served second;
    ScpiServerOptions options;
    options.port = first.server->port();
    options.listen = {QHostAddress(QHostAddress::LocalHost)};
    ScpiTcpServer clash(second.engine, options);
    QObject::connect(&clash, &ScpiTcpServer::logLine,
                     [&](const QString& l) { second.events << l; });
    QVERIFY(!clash.start());
    QCOMPARE(second.events.size(), 2);
    QVERIFY(second.events.first().startsWith(
        QStringLiteral("cannot listen on 127.0.0.1:%1").arg(options.port)));
}

QTEST_GUILESS_MAIN(TestScpiTcpServer)
#include "tst_scpiTcpServer.moc"
