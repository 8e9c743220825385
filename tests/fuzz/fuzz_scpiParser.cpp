// Fuzzes the SCPI engine with whole program messages: the parser, the
// header resolution against a command table and the error queue. Input: one
// message per line, run in order through one session (so the current path,
// the channel variable and the status registers carry over), plus each line
// through a bare parser. Checks what must hold for any input: one response
// line at most per message, ending in its newline, a bounded error queue, and
// parsed mnemonics within IEEE 488.2's length.
#include "FuzzCheck.h"
#include "RemoteLock.h"
#include "ScpiEngine.h"
#include "ScpiParser.h"
#include "StandInInstrument.h"

#include <QByteArray>

namespace {
constexpr int kMaxMessages = 64;

void checkParser(QByteArrayView message) {
    ScpiParser parser(message);
    ScpiProgramUnit unit;
    ScpiError error;
    qsizetype units = 0;
    while (parser.next(unit, error) == ScpiParser::Step::Unit) {
        FUZZ_CHECK(++units <= message.size(), "more units than bytes");
        FUZZ_CHECK(!unit.nodes.isEmpty(), "a unit without a header");
        for (const ScpiProgramUnit::Node& node : unit.nodes)
            FUZZ_CHECK(node.length > 0 && node.length <= ScpiProgramUnit::kMaxMnemonic,
                       "a mnemonic of impossible length");
    }
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RemoteLock lock;
    ScpiEngine engine(lock);
    StandInInstrument instrument(engine);
    const auto session = engine.createSession(QStringLiteral("fuzz"));
    const auto other = engine.createSession(QStringLiteral("other"));
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    int messages = 0;
    for (const QByteArray& line : input.split('\n')) {
        if (++messages > kMaxMessages)
            break;
        checkParser(line);
        // Every other message from a second client, so that the lock is contended.
        ScpiSession& who = (messages % 3 == 0) ? *other : *session;
        const QByteArray response = engine.execute(who, line);
        FUZZ_CHECK(response.isEmpty() || (response.endsWith('\n') && response.count('\n') == 1),
                   "a response that is not one line");
        FUZZ_CHECK(who.status().errorCount() <= ScpiErrorQueue::kDefaultCapacity,
                   "the error queue outgrew its bound");
        if (messages == kMaxMessages / 2)
            lock.takeLocal();
    }
    for (double v : instrument.volts)
        FUZZ_CHECK(std::isnan(v) || (v >= -10 && v <= 10), "a value outside the range was written");
    return 0;
}
