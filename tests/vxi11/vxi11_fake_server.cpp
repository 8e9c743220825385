// Serves a FakeInstrument over VXI-11 until SIGINT/SIGTERM, with the device
// calls run on the main thread through a job queue, as the panel's event loop
// would. Events go to stderr, the first saying where it listens.
//   vxi11_fake_server [--port N] [--alias N] [--listen ADDR]... [--allow CIDR]...
#include "FakeInstrument.h"
#include "Vxi11Server.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

using namespace sfp::vxi11;

namespace {
std::atomic<bool> stopRequested{false};

class MainQueue {
public:
    void post(Vxi11Job job) {
        std::lock_guard<std::mutex> guard(mutex_);
        jobs_.push_back(std::move(job));
        ready_.notify_one();
    }
    void runFor(std::chrono::milliseconds wait) {
        std::unique_lock<std::mutex> lock(mutex_);
        ready_.wait_for(lock, wait, [this] { return !jobs_.empty(); });
        std::deque<Vxi11Job> jobs = std::move(jobs_);
        jobs_.clear();
        lock.unlock();
        for (Vxi11Job& job : jobs)
            job();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Vxi11Job> jobs_;
};
} // namespace

int main(int argc, char** argv) {
    Vxi11ServerConfig config;
    std::vector<std::string> listen;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        const std::string value = argv[i + 1];
        if (option == "--port")
            config.corePort = uint16_t(std::stoi(value));
        else if (option == "--alias")
            config.aliasNumber = std::stoi(value);
        else if (option == "--listen")
            listen.push_back(value);
        else if (option == "--allow")
            config.allow.push_back(value);
    }
    if (!listen.empty())
        config.listenAddresses = listen;
    auto instrument = std::make_shared<FakeInstrument>();
    MainQueue queue;
    config.lock = std::make_shared<FakeLock>();
    config.linkFactory = [instrument](const Vxi11LinkInfo&) {
        return FakeInstrument::link(instrument);
    };
    config.executor = [&queue](Vxi11Job job) { queue.post(std::move(job)); };
    config.events = [](const std::string& line) {
        std::fprintf(stderr, "%s\n", line.c_str());
        std::fflush(stderr);
    };
    std::signal(SIGINT, [](int) { stopRequested = true; });
    std::signal(SIGTERM, [](int) { stopRequested = true; });

    Vxi11Server server(config);
    std::string error;
    if (!server.start(error)) {
        std::fprintf(stderr, "cannot serve: %s\n", error.c_str());
        return 1;
    }
    while (!stopRequested)
        queue.runFor(std::chrono::milliseconds(50));
    server.stop();
    queue.runFor(std::chrono::milliseconds(0)); // the links' last jobs
    return 0;
}
