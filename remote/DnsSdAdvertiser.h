// Advertises services over DNS-SD through the system's Avahi daemon, for
// any transport: "_scpi-raw._tcp" now, "_vxi-11._tcp" beside it later. When
// no daemon is reachable (or the program was built without the client
// library) it says so once through logLine() and does nothing else.
#ifndef SFP_DNSSDADVERTISER_H
#define SFP_DNSSDADVERTISER_H

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

#include <memory>

class DnsSdAdvertiser : public QObject {
    Q_OBJECT
public:
    struct Service {
        QByteArray type; // "_scpi-raw._tcp"
        QString name;    // the instance name users see; renamed on a clash
        quint16 port = 0;
        QList<QPair<QByteArray, QByteArray>> txt;
    };

    explicit DnsSdAdvertiser(QObject* parent = nullptr);
    ~DnsSdAdvertiser() override;

    // Advertised at start(), or at once when already running.
    void addService(const Service& service);
    void start();
    void stop();
    static bool builtIn();

signals:
    void logLine(const QString& line);

private:
    struct Private;
    std::unique_ptr<Private> d_;
};

#endif
