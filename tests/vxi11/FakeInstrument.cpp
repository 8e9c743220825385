#include "FakeInstrument.h"

#include <cstdlib>

using sfp::vxi11::Vxi11Device;
using sfp::vxi11::Vxi11Response;
using sfp::vxi11::Vxi11Status;

namespace {
const char* const kIdentity = "FAKE,VXI11-DEVICE,0,1.0";

class FakeLink : public Vxi11Device {
public:
    explicit FakeLink(std::shared_ptr<FakeInstrument> shared) : shared_(std::move(shared)) {}

    Vxi11Status write(std::string_view bytes, bool end) override {
        input_.append(bytes);
        if (!end)
            return Vxi11Status::Ok;
        while (!input_.empty() && (input_.back() == '\n' || input_.back() == '\r'))
            input_.pop_back();
        std::string response;
        if (shared_->execute(input_, response))
            output_.push_back(response + "\n");
        input_.clear();
        return Vxi11Status::Ok;
    }
    Vxi11Response takeResponse() override {
        if (output_.empty())
            return {};
        Vxi11Response response{std::move(output_.front()), true};
        output_.pop_front();
        return response;
    }
    uint8_t statusByte() override {
        return uint8_t((output_.empty() ? 0 : 0x10) | (shared_->hasErrors() ? 0x04 : 0));
    }
    Vxi11Status trigger() override { return Vxi11Status::Ok; }
    Vxi11Status clear() override {
        input_.clear();
        output_.clear();
        return Vxi11Status::Ok;
    }
    Vxi11Status remote() override { return Vxi11Status::Ok; }
    Vxi11Status local() override { return Vxi11Status::Ok; }

private:
    std::shared_ptr<FakeInstrument> shared_;
    std::string input_;
    std::deque<std::string> output_;
};
} // namespace

bool FakeInstrument::execute(const std::string& message, std::string& response) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (message == "*IDN?") {
        response = kIdentity;
    } else if (message == "VAL?") {
        response = value_;
    } else if (message.rfind("VAL ", 0) == 0) {
        char* end = nullptr;
        const long value = std::strtol(message.c_str() + 4, &end, 10);
        if (*end != '\0' || value < 0 || value > 100)
            errors_.push_back("-222,\"Data out of range\"");
        else
            value_ = std::to_string(value);
    } else if (message == "SYST:ERR?") {
        response = errors_.empty() ? "0,\"No error\"" : errors_.front();
        if (!errors_.empty())
            errors_.pop_front();
    } else if (message == "*CLS") {
        errors_.clear();
    } else if (message != "NOREPLY?") {
        errors_.push_back("-113,\"Undefined header\"");
    }
    return !response.empty();
}

bool FakeInstrument::hasErrors() {
    std::lock_guard<std::mutex> guard(mutex_);
    return !errors_.empty();
}

std::unique_ptr<Vxi11Device> FakeInstrument::link(std::shared_ptr<FakeInstrument> shared) {
    return std::make_unique<FakeLink>(std::move(shared));
}

bool FakeLock::tryAcquire(const std::string& owner) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!owner_.empty() && owner_ != owner)
        return false;
    owner_ = owner;
    return true;
}

void FakeLock::release(const std::string& owner) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (owner_ == owner)
        owner_.clear();
}

std::string FakeLock::holder() const {
    std::lock_guard<std::mutex> guard(mutex_);
    return owner_;
}
