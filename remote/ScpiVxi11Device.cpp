#include "ScpiVxi11Device.h"

#include "ScpiEngine.h"
#include "ScpiError.h"
#include "ScpiVxi11Lock.h"

using sfp::vxi11::Vxi11Response;
using sfp::vxi11::Vxi11Status;

ScpiVxi11Device::ScpiVxi11Device(ScpiEngine& engine, std::shared_ptr<ScpiVxi11Lock> lock,
                                 const std::string& owner, size_t maxMessageBytes)
    : engine_(engine), lock_(std::move(lock)), owner_(owner), maxMessageBytes_(maxMessageBytes),
      session_(engine.createSession(QString::fromStdString(owner))) {
    lock_->enrol(owner_, session_->ownerId());
}

ScpiVxi11Device::~ScpiVxi11Device() {
    lock_->forget(owner_);
}

// A message may arrive in several writes; it runs once the client marks
// its end. More than one message's worth without an end is refused.
Vxi11Status ScpiVxi11Device::write(std::string_view bytes, bool end) {
    if (input_.size() + bytes.size() > maxMessageBytes_) {
        input_.clear();
        session_->postError(ScpiError::standard(ScpiError::InputBufferOverrun));
        return Vxi11Status::Ok;
    }
    input_.append(bytes);
    if (end)
        runMessage();
    return Vxi11Status::Ok;
}

// Each line of the message is a program message of its own, as on the raw
// socket.
void ScpiVxi11Device::runMessage() {
    std::string message;
    message.swap(input_);
    size_t start = 0;
    while (start <= message.size()) {
        size_t stop = message.find('\n', start);
        if (stop == std::string::npos)
            stop = message.size();
        std::string_view line(message.data() + start, stop - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty()) {
            const QByteArray answer =
                engine_.execute(*session_, QByteArrayView(line.data(), qsizetype(line.size())));
            output_.append(answer.constData(), size_t(answer.size()));
        }
        start = stop + 1;
    }
    session_->setMessageAvailable(!output_.empty());
}

Vxi11Response ScpiVxi11Device::takeResponse() {
    Vxi11Response response;
    if (output_.empty())
        return response;
    response.bytes.swap(output_);
    response.end = true;
    session_->setMessageAvailable(false);
    return response;
}

uint8_t ScpiVxi11Device::statusByte() {
    return session_->status().stb(false);
}

Vxi11Status ScpiVxi11Device::trigger() {
    return Vxi11Status::NotSupported; // the card has no trigger
}

Vxi11Status ScpiVxi11Device::clear() {
    input_.clear();
    output_.clear();
    session_->setMessageAvailable(false);
    return Vxi11Status::Ok;
}

Vxi11Status ScpiVxi11Device::remote() {
    return Vxi11Status::Ok;
}

Vxi11Status ScpiVxi11Device::local() {
    return Vxi11Status::Ok;
}
