#include "ScpiTcpClient.h"

#include "ScpiError.h"
#include "ScpiSession.h"

#include <QTcpSocket>

#include <cstring>

namespace {
const char kDisconnected[] = "disconnected";
const char kNotReading[] = "dropped: it does not read its answers";
const char kLineTooLong[] = "line longer than %1 bytes";
// Read in slices; after this much input in one turn, let the others run.
constexpr qsizetype kSlice = 16 * 1024;
constexpr qsizetype kTurnBudget = 256 * 1024;
// What Qt may buffer from the socket before TCP holds the peer back.
constexpr qint64 kReadBuffer = 256 * 1024;

QString peerName(const QTcpSocket* socket) {
    const QHostAddress a = socket->peerAddress();
    bool v4 = false;
    const quint32 ip4 = a.toIPv4Address(&v4);
    const QString host = v4 ? QHostAddress(ip4).toString() : '[' + a.toString() + ']';
    return host + ':' + QString::number(socket->peerPort());
}
} // namespace

ScpiTcpClient::ScpiTcpClient(QTcpSocket* socket, std::shared_ptr<ScpiSession> session,
                             MessageHook hook, qsizetype maxLine, qsizetype maxPendingOutput,
                             QObject* parent)
    : QObject(parent), socket_(socket), session_(std::move(session)), hook_(std::move(hook)),
      maxLine_(maxLine), maxPendingOutput_(maxPendingOutput), name_(peerName(socket)) {
    socket_->setParent(this);
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    socket_->setReadBufferSize(kReadBuffer);
    connect(socket_, &QTcpSocket::readyRead, this, &ScpiTcpClient::readInput);
    connect(socket_, &QTcpSocket::disconnected, this,
            [this] { finish(QString::fromLatin1(kDisconnected)); });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this] {
        if (socket_->state() != QAbstractSocket::ConnectedState)
            finish(QString::fromLatin1(kDisconnected));
    });
}

ScpiTcpClient::~ScpiTcpClient() = default;

void ScpiTcpClient::readInput() {
    readQueued_ = false;
    char buffer[kSlice];
    qsizetype budget = kTurnBudget;
    while (!finished_ && budget > 0 && socket_->bytesAvailable() > 0) {
        const qint64 n = socket_->read(buffer, sizeof buffer);
        if (n <= 0)
            break;
        budget -= n;
        consume(buffer, n);
    }
    if (!finished_ && !readQueued_ && socket_->bytesAvailable() > 0) {
        readQueued_ = true;
        QMetaObject::invokeMethod(this, &ScpiTcpClient::readInput, Qt::QueuedConnection);
    }
}

void ScpiTcpClient::consume(const char* data, qsizetype size) {
    while (size > 0 && !finished_) {
        const char* newline = static_cast<const char*>(std::memchr(data, '\n', size_t(size)));
        const qsizetype length = newline ? newline - data : size;
        if (discarding_) {
            discarding_ = newline == nullptr;
        } else if (partial_.size() + length > maxLine_) {
            overrun();
            discarding_ = newline == nullptr;
        } else if (newline) {
            takeLine(data, length);
        } else {
            partial_.append(data, length);
        }
        const qsizetype used = newline ? length + 1 : size;
        data += used;
        size -= used;
    }
}

// A whole line: straight from the read buffer when nothing came before it.
void ScpiTcpClient::takeLine(const char* data, qsizetype size) {
    if (partial_.isEmpty()) {
        runLine(QByteArrayView(data, size));
        return;
    }
    partial_.append(data, size);
    const QByteArray line = std::exchange(partial_, QByteArray());
    runLine(line);
}

void ScpiTcpClient::runLine(QByteArrayView line) {
    if (!line.isEmpty() && line.back() == '\r')
        line.chop(1);
    const QByteArray response = hook_(*session_, line);
    if (response.isEmpty() || finished_)
        return;
    socket_->write(response);
    if (socket_->bytesToWrite() > maxPendingOutput_)
        drop(QString::fromLatin1(kNotReading));
}

// The line so far is thrown away, its memory with it.
void ScpiTcpClient::overrun() {
    partial_ = QByteArray();
    session_->postError(
        ScpiError::standard(ScpiError::InputBufferOverrun,
                            QByteArray(kLineTooLong).replace("%1", QByteArray::number(maxLine_))));
}

void ScpiTcpClient::drop(const QString& reason) {
    if (finished_)
        return;
    finish(reason);
    socket_->abort();
}

void ScpiTcpClient::finish(const QString& reason) {
    if (finished_)
        return;
    finished_ = true;
    emit finished(this, reason);
}
