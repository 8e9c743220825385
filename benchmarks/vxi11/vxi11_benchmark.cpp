// *IDN? round trip and writes a second over VXI-11 on loopback, against the
// fake instrument, with the device calls run inline on the server thread and
// on a second thread standing in for the panel's main thread. The client is
// a bare one over a socket, so the figures are the server's.
//   vxi11_benchmark [round trips] [seconds of writes]
#include "FakeInstrument.h"
#include "Vxi11RecordFramer.h"
#include "Vxi11Server.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <stdexcept>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace sfp::vxi11;
using Clock = std::chrono::steady_clock;

namespace {
std::string words(std::initializer_list<uint32_t> values) {
    std::string out;
    for (uint32_t v : values)
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(char((v >> shift) & 0xff));
    return out;
}

std::string opaque(const std::string& data) {
    return words({uint32_t(data.size())}) + data + std::string((4 - data.size() % 4) % 4, '\0');
}

class Client {
public:
    explicit Client(uint16_t port) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const int one = 1;
        setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        timeval limit{5, 0}; // a lost reply ends the run instead of hanging it
        setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
            throw std::runtime_error("cannot connect");
        lid_ = word(call(10, words({1, 0, 0}) + opaque("inst0")), 4);
    }
    ~Client() { close(fd_); }
    void write(const std::string& text) { call(11, words({lid_, 1000, 1000, 8}) + opaque(text)); }
    std::string read() {
        const std::string result = call(12, words({lid_, 4096, 1000, 0, 0, 0}));
        return result.substr(12, word(result, 8));
    }

private:
    int fd_ = -1;
    uint32_t lid_ = 0;
    uint32_t xid_ = 0;
    Vxi11RecordFramer framer_{1 << 20};

    static uint32_t word(const std::string& s, size_t at) {
        return uint32_t(uint8_t(s.at(at))) << 24 | uint8_t(s.at(at + 1)) << 16 |
               uint8_t(s.at(at + 2)) << 8 | uint8_t(s.at(at + 3));
    }
    // Sends a call, returns the results after the reply header.
    std::string call(uint32_t procedure, const std::string& args) {
        const std::string record = Vxi11RecordFramer::frame(
            words({++xid_, 0, 2, 0x0607AF, 1, procedure, 0, 0, 0, 0}) + args);
        if (send(fd_, record.data(), record.size(), MSG_NOSIGNAL) != ssize_t(record.size()))
            throw std::runtime_error("send failed");
        uint8_t buffer[4096];
        while (!framer_.hasRecord()) {
            const ssize_t got = recv(fd_, buffer, sizeof buffer, 0);
            if (got <= 0 || !framer_.feed(buffer, size_t(got)))
                throw std::runtime_error("no reply");
        }
        const std::string reply = framer_.takeRecord();
        if (word(reply, 24) != 0)
            throw std::runtime_error("call failed");
        return reply.substr(24);
    }
};

// A thread that runs posted jobs one after the other, as an event loop does.
class JobThread {
public:
    JobThread() : thread_([this] { run(); }) {}
    ~JobThread() {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            stop_ = true;
        }
        ready_.notify_one();
        thread_.join();
    }
    void post(Vxi11Job job) {
        {
            std::lock_guard<std::mutex> guard(mutex_);
            jobs_.push_back(std::move(job));
        }
        ready_.notify_one();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Vxi11Job> jobs_;
    bool stop_ = false;
    std::thread thread_;
    void run() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stop_ || !jobs_.empty()) {
            ready_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
            while (!jobs_.empty()) {
                Vxi11Job job = std::move(jobs_.front());
                jobs_.pop_front();
                lock.unlock();
                job();
                lock.lock();
            }
        }
    }
};

double micros(Clock::duration d) {
    return std::chrono::duration<double, std::micro>(d).count();
}

void measure(const char* mode, Vxi11Executor executor, int trips, double seconds) {
    auto instrument = std::make_shared<FakeInstrument>();
    Vxi11ServerConfig config;
    config.usePortMapper = false;
    config.listenAddresses = {"127.0.0.1"};
    config.lock = std::make_shared<FakeLock>();
    config.linkFactory = [instrument](const Vxi11LinkInfo&) {
        return FakeInstrument::link(instrument);
    };
    config.executor = std::move(executor);
    Vxi11Server server(config);
    std::string error;
    if (!server.start(error)) {
        std::fprintf(stderr, "cannot serve: %s\n", error.c_str());
        return;
    }
    Client client(server.corePort());
    std::vector<double> times;
    for (int i = 0; i < trips; ++i) {
        const auto start = Clock::now();
        client.write("*IDN?\n");
        client.read();
        times.push_back(micros(Clock::now() - start));
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    const double p99 = times[std::min(times.size() - 1, times.size() * 99 / 100)];
    size_t writes = 0;
    const auto start = Clock::now();
    const auto until = start + std::chrono::duration<double>(seconds);
    while (Clock::now() < until && writes < 10000000) {
        client.write("VAL 5\n");
        ++writes;
    }
    const double rate =
        double(writes) / std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%-34s *IDN? round trip median %7.1f us  p99 %7.1f us   writes %8.0f /s\n", mode,
                median, p99, rate);
    server.stop();
}
} // namespace

int main(int argc, char** argv) {
    const int trips = argc > 1 ? std::max(10, std::atoi(argv[1])) : 5000;
    const double seconds = argc > 2 ? std::max(0.1, std::atof(argv[2])) : 2.0;
    std::printf("VXI-11 on loopback, %d round trips, %.1f s of writes (one client)\n", trips,
                seconds);
    measure("device calls on the server thread", nullptr, trips, seconds);
    JobThread mainThread;
    measure(
        "device calls on another thread",
        [&mainThread](Vxi11Job job) { mainThread.post(std::move(job)); }, trips, seconds);
    return 0;
}
