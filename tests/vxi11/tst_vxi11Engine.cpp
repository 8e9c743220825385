// The VXI-11 protocol engine without sockets: calls encoded by hand from the
// protocol's wire format (not from our generated code), time moved by the test.
#include "FakeInstrument.h"
#include "Vxi11Engine.h"

#include <QtTest>

#include <map>

using namespace sfp::vxi11;
using Clock = Vxi11Engine::Clock;

namespace {
enum : uint32_t { Core = 0x0607AF, Abort = 0x0607B0 };
enum : uint32_t { CreateLink = 10, Write = 11, Read = 12, Lock = 18, Unlock = 19, Docmd = 22 };
enum : uint32_t { WaitLock = 1, End = 8, TermChrSet = 128 };

struct Words {
    std::string bytes;
    Words& u(uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(char((v >> shift) & 0xff));
        return *this;
    }
    Words& opaque(const std::string& data) {
        u(uint32_t(data.size()));
        bytes += data;
        bytes.append((4 - data.size() % 4) % 4, '\0');
        return *this;
    }
};

struct Reply {
    uint32_t acceptStat = 99;
    std::vector<uint32_t> words; // results, word by word
    std::string data;            // device_read's data
};

class Harness {
public:
    Harness() {
        config.lock = lock;
        config.linkFactory = [this](const Vxi11LinkInfo&) { return FakeInstrument::link(device); };
        config.events = [this](const std::string& line) { events.push_back(line); };
        engine = std::make_unique<Vxi11Engine>(
            config, 4242, [this](int c, std::string r) { replies[c].push_back(r); }, inbox);
        engine->openConnection(1, Vxi11Engine::Channel::Core, "a");
        engine->openConnection(2, Vxi11Engine::Channel::Core, "b");
        engine->openConnection(9, Vxi11Engine::Channel::Abort, "a");
    }
    // Sends a call; returns its reply, or acceptStat 99 when none came yet.
    Reply call(int connection, uint32_t proc, const Words& args, uint32_t prog = 0,
               uint32_t version = 1) {
        Words record;
        record.u(++xid).u(0).u(2).u(prog ? prog : connection == 9 ? Abort : Core).u(version);
        record.u(proc).u(0).u(0).u(0).u(0);
        engine->handleRecord(connection, record.bytes + args.bytes, now);
        return settle(connection);
    }
    Reply settle(int connection) {
        engine->process(now);
        engine->process(now); // results of jobs run by the first pass
        auto& queue = replies[connection];
        if (queue.empty())
            return {};
        const std::string raw = queue.front().substr(4);
        queue.erase(queue.begin());
        Reply reply;
        reply.acceptStat = word(raw, 20);
        for (size_t at = 24; at + 4 <= raw.size(); at += 4)
            reply.words.push_back(word(raw, at));
        if (reply.words.size() >= 3)
            reply.data = raw.substr(36, reply.words[2]);
        return reply;
    }
    int32_t link(int connection, bool lockDevice = false) {
        const Reply r =
            call(connection, CreateLink, Words().u(0).u(lockDevice).u(0).opaque("inst0"));
        return r.words.at(0) == 0 ? int32_t(r.words.at(1)) : -int32_t(r.words.at(0));
    }
    static Words writeArgs(int32_t lid, const std::string& data, uint32_t flags = End) {
        return Words().u(lid).u(1000).u(1000).u(flags).opaque(data);
    }
    static Words readArgs(int32_t lid, uint32_t size, uint32_t flags = 0, char term = 0,
                          uint32_t ioTimeout = 1000) {
        return Words().u(lid).u(size).u(ioTimeout).u(0).u(flags).u(uint8_t(term));
    }
    static uint32_t word(const std::string& s, size_t at) {
        return s.size() < at + 4 ? 0xdead
                                 : uint32_t(uint8_t(s[at])) << 24 | uint8_t(s[at + 1]) << 16 |
                                       uint8_t(s[at + 2]) << 8 | uint8_t(s[at + 3]);
    }

    std::shared_ptr<FakeInstrument> device = std::make_shared<FakeInstrument>();
    std::shared_ptr<FakeLock> lock = std::make_shared<FakeLock>();
    std::shared_ptr<Vxi11Inbox> inbox = std::make_shared<Vxi11Inbox>(nullptr);
    Vxi11ServerConfig config;
    std::map<int, std::vector<std::string>> replies;
    std::vector<std::string> events;
    std::unique_ptr<Vxi11Engine> engine; // last: its destructor still reports
    Clock::time_point now = Clock::now();
    uint32_t xid = 0;
};
} // namespace

class TestVxi11Engine : public QObject {
    Q_OBJECT
private slots:
    void readEndsAtCountTermCharOrEnd_data() {
        QTest::addColumn<uint32_t>("size");
        QTest::addColumn<uint32_t>("flags");
        QTest::addColumn<char>("term");
        QTest::addColumn<QString>("first");
        QTest::addColumn<uint32_t>("reason");
        QTest::addColumn<QString>("rest");
        QTest::newRow("whole message") << 100u << 0u << '\0' << "0,\"No error\"\n" << 4u << "";
        QTest::newRow("request count") << 3u << 0u << '\0' << "0,\"" << 1u << "No error\"\n";
        QTest::newRow("term char")
            << 100u << uint32_t(TermChrSet) << ',' << "0," << 2u << "\"No error\"\n";
        QTest::newRow("term char unset") << 100u << 0u << ',' << "0,\"No error\"\n" << 4u << "";
        QTest::newRow("all three") << 13u << uint32_t(TermChrSet) << '\n'
                                   << "0,\"No error\"\n"
                                   << 7u << "";
        QTest::newRow("count and char")
            << 2u << uint32_t(TermChrSet) << ',' << "0," << 3u << "\"No error\"\n";
    }
    void readEndsAtCountTermCharOrEnd() {
        QFETCH(uint32_t, size);
        QFETCH(uint32_t, flags);
        QFETCH(char, term);
        QFETCH(QString, first);
        QFETCH(uint32_t, reason);
        QFETCH(QString, rest);
        Harness h;
        const int32_t lid = h.link(1);
        QCOMPARE(h.call(1, Write, Harness::writeArgs(lid, "SYST:ERR?\n")).words.at(0), 0u);
        const Reply head = h.call(1, Read, Harness::readArgs(lid, size, flags, term));
        QCOMPARE(head.words.at(0), 0u);
        QCOMPARE(QString::fromStdString(head.data), first);
        QCOMPARE(head.words.at(1), reason);
        if (!rest.isEmpty()) {
            const Reply tail = h.call(1, Read, Harness::readArgs(lid, 100));
            QCOMPARE(QString::fromStdString(tail.data), rest);
            QCOMPARE(tail.words.at(1), 4u);
        }
    }

    // A VXI-11 link, a second link and another front end share one lock.
    void oneLockForEveryOwner() {
        Harness h;
        const int32_t a = h.link(1), b = h.link(2);
        QCOMPARE(h.call(1, Lock, Words().u(a).u(0).u(0)).words.at(0), 0u);
        QCOMPARE(h.call(2, Write, Harness::writeArgs(b, "VAL 1\n")).words.at(0), 11u);
        // Waiting for the lock: answered once the holder lets go.
        QCOMPARE(h.call(2, Write, Harness::writeArgs(b, "VAL 2\n", End | WaitLock)).acceptStat,
                 99u);
        QCOMPARE(h.call(1, Unlock, Words().u(a)).words.at(0), 0u);
        h.now += std::chrono::milliseconds(25);
        QCOMPARE(h.settle(2).words.at(0), 0u);
        QCOMPARE(h.call(2, Unlock, Words().u(b)).words.at(0), 12u);
        // The panel takes the lock from a link that holds it.
        QCOMPARE(h.call(1, Lock, Words().u(a).u(0).u(0)).words.at(0), 0u);
        h.lock->release(h.lock->holder());
        QVERIFY(h.lock->tryAcquire("panel"));
        QCOMPARE(h.call(1, Write, Harness::writeArgs(a, "VAL 3\n")).words.at(0), 11u);
        QVERIFY(h.events.back().find("lock lost") != std::string::npos);
        // A disconnect gives a held lock back.
        h.lock->release("panel");
        QCOMPARE(h.call(2, Lock, Words().u(b).u(0).u(0)).words.at(0), 0u);
        h.engine->closeConnection(2);
        QCOMPARE(h.lock->holder(), std::string());
    }

    void refusalsUseTheProtocolsNumbers() {
        Harness h;
        const int32_t lid = h.link(1);
        QCOMPARE(h.call(1, Write, Harness::writeArgs(lid, std::string(65537, 'x'))).words.at(0),
                 5u);
        QCOMPARE(h.call(1, Write, Harness::writeArgs(lid + 7, "x")).words.at(0), 4u);
        QCOMPARE(h.call(2, Write, Harness::writeArgs(lid, "x")).words.at(0), 4u); // not its link
        QCOMPARE(
            h.call(1, Docmd, Words().u(lid).u(0).u(0).u(0).u(0).u(0).u(0).opaque("")).words.at(0),
            8u);
        QCOMPARE(h.call(1, CreateLink, Words().u(0).u(0).u(0).opaque("gpib0")).words.at(0), 3u);
        QCOMPARE(h.call(1, 99, Words()).acceptStat, 3u);           // PROC_UNAVAIL
        QCOMPARE(h.call(1, Write, Words(), 0, 2).acceptStat, 2u);  // PROG_MISMATCH
        QCOMPARE(h.call(1, Write, Words().u(lid)).acceptStat, 4u); // GARBAGE_ARGS
        for (int i = 1; i < 16; ++i)
            QVERIFY(h.link(1 + i % 2) > 0);
        QCOMPARE(h.link(2), -9); // out of resources: 16 links at most
    }

    void timeoutAndAbortEndAWaitingRead() {
        Harness h;
        const int32_t lid = h.link(1);
        h.call(1, Write, Harness::writeArgs(lid, "NOREPLY?\n"));
        QCOMPARE(h.call(1, Read, Harness::readArgs(lid, 100, 0, 0, 100)).acceptStat, 99u);
        h.now += std::chrono::milliseconds(60);
        QCOMPARE(h.settle(1).acceptStat, 99u);
        h.now += std::chrono::milliseconds(60);
        QCOMPARE(h.settle(1).words.at(0), 15u);
        QCOMPARE(h.call(1, Read, Harness::readArgs(lid, 100, 0, 0, 5000)).acceptStat, 99u);
        QCOMPARE(h.call(9, 1, Words().u(lid)).words.at(0), 0u);
        QCOMPARE(h.settle(1).words.at(0), 23u);
        QCOMPARE(h.call(1, Write, Harness::writeArgs(lid, "*IDN?\n")).words.at(0), 0u);
    }
};

QTEST_GUILESS_MAIN(TestVxi11Engine)
#include "tst_vxi11Engine.moc"
