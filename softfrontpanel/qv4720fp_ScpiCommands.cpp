#include "qv4720fp_ScpiCommands.h"

#include "ScpiCall.h"
#include "ScpiEngine.h"
#include "ScpiFormat.h"
#include "qv4720fp_CardEngine.h"
#include "qv4720fp_CardSession.h"

namespace {
const char* const kMaker = "Quorvel";
const char* const kIdentity = "%1,%2,%3,%4";
const char* const kNoRange = "the card reported no usable output range";
const char* const kVoltage = "[SOURce#]:VOLTage[:LEVel][:IMMediate][:AMPLitude]";
const char* const kSelect = "INSTrument:NSELect";
const char* const kChannelVariable = "channel";
const int kWarningCode = 1; // a device-dependent event: the write was made

using Session = qv4720fp_CardSession;

// The driver's own text, as the panel's box shows it.
ScpiError driverError(const QString& report) {
    return ScpiError::standard(ScpiError::DeviceError, report.toUtf8());
}

// A warning does not stop the command: it goes to the client's queue.
ScpiReply afterDriver(ScpiCall& call, ViStatus status, const QString& report) {
    if (status < VI_SUCCESS)
        return driverError(report);
    if (status > VI_SUCCESS)
        call.session().postError(ScpiError(kWarningCode, report.toUtf8()));
    return {};
}

ScpiParameter::Limits limitsOf(const Session* session) {
    const double lo = session->loLimit();
    const double hi = session->hiLimit();
    const double def = lo <= 0.0 && 0.0 <= hi ? 0.0 : lo;
    return {lo, hi, def};
}

ScpiReply identify(Session* session) {
    const Session::Identity identity = session->identity();
    return ScpiReply::response(QString::fromLatin1(kIdentity)
                                   .arg(QString::fromLatin1(kMaker), identity.model,
                                        identity.serialNumber, identity.firmwareRevision)
                                   .toUtf8());
}

ScpiReply reset(ScpiCall& call, Session* session) {
    const ViStatus status = session->reset();
    return afterDriver(call, status, Session::resetReport(status));
}

ScpiReply setVoltage(ScpiCall& call, Session* session, qv4720fp_CardEngine* cardEngine) {
    if (!session->rangeValid())
        return ScpiError::standard(ScpiError::DataOutOfRange, kNoRange);
    double volts = 0.0;
    if (const ScpiError error = call.real(0, limitsOf(session), &volts); error.isError())
        return error;
    const int channel = call.suffix(0);
    if (cardEngine->guards(channel)) {
        const SinkStatus status = cardEngine->set(channel, volts, LimitMode::Refuse);
        return status.ok ? ScpiReply()
                         : ScpiReply(ScpiError::standard(ScpiError::DataOutOfRange,
                                                         status.error.toUtf8()));
    }
    const Session::WriteResult result = session->writeChannel(channel, volts);
    if (result.refusal != Session::Refusal::None)
        return ScpiError::standard(ScpiError::DataOutOfRange,
                                   session->refusalText(channel, volts, result.refusal).toUtf8());
    return afterDriver(call, result.status,
                       session->statusReport(result.status, Session::Call::WriteChannel));
}

// "?" answers what this program wrote (SCPI's not-a-number when it does not
// know); "? MIN" and "? MAX" the card's range.
ScpiReply queryVoltage(ScpiCall& call, Session* session) {
    if (call.parameterCount() == 1) {
        switch (call.parameter(0).keyword()) {
        case ScpiParameter::Keyword::Minimum:
            return ScpiReply::response(ScpiFormat::real(session->loLimit()));
        case ScpiParameter::Keyword::Maximum:
            return ScpiReply::response(ScpiFormat::real(session->hiLimit()));
        default:
            return ScpiError::standard(ScpiError::ParameterNotAllowed);
        }
    }
    const std::optional<double> volts = session->setpoint(call.suffix(0));
    return ScpiReply::response(ScpiFormat::real(volts ? *volts : ScpiFormat::kNotANumber));
}

ScpiReply selectChannel(ScpiCall& call) {
    int channel = 1;
    if (const ScpiError error = call.parameter(0).toInt(1, Session::ChannelCount, &channel);
        error.isError())
        return error;
    call.session().setVariable(kChannelVariable, channel);
    return {};
}

void add(ScpiEngine& engine, const ScpiCommandEntry& entry) {
    QString error;
    if (!engine.addCommand(entry, &error))
        qFatal("SCPI command table: %s", qPrintable(error)); // a fault of this file
}
} // namespace

void qv4720fp_ScpiCommands::addTo(ScpiEngine& engine, qv4720fp_CardSession* session,
                                  qv4720fp_CardEngine* cardEngine) {
    ScpiCommandEntry idn;
    idn.pattern = "*IDN";
    idn.query = [session](ScpiCall&) { return identify(session); };
    add(engine, idn);

    ScpiCommandEntry rst;
    rst.pattern = "*RST";
    rst.set = [session](ScpiCall& call) { return reset(call, session); };
    rst.setMinParameters = rst.setMaxParameters = 0;
    add(engine, rst);

    ScpiCommandEntry tst;
    tst.pattern = "*TST";
    tst.query = [session](ScpiCall&) {
        return ScpiReply::response(session->isOpen() && session->rangeValid() ? "0" : "1");
    };
    add(engine, tst);

    ScpiCommandEntry voltage;
    voltage.pattern = kVoltage;
    voltage.suffixes = {{1, Session::ChannelCount, kChannelVariable}};
    voltage.units = {"V"};
    voltage.set = [session, cardEngine](ScpiCall& call) {
        return setVoltage(call, session, cardEngine);
    };
    voltage.query = [session](ScpiCall& call) { return queryVoltage(call, session); };
    voltage.queryMaxParameters = 1;
    add(engine, voltage);

    ScpiCommandEntry select;
    select.pattern = kSelect;
    select.guarded = false; // a client's own choice, not the card's state
    select.set = [](ScpiCall& call) { return selectChannel(call); };
    select.query = [](ScpiCall& call) {
        return ScpiReply::response(
            ScpiFormat::integer(call.session().variable(kChannelVariable, 1)));
    };
    add(engine, select);
}
