#include "Vxi11Server.h"

#include "Vxi11Engine.h"
#include "Vxi11PeerFilter.h"
#include "Vxi11PortMapper.h"
#include "Vxi11RecordFramer.h"
#include "Vxi11Sockets.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace sfp::vxi11 {

namespace {
const char* const kListening = "VXI-11 listening on %1 (abort channel port %2)";
const char* const kCannotListen = "VXI-11 cannot listen on %1: %2";
const char* const kNoAddress = "no listen address could be opened";
const char* const kNoFactory = "no link factory or lock given";
const char* const kBadAllow = "not a network in CIDR form: %1";
const char* const kOpenBeyondLoopback =
    "VXI-11 listens beyond loopback without --allow: any peer that reaches it may connect";
const char* const kRegistered = "VXI-11 registered with the port mapper (TCP port %1)";
const char* const kNoPortMapper =
    "VXI-11 no port mapper reachable: clients must be given TCP port %1 directly";
const char* const kPortMapperRefused = "VXI-11 the port mapper refused the registration";
const char* const kConnected = "VXI-11 client %1 connected (%2 channel)";
const char* const kDisconnected = "VXI-11 client %1 disconnected";
const char* const kNotAllowed = "VXI-11 client %1 refused: not in the allowed networks";
const char* const kTooMany = "VXI-11 client %1 refused: too many connections";
const char* const kTooLarge = "VXI-11 client %1 dropped: record larger than %2 bytes";
const char* const kError = "VXI-11 error: %1";

constexpr size_t kReadChunk = 65536;
constexpr int kMaxPollMs = 1000;
constexpr int kRecordRounds = 64; // records handled per wake-up before polling again

std::string fill(std::string text, const std::string& a, const std::string& b = {}) {
    const size_t one = text.find("%1");
    if (one != std::string::npos)
        text.replace(one, 2, a);
    const size_t two = text.find("%2");
    if (two != std::string::npos)
        text.replace(two, 2, b);
    return text;
}
} // namespace

class Vxi11Server::Impl {
public:
    explicit Impl(Vxi11ServerConfig config) : config_(std::move(config)) {}
    ~Impl() { stop(); }

    bool start(std::string& error);
    void stop();

    Vxi11ServerConfig config_;
    std::vector<std::string> listening_;
    uint16_t corePort_ = 0;
    uint16_t abortPort_ = 0;
    std::atomic<bool> running_{false};
    std::atomic<size_t> links_{0};
    std::shared_ptr<Vxi11Inbox> inbox_;
    Vxi11PortMapper portMapper_;
    bool registered_ = false;

private:
    struct Listener {
        int fd;
        Vxi11Engine::Channel channel;
    };
    struct Connection {
        int fd = -1;
        Vxi11Engine::Channel channel = Vxi11Engine::Channel::Core;
        std::string peer;
        std::unique_ptr<Vxi11RecordFramer> framer;
        std::string out;
        bool dead = false;
    };

    Vxi11PeerFilter allowed_;
    std::vector<Listener> listeners_;
    std::map<int, Connection> connections_; // by connection id
    std::unique_ptr<Vxi11Engine> engine_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    int wakeFd_ = -1;
    int nextId_ = 1;

    bool openListeners(std::string& error);
    bool openChannel(Vxi11Engine::Channel channel, uint16_t port, uint16_t& bound);
    void registerPortMapper();
    void loop();
    int pollTimeout() const;
    void accept(const Listener& listener);
    void receive(Connection& connection);
    void send(int id, std::string bytes);
    void flush(Connection& connection);
    void handleRecords();
    void reap();
    void closeAll();
    void event(const std::string& line) const {
        if (config_.events)
            config_.events(line);
    }
};

bool Vxi11Server::Impl::start(std::string& error) {
    if (running_)
        return true;
    if (!config_.linkFactory || !config_.lock) {
        error = kNoFactory;
        return false;
    }
    if (!allowed_.parse(config_.allow, error)) {
        error = fill(kBadAllow, error);
        return false;
    }
    listening_.clear();
    if (!openListeners(error))
        return false;
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    inbox_ = std::make_shared<Vxi11Inbox>([fd = wakeFd_] {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(fd, &one, sizeof one);
    });
    engine_ = std::make_unique<Vxi11Engine>(
        config_, abortPort_, [this](int id, std::string bytes) { send(id, std::move(bytes)); },
        inbox_);
    registerPortMapper();
    stopping_ = false;
    running_ = true;
    thread_ = std::thread([this] { loop(); });
    return true;
}

void Vxi11Server::Impl::stop() {
    if (!running_)
        return;
    stopping_ = true;
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(wakeFd_, &one, sizeof one);
    thread_.join();
    portMapper_.unregister();
    registered_ = false;
    inbox_->detach();
    close(wakeFd_);
    wakeFd_ = -1;
    running_ = false;
}

bool Vxi11Server::Impl::openListeners(std::string& error) {
    if (!openChannel(Vxi11Engine::Channel::Core, config_.corePort, corePort_) ||
        !openChannel(Vxi11Engine::Channel::Abort, 0, abortPort_)) {
        closeAll();
        error = kNoAddress;
        return false;
    }
    bool beyondLoopback = false;
    std::string where;
    for (const std::string& address : config_.listenAddresses) {
        beyondLoopback = beyondLoopback || !Vxi11Sockets::isLoopback(address);
    }
    for (const std::string& name : listening_)
        where += (where.empty() ? "" : ", ") + name;
    event(fill(kListening, where, std::to_string(abortPort_)));
    if (beyondLoopback && config_.allow.empty())
        event(kOpenBeyondLoopback);
    return true;
}

// One socket per listen address, all on the same port: the first one's when
// the port is left to the system.
bool Vxi11Server::Impl::openChannel(Vxi11Engine::Channel channel, uint16_t port, uint16_t& bound) {
    bool any = false;
    for (const std::string& address : config_.listenAddresses) {
        std::string error;
        uint16_t got = 0;
        const int fd = Vxi11Sockets::listenOn(address, any ? bound : port, got, error);
        if (fd < 0) {
            event(fill(kCannotListen, address, error));
            continue;
        }
        bound = got;
        any = true;
        listeners_.push_back({fd, channel});
        if (channel == Vxi11Engine::Channel::Core) {
            const bool v6 = address.find(':') != std::string::npos;
            listening_.push_back((v6 ? "[" + address + "]" : address) + ":" + std::to_string(got));
        }
    }
    return any;
}

void Vxi11Server::Impl::registerPortMapper() {
    if (!config_.usePortMapper)
        return;
    switch (portMapper_.registerCore(corePort_)) {
    case Vxi11PortMapper::Result::Registered:
        registered_ = true;
        event(fill(kRegistered, std::to_string(corePort_)));
        break;
    case Vxi11PortMapper::Result::Unreachable:
        event(fill(kNoPortMapper, std::to_string(corePort_)));
        break;
    case Vxi11PortMapper::Result::Refused:
        event(kPortMapperRefused);
        break;
    }
}

void Vxi11Server::Impl::loop() {
    std::vector<pollfd> fds;
    std::vector<int> ids; // connection id of fds[i], 0 for others
    while (!stopping_) {
        fds.assign(1, pollfd{wakeFd_, POLLIN, 0});
        ids.assign(1, 0);
        for (const Listener& listener : listeners_) {
            fds.push_back({listener.fd, POLLIN, 0});
            ids.push_back(0);
        }
        for (auto& [id, c] : connections_) {
            // Backpressure: read only when the last call is answered and sent.
            const bool idle = !engine_->busy(id) && !c.framer->hasRecord() && c.out.empty();
            fds.push_back({c.fd, short((idle ? POLLIN : 0) | (c.out.empty() ? 0 : POLLOUT)), 0});
            ids.push_back(id);
        }
        if (poll(fds.data(), fds.size(), pollTimeout()) < 0 && errno != EINTR) {
            event(fill(kError, std::strerror(errno)));
            break;
        }
        uint64_t count = 0;
        [[maybe_unused]] const ssize_t drained = read(wakeFd_, &count, sizeof count);
        for (size_t i = 1; i <= listeners_.size(); ++i) {
            if (fds[i].revents & POLLIN)
                accept(listeners_[i - 1]);
        }
        for (size_t i = listeners_.size() + 1; i < fds.size(); ++i) {
            const auto it = connections_.find(ids[i]);
            if (it == connections_.end() || fds[i].revents == 0)
                continue;
            if (fds[i].revents & POLLOUT)
                flush(it->second);
            // A peer gone both ways cannot take its reply: drop it, even mid-call.
            if (fds[i].revents & (POLLHUP | POLLERR))
                it->second.dead = true;
            else if (fds[i].revents & POLLIN)
                receive(it->second);
        }
        handleRecords();
        reap();
        links_ = engine_->linkCount();
    }
    closeAll();
}

int Vxi11Server::Impl::pollTimeout() const {
    const auto next = engine_->nextWakeUp();
    if (next == Vxi11Engine::Clock::time_point::max())
        return kMaxPollMs;
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(next - Vxi11Engine::Clock::now());
    return int(std::clamp<int64_t>(left.count(), 0, kMaxPollMs));
}

void Vxi11Server::Impl::accept(const Listener& listener) {
    sockaddr_storage peer{};
    socklen_t length = sizeof peer;
    const int fd = accept4(listener.fd, reinterpret_cast<sockaddr*>(&peer), &length,
                           SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0)
        return;
    const std::string name = Vxi11Sockets::peerName(reinterpret_cast<sockaddr*>(&peer));
    const char* refusal = !allowed_.allows(reinterpret_cast<sockaddr*>(&peer)) ? kNotAllowed
                          : connections_.size() >= config_.maxConnections      ? kTooMany
                                                                               : nullptr;
    if (refusal) {
        close(fd);
        event(fill(refusal, name));
        return;
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    const int id = nextId_++;
    Connection& c = connections_[id];
    c.fd = fd;
    c.channel = listener.channel;
    c.peer = name;
    c.framer = std::make_unique<Vxi11RecordFramer>(engine_->maxRecordSize());
    engine_->openConnection(id, c.channel, name);
    const bool core = c.channel == Vxi11Engine::Channel::Core;
    event(fill(kConnected, name, core ? "core" : "abort"));
}

void Vxi11Server::Impl::receive(Connection& c) {
    uint8_t buffer[kReadChunk];
    const ssize_t got = recv(c.fd, buffer, sizeof buffer, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (got <= 0) {
        c.dead = true;
        return;
    }
    if (!c.framer->feed(buffer, size_t(got))) {
        event(fill(kTooLarge, c.peer, std::to_string(engine_->maxRecordSize())));
        c.dead = true;
    }
}

void Vxi11Server::Impl::send(int id, std::string bytes) {
    const auto it = connections_.find(id);
    if (it == connections_.end() || it->second.dead)
        return;
    it->second.out += bytes;
    flush(it->second);
}

void Vxi11Server::Impl::flush(Connection& c) {
    while (!c.out.empty() && !c.dead) {
        const ssize_t sent = ::send(c.fd, c.out.data(), c.out.size(), MSG_NOSIGNAL);
        if (sent < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        if (sent <= 0) {
            c.dead = true;
            return;
        }
        c.out.erase(0, size_t(sent));
    }
}

// Whole records go to the engine one call at a time per connection; with jobs
// that finish at once (no executor) a connection's pipelined calls all run here.
void Vxi11Server::Impl::handleRecords() {
    for (int round = 0; round < kRecordRounds; ++round) {
        bool progress = false;
        const auto now = Vxi11Engine::Clock::now();
        for (auto& [id, c] : connections_) {
            if (c.dead || engine_->busy(id) || !c.framer->hasRecord())
                continue;
            engine_->handleRecord(id, c.framer->takeRecord(), now);
            progress = true;
        }
        engine_->process(Vxi11Engine::Clock::now());
        if (!progress)
            return;
    }
}

void Vxi11Server::Impl::reap() {
    for (auto it = connections_.begin(); it != connections_.end();) {
        if (!it->second.dead) {
            ++it;
            continue;
        }
        engine_->closeConnection(it->first);
        close(it->second.fd);
        event(fill(kDisconnected, it->second.peer));
        it = connections_.erase(it);
    }
}

void Vxi11Server::Impl::closeAll() {
    for (auto& [id, c] : connections_) {
        if (engine_)
            engine_->closeConnection(id);
        close(c.fd);
    }
    connections_.clear();
    engine_.reset();
    for (const Listener& listener : listeners_)
        close(listener.fd);
    listeners_.clear();
}

Vxi11Server::Vxi11Server(Vxi11ServerConfig config)
    : impl_(std::make_unique<Impl>(std::move(config))) {}

Vxi11Server::~Vxi11Server() = default;

bool Vxi11Server::start(std::string& error) {
    return impl_->start(error);
}

void Vxi11Server::stop() {
    impl_->stop();
}

bool Vxi11Server::running() const {
    return impl_->running_;
}

uint16_t Vxi11Server::corePort() const {
    return impl_->corePort_;
}

uint16_t Vxi11Server::abortPort() const {
    return impl_->abortPort_;
}

std::vector<std::string> Vxi11Server::listening() const {
    return impl_->listening_;
}

bool Vxi11Server::registeredWithPortMapper() const {
    return impl_->registered_;
}

size_t Vxi11Server::linkCount() const {
    return impl_->links_;
}

void Vxi11Server::notifyResponseReady() {
    if (impl_->inbox_)
        impl_->inbox_->notifyChanged();
}

void Vxi11Server::notifyLockChanged() {
    notifyResponseReady();
}

} // namespace sfp::vxi11
