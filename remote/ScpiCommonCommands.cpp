#include "ScpiCommonCommands.h"

#include "RemoteLock.h"
#include "ScpiCall.h"
#include "ScpiEngine.h"
#include "ScpiFormat.h"

namespace {
const char kVersion[] = "1999.0";
const char kNoOwner[] = "NONE";
const char kOperation[] = "STATus:OPERation";
const char kQuestionable[] = "STATus:QUEStionable";

using Handler = ScpiCommandEntry::Handler;
using Register = ScpiStatus::Register;

ScpiCommandEntry entry(const char* pattern, Handler set, Handler query, int setParameters = 0) {
    ScpiCommandEntry s;
    s.pattern = pattern;
    s.set = std::move(set);
    s.query = std::move(query);
    s.setMinParameters = s.setMaxParameters = setParameters;
    s.guarded = false;
    return s;
}

ScpiReply integer(qint64 value) {
    return ScpiReply::response(ScpiFormat::integer(value));
}

// A mask register written with one whole number in [0, max].
Handler maskSetter(int max, std::function<void(ScpiStatus&, int)> store) {
    return [max, store](ScpiCall& call) -> ScpiReply {
        int value = 0;
        if (ScpiError e = call.parameter(0).toInt(0, max, &value); e.isError())
            return e;
        store(call.session().status(), value);
        return {};
    };
}
} // namespace

void ScpiCommonCommands::registerAll(ScpiEngine& engine) {
    registerStatusCommands(engine);
    registerRegister(engine, kOperation, int(Register::Operation));
    registerRegister(engine, kQuestionable, int(Register::Questionable));
    registerSystemCommands(engine);
    registerLockCommands(engine);
}

void ScpiCommonCommands::registerStatusCommands(ScpiEngine& engine) {
    ScpiEngine* e = &engine;
    engine.addCommand(entry("*CLS",
                            [](ScpiCall& c) -> ScpiReply {
                                c.session().status().clear();
                                return {};
                            },
                            {}));
    engine.addCommand(entry(
        "*ESE", maskSetter(255, [](ScpiStatus& s, int v) { s.setEse(quint8(v)); }),
        [](ScpiCall& c) { return integer(c.session().status().ese()); }, 1));
    engine.addCommand(
        entry("*ESR", {}, [](ScpiCall& c) { return integer(c.session().status().takeEsr()); }));
    engine.addCommand(entry(
        "*OPC",
        [e](ScpiCall& c) -> ScpiReply {
            e->sync();
            c.session().status().setEventBits(ScpiStatus::OperationComplete);
            return {};
        },
        [e](ScpiCall&) {
            e->sync();
            return integer(1);
        }));
    engine.addCommand(entry(
        "*SRE", maskSetter(255, [](ScpiStatus& s, int v) { s.setSre(quint8(v)); }),
        [](ScpiCall& c) { return integer(c.session().status().sre()); }, 1));
    engine.addCommand(entry("*STB", {}, [](ScpiCall& c) {
        return integer(c.session().status().stb(c.session().messageAvailable()));
    }));
    engine.addCommand(entry("*WAI",
                            [e](ScpiCall&) -> ScpiReply {
                                e->sync();
                                return {};
                            },
                            {}));
    engine.addCommand(entry("STATus:PRESet",
                            [](ScpiCall& c) -> ScpiReply {
                                c.session().status().preset();
                                return {};
                            },
                            {}));
}

// EVENt?, CONDition? and ENABle of one SCPI status register.
void ScpiCommonCommands::registerRegister(ScpiEngine& engine, const char* pattern, int which) {
    const Register r = Register(which);
    const QByteArray base(pattern);
    engine.addCommand(entry((base + "[:EVENt]").constData(), {}, [r](ScpiCall& c) {
        return integer(c.session().status().takeEvent(r));
    }));
    engine.addCommand(entry((base + ":CONDition").constData(), {}, [r](ScpiCall& c) {
        return integer(c.session().status().condition(r));
    }));
    engine.addCommand(
        entry((base + ":ENABle").constData(),
              maskSetter(32767, [r](ScpiStatus& s, int v) { s.setEnable(r, quint16(v)); }),
              [r](ScpiCall& c) { return integer(c.session().status().enable(r)); }, 1));
}

void ScpiCommonCommands::registerSystemCommands(ScpiEngine& engine) {
    engine.addCommand(entry("SYSTem:ERRor[:NEXT]", {}, [](ScpiCall& c) {
        return ScpiReply::response(c.session().status().takeError().toResponse());
    }));
    engine.addCommand(entry("SYSTem:ERRor:COUNt", {}, [](ScpiCall& c) {
        return integer(c.session().status().errorCount());
    }));
    engine.addCommand(
        entry("SYSTem:VERSion", {}, [](ScpiCall&) { return ScpiReply::response(kVersion); }));
}

void ScpiCommonCommands::registerLockCommands(ScpiEngine& engine) {
    RemoteLock* lock = &engine.lock();
    engine.addCommand(entry("SYSTem:LOCK:REQuest", {}, [lock](ScpiCall& c) {
        return integer(lock->request(c.session().ownerId(), c.session().name()) ? 1 : 0);
    }));
    engine.addCommand(entry("SYSTem:LOCK:RELease",
                            [lock](ScpiCall& c) -> ScpiReply {
                                lock->release(c.session().ownerId());
                                return {};
                            },
                            {}));
    engine.addCommand(entry("SYSTem:LOCK:OWNer", {}, [lock](ScpiCall&) {
        const QString owner = lock->ownerName();
        return ScpiReply::response(
            ScpiFormat::quoted(owner.isEmpty() ? QByteArray(kNoOwner) : owner.toUtf8()));
    }));
}
