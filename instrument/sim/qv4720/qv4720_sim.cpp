// Driver stand-in for the 4720 DAC card: opens the card through a VISA
// session to its carrier and keeps the channel outputs in the bench.
#include "Bounded.h"
#include "Simulator.h"
#include "StatusText.h"
#include "Trace.h"
#include "qv4720.h"

#include <cmath>
#include <cstring>

using namespace zsim;

namespace {

const char* const kDriverRevision = "2.1.0";
constexpr size_t kMaxResourceText = 1 << 16;

Simulator& sim() {
    return Simulator::instance();
}

// A session opened by qv4720_paramInit and the card it drives.
struct DriverSession {
    ObjectView view;
    const Card* card = nullptr;
};

std::optional<DriverSession> driverSession(ViSession vi) {
    std::optional<ObjectView> v = sim().view(vi);
    if (!v || v->kind != ObjectKind::Session || v->driverFc == 0 || !v->resource ||
        !v->resource->carrier)
        return std::nullopt;
    const Card* card = v->resource->carrier->card(v->driverFc);
    return DriverSession{std::move(*v), card};
}

std::optional<int32_t> sessionFault(const std::optional<DriverSession>& s, const char* function) {
    if (!s)
        return injectedStatus(*sim().bench(), nullptr, nullptr, function);
    return injectedStatus(*s->view.bench, s->view.resource, s->card, function);
}

// The first of several descriptors joined by ",", without surrounding blanks.
std::string firstDescriptor(const char* resourceName) {
    std::string text(resourceName, strnlen(resourceName, kMaxResourceText));
    text = text.substr(0, text.find(','));
    const size_t begin = text.find_first_not_of(" \t");
    const size_t end = text.find_last_not_of(" \t");
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

ViStatus checkCard(const Resource& resource, ViUInt16 fcNumber) {
    if (!resource.carrier)
        return QV4720_ERROR_NOT_CARRIER;
    const Card* card = resource.carrier->card(fcNumber);
    if (!card)
        return QV4720_ERROR_FC_NUMBER;
    if (card->code == 0)
        return QV4720_ERROR_NO_CARD;
    if (card->code != kModel4720)
        return QV4720_ERROR_WRONG_MODEL;
    return VI_SUCCESS;
}

ViStatus openCard(const std::string& descriptor, ViUInt16 fcNumber, bool reset,
                  ViSession* session) {
    ViStatus status = sim().openSession(VI_NULL, descriptor, session);
    if (status < 0)
        return status;
    const std::optional<ObjectView> view = sim().view(*session);
    status = view && view->resource ? checkCard(*view->resource, fcNumber) : VI_ERROR_RSRC_NFOUND;
    if (status < 0) {
        sim().close(*session);
        *session = VI_NULL;
        return status;
    }
    sim().bindDriver(*session, fcNumber);
    ObjectView card = *view;
    card.driverFc = fcNumber;
    if (reset)
        sim().resetOutputs(card);
    return VI_SUCCESS;
}

std::optional<int32_t> paramInitFault(const std::string& descriptor, ViUInt16 fcNumber) {
    const std::shared_ptr<const Bench> bench = sim().bench();
    const Resource* resource = Simulator::findResource(*bench, descriptor);
    const Card* card = resource && resource->carrier ? resource->carrier->card(fcNumber) : nullptr;
    return injectedStatus(*bench, resource, card, "qv4720_paramInit");
}

} // namespace

ZSIM_EXPORT ViStatus qv4720_paramInit(ViRsrc resourceName, ViUInt16 fcNumber, ViBoolean idQuery,
                                      ViBoolean reset, ViPSession vi) {
    TraceLine trace("qv4720_paramInit");
    const std::string descriptor = resourceName ? firstDescriptor(resourceName) : std::string();
    ViSession session = VI_NULL;
    const ViStatus status = withInjected(paramInitFault(descriptor, fcNumber), [&] {
        if (!resourceName || !vi)
            return QV4720_ERROR_NULL_POINTER;
        return openCard(descriptor, fcNumber, reset != VI_FALSE, &session);
    });
    if (vi)
        *vi = session;
    trace.text("resourceName", resourceName, kMaxResourceText).num("fcNumber", fcNumber);
    trace.num("idQuery", idQuery).num("reset", reset);
    return trace.num("vi", session).done(status);
}

ZSIM_EXPORT ViStatus qv4720_getOutputRange(ViSession vi, ViReal64* loLimit, ViReal64* hiLimit) {
    TraceLine trace("qv4720_getOutputRange");
    const std::optional<DriverSession> s = driverSession(vi);
    double lo = 0, hi = 0;
    const ViStatus status = withInjected(sessionFault(s, "qv4720_getOutputRange"), [&] {
        if (!s)
            return QV4720_ERROR_INV_SESSION;
        if (!loLimit || !hiLimit)
            return QV4720_ERROR_NULL_POINTER;
        lo = *loLimit = s->card->rangeLow;
        hi = *hiLimit = s->card->rangeHigh;
        return VI_SUCCESS;
    });
    return trace.num("vi", vi).real("loLimit", lo).real("hiLimit", hi).done(status);
}

ZSIM_EXPORT ViStatus qv4720_readSerialNo(ViSession vi, ViUInt32* serialNumber, ViChar subtype[]) {
    TraceLine trace("qv4720_readSerialNo");
    const std::optional<DriverSession> s = driverSession(vi);
    ViUInt32 serial = 0;
    std::string type;
    const ViStatus status = withInjected(sessionFault(s, "qv4720_readSerialNo"), [&] {
        if (!s)
            return QV4720_ERROR_INV_SESSION;
        if (!serialNumber || !subtype)
            return QV4720_ERROR_NULL_POINTER;
        serial = *serialNumber = s->card->serial;
        type = s->card->subtype;
        copyBounded(subtype, type, QV4720_SUBTYPE_BUFLEN);
        return VI_SUCCESS;
    });
    trace.num("vi", vi).hex("serialNumber", serial);
    return trace.text("subtype", type.c_str(), QV4720_SUBTYPE_BUFLEN - 1).done(status);
}

ZSIM_EXPORT ViStatus qv4720_revision_query(ViSession vi, ViChar driverRevision[],
                                           ViChar instrumentFirmwareRevision[]) {
    TraceLine trace("qv4720_revision_query");
    const std::optional<DriverSession> s = vi == VI_NULL ? std::nullopt : driverSession(vi);
    std::string firmware;
    bool wrote = false;
    const ViStatus status = withInjected(sessionFault(s, "qv4720_revision_query"), [&] {
        if (vi != VI_NULL && !s)
            return QV4720_ERROR_INV_SESSION;
        if (!driverRevision)
            return QV4720_ERROR_NULL_POINTER;
        copyBounded(driverRevision, kDriverRevision, QV4720_REVISION_BUFLEN);
        wrote = true;
        if (!instrumentFirmwareRevision)
            return VI_SUCCESS;
        firmware = s ? s->card->firmware : std::string();
        copyBounded(instrumentFirmwareRevision, firmware, QV4720_REVISION_BUFLEN);
        // Without a session there is no card to ask.
        return s ? VI_SUCCESS : QV4720_WARN_NO_FIRMWARE;
    });
    trace.num("vi", vi).text("driverRevision", wrote ? kDriverRevision : "");
    if (instrumentFirmwareRevision)
        trace.text("instrumentFirmwareRevision", firmware.c_str());
    else
        trace.null("instrumentFirmwareRevision");
    return trace.done(status);
}

ZSIM_EXPORT ViStatus qv4720_writeChannel(ViSession vi, ViUInt16 channel, ViReal64 value) {
    TraceLine trace("qv4720_writeChannel");
    const std::optional<DriverSession> s = driverSession(vi);
    const ViStatus status = withInjected(sessionFault(s, "qv4720_writeChannel"), [&] {
        if (!s)
            return QV4720_ERROR_INV_SESSION;
        if (channel < 1 || channel > QV4720_CHANNEL_COUNT)
            return QV4720_ERROR_CHANNEL;
        if (!(value >= s->card->rangeLow && value <= s->card->rangeHigh))
            return QV4720_ERROR_VALUE; // NaN too
        sim().setOutput(s->view, channel, value);
        return VI_SUCCESS;
    });
    return trace.num("vi", vi).num("channel", channel).real("value", value).done(status);
}

ZSIM_EXPORT ViStatus qv4720_reset(ViSession vi) {
    TraceLine trace("qv4720_reset");
    const std::optional<DriverSession> s = driverSession(vi);
    const ViStatus status = withInjected(sessionFault(s, "qv4720_reset"), [&] {
        if (!s)
            return QV4720_ERROR_INV_SESSION;
        sim().resetOutputs(s->view);
        return VI_SUCCESS;
    });
    return trace.num("vi", vi).done(status);
}

ZSIM_EXPORT ViStatus qv4720_close(ViSession vi) {
    TraceLine trace("qv4720_close");
    const std::optional<DriverSession> s = driverSession(vi);
    const ViStatus status = withInjected(sessionFault(s, "qv4720_close"), [&] {
        return s ? sim().close(vi) : QV4720_ERROR_INV_SESSION;
    });
    return trace.num("vi", vi).done(status);
}

ZSIM_EXPORT ViStatus qv4720_error_message(ViSession vi, ViStatus status, ViChar message[]) {
    TraceLine trace("qv4720_error_message");
    const std::optional<int32_t> fault =
        injectedStatus(*sim().bench(), nullptr, nullptr, "qv4720_error_message");
    const ViStatus result = withInjected(fault, [&] {
        if (!message)
            return QV4720_ERROR_NULL_POINTER;
        const StatusInfo* info = findStatus(status, kDriverStatuses | kVisaStatuses);
        copyBounded(message, info ? info->text : "", QV4720_ERROR_MESSAGE_BUFLEN);
        return info ? VI_SUCCESS : VI_WARN_UNKNOWN_STATUS;
    });
    trace.num("vi", vi).num("status", status);
    return trace.text("message", result < 0 || !message ? "" : message, QV4720_ERROR_MESSAGE_BUFLEN)
        .done(result);
}
