// One connection of the raw-socket server: cuts the input into lines
// (bounded: a longer line is refused with -363 and the rest of it skipped),
// runs each through the message hook and writes the answers back, dropping
// the connection when the answers pile up unread. Works through the input a
// slice at a time so that one busy client cannot starve the others.
#ifndef SFP_SCPITCPCLIENT_H
#define SFP_SCPITCPCLIENT_H

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QTcpSocket;
class ScpiSession;

class ScpiTcpClient : public QObject {
    Q_OBJECT
public:
    using MessageHook = std::function<QByteArray(ScpiSession&, QByteArrayView)>;

    ScpiTcpClient(QTcpSocket* socket, std::shared_ptr<ScpiSession> session, MessageHook hook,
                  qsizetype maxLine, qsizetype maxPendingOutput, QObject* parent = nullptr);
    ~ScpiTcpClient() override;

    const QString& name() const { return name_; }
    ScpiSession& session() const { return *session_; }
    // Closes the connection at once; finished() follows.
    void drop(const QString& reason);

signals:
    // Emitted once, when the connection is gone; `reason` for the log.
    void finished(ScpiTcpClient* client, const QString& reason);

private:
    void readInput();
    void consume(const char* data, qsizetype size);
    void takeLine(const char* data, qsizetype size);
    void runLine(QByteArrayView line);
    void overrun();
    void finish(const QString& reason);

    QTcpSocket* socket_;
    std::shared_ptr<ScpiSession> session_;
    MessageHook hook_;
    qsizetype maxLine_;
    qsizetype maxPendingOutput_;
    QString name_;
    QByteArray partial_;
    bool discarding_ = false;
    bool readQueued_ = false;
    bool finished_ = false;
};

#endif
