// The SCPI server against a plain TCP echo server, side by side in one run,
// both on loopback on a thread of their own; the client side uses blocking
// sockets with Nagle off:
//   - round trips of "*IDN?" and "SOUR1:VOLT?" against the echo of the same
//     line (median and 99th percentile); goal: median within 1.5 echoes;
//   - writes a second ("SOUR1:VOLT <v>", sent back to back and closed with
//     "*OPC?") from one client and from 8; goal: 20,000 from one client;
//   - memory (resident set) with 16 idle clients, beside 16 on the echo.
//
//   remote_benchmark [round-trips [writes]]    exit 1 when a goal is missed

#include "BenchServers.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
const int kDefaultRoundTrips = 20000;
const int kDefaultWrites = 200000;
const int kBlock = 500; // round trips per turn before switching server
const int kWriterClients = 8;
const int kIdleClients = 16;
const double kRoundTripGoal = 1.5;
const double kWritesGoal = 20000;
const int kWaitMs = 10000;

using Clock = std::chrono::steady_clock;

int connectTo(quint16 port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&to), sizeof to) != 0) {
        std::perror("connect");
        std::exit(2);
    }
    return fd;
}

bool sendAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

// Reads one answer: with one request outstanding, it is whatever arrives up
// to a newline that ends a read.
std::string readLine(int fd) {
    std::string line;
    char buffer[4096];
    while (line.empty() || line.back() != '\n') {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        line.append(buffer, size_t(n));
    }
    return line;
}

struct Figures {
    std::vector<double> us;
    double at(double q) {
        std::sort(us.begin(), us.end());
        return us.empty() ? 0 : us[size_t(q * double(us.size() - 1))];
    }
};

void roundTrips(int fd, const std::string& message, int count, Figures* figures) {
    for (int i = 0; i < count; ++i) {
        const Clock::time_point start = Clock::now();
        sendAll(fd, message);
        if (readLine(fd).empty()) {
            std::fprintf(stderr, "no answer to %s", message.c_str());
            std::exit(2);
        }
        figures->us.push_back(
            std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
}

std::string writeBatch(int writes) {
    std::string batch;
    for (int i = 0; i < writes; ++i)
        batch += "SOUR1:VOLT " + std::to_string((i % 2000) / 200.0 - 5) + "\n";
    return batch;
}

// Writes sent back to back, then *OPC? to know they all ran, and the error
// count to know none was refused.
void sendBatch(int fd, const std::string& batch) {
    sendAll(fd, batch);
    sendAll(fd, "*OPC?;:SYST:ERR:COUN?\n");
    const std::string done = readLine(fd);
    if (done != "1;0\n") {
        std::fprintf(stderr, "writes not confirmed: %s\n", done.c_str());
        std::exit(2);
    }
}

double writesPerSecondFrom(quint16 port, int clients, int writesEach) {
    std::vector<int> fds;
    for (int i = 0; i < clients; ++i)
        fds.push_back(connectTo(port));
    const std::string batch = writeBatch(writesEach);
    const Clock::time_point start = Clock::now();
    std::vector<std::thread> threads;
    for (int fd : fds)
        threads.emplace_back([fd, &batch] { sendBatch(fd, batch); });
    for (std::thread& t : threads)
        t.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (int fd : fds)
        ::close(fd);
    return clients * writesEach / seconds;
}

long residentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

template <typename Count> bool waitUntil(Count count, int wanted) {
    for (int waited = 0; waited < kWaitMs; waited += 10) {
        if (count() == wanted)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Resident memory added by 16 idle clients, per client, in KiB.
double idleCost(quint16 port, const std::function<int()>& count) {
    const long before = residentKiB();
    std::vector<int> fds;
    for (int i = 0; i < kIdleClients; ++i)
        fds.push_back(connectTo(port));
    if (!waitUntil(count, kIdleClients))
        std::fprintf(stderr, "not all idle clients were accepted\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const long after = residentKiB();
    for (int fd : fds)
        ::close(fd);
    waitUntil(count, 0);
    return double(after - before) / kIdleClients;
}

const char* verdict(bool met) {
    return met ? "goal met" : "GOAL MISSED";
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int trips = argc > 1 ? std::max(kBlock, std::atoi(argv[1])) : kDefaultRoundTrips;
    const int writes = argc > 2 ? std::max(1000, std::atoi(argv[2])) : kDefaultWrites;
    BenchServers servers;
    std::printf("SCPI server on 127.0.0.1:%u, echo on 127.0.0.1:%u\n", servers.scpiPort(),
                servers.echoPort());

    const int echo = connectTo(servers.echoPort());
    const int scpi = connectTo(servers.scpiPort());
    Figures echoIdn, scpiIdn, echoVolt, scpiVolt;
    roundTrips(scpi, "SOUR1:VOLT 1.5\n*OPC?\n", 1, &scpiVolt); // warm up
    scpiVolt.us.clear();
    for (int done = 0; done < trips; done += kBlock) {
        roundTrips(echo, "*IDN?\n", kBlock, &echoIdn);
        roundTrips(scpi, "*IDN?\n", kBlock, &scpiIdn);
        roundTrips(echo, "SOUR1:VOLT?\n", kBlock, &echoVolt);
        roundTrips(scpi, "SOUR1:VOLT?\n", kBlock, &scpiVolt);
    }
    ::close(echo);
    ::close(scpi);

    bool met = true;
    std::printf("round trips, %d each, microseconds:\n", trips);
    std::printf("  %-14s %9s %9s %9s %9s\n", "", "median", "p99", "ratio", "p99 ratio");
    struct Row {
        const char* name;
        Figures* server;
        Figures* limit;
    };
    for (const Row& row :
         {Row{"*IDN?", &scpiIdn, &echoIdn}, Row{"SOUR1:VOLT?", &scpiVolt, &echoVolt}}) {
        const double ratio = row.server->at(0.5) / row.limit->at(0.5);
        std::printf("  %-14s %9.1f %9.1f %9.2f %9.2f   (echo %.1f / %.1f) %s\n", row.name,
                    row.server->at(0.5), row.server->at(0.99), ratio,
                    row.server->at(0.99) / row.limit->at(0.99), row.limit->at(0.5),
                    row.limit->at(0.99), verdict(ratio <= kRoundTripGoal));
        met = met && ratio <= kRoundTripGoal;
    }

    const double one = writesPerSecondFrom(servers.scpiPort(), 1, writes);
    const double many =
        writesPerSecondFrom(servers.scpiPort(), kWriterClients, writes / kWriterClients);
    std::printf("writes a second (%d \"SOUR1:VOLT <v>\" back to back, then *OPC?; 8 clients "
                "share them):\n",
                writes);
    std::printf("  1 client:  %10.0f   ratio to goal %.2f (goal >= %.0f) %s\n", one,
                one / kWritesGoal, kWritesGoal, verdict(one >= kWritesGoal));
    std::printf("  %d clients: %10.0f   ratio to one client %.2f\n", kWriterClients, many,
                many / one);
    met = met && one >= kWritesGoal;

    const double scpiKiB = idleCost(servers.scpiPort(), [&] { return servers.scpiClients(); });
    const double echoKiB = idleCost(servers.echoPort(), [&] { return servers.echoClients(); });
    std::printf(
        "memory, %d idle clients: %.1f KiB resident each (echo %.1f KiB each, ratio %.2f)\n",
        kIdleClients, scpiKiB, echoKiB, echoKiB > 0 ? scpiKiB / echoKiB : 0.0);
    std::printf("resident set now: %ld KiB\n", residentKiB());
    return met ? 0 : 1;
}
