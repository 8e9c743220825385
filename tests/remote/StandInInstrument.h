// A small instrument for the remote tests: eight channels of -10..10 V that
// remember what was written (unknown until then), a channel selector, an
// identity and a query with a long answer.
#ifndef SFP_TEST_STANDININSTRUMENT_H
#define SFP_TEST_STANDININSTRUMENT_H

#include "ScpiCall.h"
#include "ScpiEngine.h"
#include "ScpiFormat.h"
#include "ScpiSession.h"

#include <array>
#include <cmath>

struct StandInInstrument {
    static constexpr ScpiParameter::Limits kLimits{-10, 10, 0};
    std::array<double, 8> volts;
    int writes = 0;

    explicit StandInInstrument(ScpiEngine& engine) {
        volts.fill(std::nan(""));
        ScpiCommandEntry voltage;
        voltage.pattern = "[SOURce#]:VOLTage[:LEVel][:IMMediate][:AMPLitude]";
        voltage.suffixes = {{1, 8, "channel"}};
        voltage.units = {"V"};
        voltage.queryMaxParameters = 1;
        voltage.set = [this](ScpiCall& c) -> ScpiReply {
            double v = 0;
            if (ScpiError e = c.real(0, kLimits, &v); e.isError())
                return e;
            volts[size_t(c.suffix(0) - 1)] = v;
            ++writes;
            return {};
        };
        voltage.query = [this](ScpiCall& c) -> ScpiReply {
            double v = volts[size_t(c.suffix(0) - 1)];
            if (c.parameterCount() == 1 && c.real(0, kLimits, &v).isError())
                return ScpiError::standard(ScpiError::DataTypeError);
            return ScpiReply::response(ScpiFormat::real(v));
        };
        ScpiCommandEntry select;
        select.pattern = "INSTrument:NSELect";
        select.guarded = false;
        select.set = [](ScpiCall& c) -> ScpiReply {
            int n = 0;
            if (ScpiError e = c.parameter(0).toInt(1, 8, &n); e.isError())
                return e;
            c.session().setVariable("channel", n);
            return {};
        };
        ScpiCommandEntry idn;
        idn.pattern = "*IDN?";
        idn.query = [](ScpiCall&) { return ScpiReply::response("MAKER,MODEL,0001,1.0"); };
        ScpiCommandEntry big;
        big.pattern = "BIG?";
        big.query = [](ScpiCall&) { return ScpiReply::response(QByteArray(16384, 'x')); };
        for (const ScpiCommandEntry& entry : {voltage, select, idn, big})
            engine.addCommand(entry);
    }
};

#endif
