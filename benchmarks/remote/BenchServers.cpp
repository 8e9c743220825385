#include "BenchServers.h"

#include "BenchInstrument.h"
#include "RemoteLock.h"
#include "ScpiEngine.h"
#include "ScpiTcpServer.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <cstdio>

BenchServers::BenchServers() {
    moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(this, &BenchServers::startOnThread, Qt::BlockingQueuedConnection);
}

BenchServers::~BenchServers() {
    QMetaObject::invokeMethod(this, &BenchServers::stopOnThread, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void BenchServers::startOnThread() {
    lock_ = new RemoteLock;
    engine_ = new ScpiEngine(*lock_);
    instrument_ = new BenchInstrument(*engine_);
    ScpiServerOptions options;
    options.port = 0;
    options.listen = {QHostAddress(QHostAddress::LocalHost)};
    options.maxClients = 64;
    scpi_ = new ScpiTcpServer(*engine_, options);
    QObject::connect(scpi_, &ScpiTcpServer::logLine, [](const QString& line) {
        if (!line.startsWith(QLatin1String("client")))
            std::fprintf(stderr, "server: %s\n", qPrintable(line));
    });
    scpi_->start();
    scpiPort_ = scpi_->port();

    echo_ = new QTcpServer;
    QObject::connect(echo_, &QTcpServer::newConnection, [this] {
        while (QTcpSocket* s = echo_->nextPendingConnection()) {
            s->setParent(echo_);
            s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            ++echoClients_;
            QObject::connect(s, &QTcpSocket::readyRead, s, [s] { s->write(s->readAll()); });
            QObject::connect(s, &QTcpSocket::disconnected, s, [this, s] {
                --echoClients_;
                s->deleteLater();
            });
        }
    });
    echo_->listen(QHostAddress(QHostAddress::LocalHost), 0);
    echoPort_ = echo_->serverPort();
}

void BenchServers::stopOnThread() {
    delete scpi_;
    delete echo_;
    delete instrument_;
    delete engine_;
    delete lock_;
}

int BenchServers::scpiClients() const {
    int n = 0;
    QMetaObject::invokeMethod(
        const_cast<BenchServers*>(this), [this] { return scpi_->clientCount(); },
        Qt::BlockingQueuedConnection, &n);
    return n;
}

int BenchServers::echoClients() const {
    return echoClients_.load();
}
