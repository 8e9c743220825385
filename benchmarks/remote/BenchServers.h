// The two servers under measurement, on a thread of their own with its
// event loop: the SCPI server and a plain TCP echo server, both on loopback
// with a free port.
#ifndef SFP_BENCH_BENCHSERVERS_H
#define SFP_BENCH_BENCHSERVERS_H

#include <QObject>
#include <QThread>

#include <atomic>

class QTcpServer;
class RemoteLock;
class ScpiEngine;
class ScpiTcpServer;
class BenchInstrument;

class BenchServers : public QObject {
    Q_OBJECT
public:
    BenchServers();
    ~BenchServers() override;

    quint16 scpiPort() const { return scpiPort_; }
    quint16 echoPort() const { return echoPort_; }
    int scpiClients() const;
    int echoClients() const;

private:
    void startOnThread();
    void stopOnThread();

    QThread thread_;
    RemoteLock* lock_ = nullptr;
    ScpiEngine* engine_ = nullptr;
    BenchInstrument* instrument_ = nullptr;
    ScpiTcpServer* scpi_ = nullptr;
    QTcpServer* echo_ = nullptr;
    quint16 scpiPort_ = 0;
    quint16 echoPort_ = 0;
    std::atomic<int> echoClients_{0};
};

#endif
