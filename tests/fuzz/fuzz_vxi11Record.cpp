// Fuzzes the VXI-11 server's input path: the RPC record framing, then every
// record it yields through the call decoder and the protocol engine, on a core
// and an abort connection, with time moving on so that waits end. The first
// byte chooses how the stream is cut into reads. Whatever the bytes: the
// framer never holds more than its limit, and every reply is one well-formed
// last fragment.
#include "FakeInstrument.h"
#include "FuzzCheck.h"
#include "Vxi11Engine.h"
#include "Vxi11RecordFramer.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>

using namespace sfp::vxi11;

namespace {
void checkReply(const std::string& reply) {
    FUZZ_CHECK(reply.size() >= 4 + 24, "reply shorter than an RPC reply header");
    const uint32_t mark = uint32_t(uint8_t(reply[0])) << 24 | uint8_t(reply[1]) << 16 |
                          uint8_t(reply[2]) << 8 | uint8_t(reply[3]);
    FUZZ_CHECK(mark & 0x80000000u, "reply not marked as the last fragment");
    FUZZ_CHECK((mark & 0x7fffffffu) == reply.size() - 4, "reply length mark is wrong");
    FUZZ_CHECK(reply[8] == 0 && reply[9] == 0 && reply[10] == 0 && reply[11] == 1,
               "reply is not of type REPLY");
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const size_t chunk = 1 + data[0] % 64;
    ++data;
    --size;
    auto instrument = std::make_shared<FakeInstrument>();
    Vxi11ServerConfig config;
    config.maxRecvSize = 1024;
    config.maxLinks = 4;
    config.lock = std::make_shared<FakeLock>();
    config.linkFactory = [instrument](const Vxi11LinkInfo&) {
        return FakeInstrument::link(instrument);
    };
    size_t replies = 0;
    Vxi11Engine engine(
        config, 1,
        [&replies](int, std::string reply) {
            checkReply(reply);
            ++replies;
        },
        std::make_shared<Vxi11Inbox>(nullptr));
    engine.openConnection(1, Vxi11Engine::Channel::Core, "core");
    engine.openConnection(2, Vxi11Engine::Channel::Abort, "abort");
    Vxi11RecordFramer framers[2] = {Vxi11RecordFramer(engine.maxRecordSize()),
                                    Vxi11RecordFramer(engine.maxRecordSize())};
    auto now = Vxi11Engine::Clock::now();
    // As the server does: a connection's next record waits until its call is
    // answered; a long lock wait is cut short by a jump in time.
    auto drain = [&](Vxi11RecordFramer& framer, int connection) {
        while (framer.hasRecord()) {
            for (int i = 0; i < 4 && engine.busy(connection); ++i)
                engine.process(now += std::chrono::milliseconds(700));
            if (engine.busy(connection))
                engine.process(now += std::chrono::hours(24 * 60));
            FUZZ_CHECK(!engine.busy(connection), "a call outlives every timeout");
            engine.handleRecord(connection, framer.takeRecord(), now);
            engine.process(now);
        }
    };
    for (size_t at = 0, step = 0; at < size; at += chunk, ++step) {
        // Reads alternate between the channels in runs of eight.
        Vxi11RecordFramer& framer = framers[(step / 8) % 2];
        const int connection = int((step / 8) % 2) + 1;
        if (!framer.feed(data + at, std::min(chunk, size - at)))
            break;
        FUZZ_CHECK(framer.buffered() <= engine.maxRecordSize() + chunk,
                   "framer holds more than its limit");
        drain(framer, connection);
        engine.process(now += std::chrono::milliseconds(700));
    }
    engine.closeConnection(1);
    FUZZ_CHECK(engine.linkCount() == 0, "links survive their connection");
    return 0;
}
