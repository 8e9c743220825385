#include "BenchInstrument.h"

#include "ScpiCall.h"
#include "ScpiEngine.h"
#include "ScpiFormat.h"

namespace {
const char kIdentity[] = "MAKER,MODEL,00001A2B,1.0.3";
constexpr ScpiParameter::Limits kLimits{-10, 10, 0};
} // namespace

BenchInstrument::BenchInstrument(ScpiEngine& engine) {
    ScpiCommandSpec idn;
    idn.pattern = "*IDN?";
    idn.query = [](ScpiCall&) { return ScpiReply::response(kIdentity); };
    engine.addCommand(idn);

    ScpiCommandSpec voltage;
    voltage.pattern = "[SOURce#]:VOLTage[:LEVel][:IMMediate][:AMPLitude]";
    voltage.suffixes = {{1, 8, "channel"}};
    voltage.units = {"V"};
    voltage.queryMaxParameters = 1;
    voltage.set = [this](ScpiCall& c) -> ScpiReply {
        double v = 0;
        if (ScpiError e = c.real(0, kLimits, &v); e.isError())
            return e;
        volts_[size_t(c.suffix(0) - 1)] = v;
        return {};
    };
    voltage.query = [this](ScpiCall& c) {
        return ScpiReply::response(ScpiFormat::real(volts_[size_t(c.suffix(0) - 1)]));
    };
    engine.addCommand(voltage);
}
