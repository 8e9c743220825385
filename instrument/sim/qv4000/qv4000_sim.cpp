// Carrier library stand-in: opens a carrier on a VISA session and hands out
// the carrier object the discovery reads, over the simulated bench.
#include "Bounded.h"
#include "Simulator.h"
#include "StatusText.h"
#include "Trace.h"
#include "qv4000.h"

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

using namespace zsim;

namespace {

const char* const kLibraryRevision = "3.1.0 (simulated)";
constexpr ViUInt32 kCodeOffset = 0;
constexpr ViUInt32 kRegisterSpace = 256;

// The object the caller sees comes first; the rest is ours.
struct OpenCarrier {
    qv4000_carrierObject object{};
    qv4000_description description{};
    std::shared_ptr<const Bench> bench;
    const Resource* resource = nullptr;
};

// The carriers handed out, by the pointer the caller holds. Never destroyed:
// clients may still close carriers while the process exits.
struct Registry {
    std::mutex mutex;
    std::map<const qv4000_carrierObject*, std::unique_ptr<OpenCarrier>> open;
};

Registry& registry() {
    static Registry* r = new Registry();
    return *r;
}

struct CarrierRef {
    std::shared_ptr<const Bench> bench;
    const Resource* resource = nullptr;
};

// Looks the pointer up instead of trusting it: a stale or foreign pointer
// gets an error, not a crash.
std::optional<CarrierRef> lookUp(const qv4000_carrierObject* carrier) {
    std::lock_guard<std::mutex> lock(registry().mutex);
    const auto it = registry().open.find(carrier);
    if (it == registry().open.end())
        return std::nullopt;
    return CarrierRef{it->second->bench, it->second->resource};
}

std::string pointerText(const void* p) {
    if (!p)
        return "NULL";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%p", p);
    return buf;
}

ViStatus readRegister(const Carrier& carrier, ViUInt16 fcNumber, ViUInt32 offset,
                      ViUInt16* result) {
    if (!result)
        return QV4000_ERROR_NULL_POINTER;
    const Card* card = carrier.card(fcNumber);
    if (!card)
        return QV4000_ERROR_FC_NUMBER;
    if (card->code == 0)
        return QV4000_ERROR_EMPTY_SLOT;
    if (offset % 2 != 0 || offset >= kRegisterSpace)
        return QV4000_ERROR_OFFSET;
    ViUInt16 value = 0;
    if (offset == kCodeOffset)
        value = card->code;
    else if (offset == QV4000_VARIANT_OFFSET)
        for (char c : card->variant)
            value = static_cast<ViUInt16>((value << 8) | static_cast<unsigned char>(c));
    *result = value;
    return VI_SUCCESS;
}

ViStatus readCard16(qv4000_carrierObject* carrier, ViUInt16 fcNumber, ViUInt32 offset,
                    ViUInt16* result) {
    TraceLine trace("readCard16");
    const std::optional<CarrierRef> ref = lookUp(carrier);
    const Card* card = ref && ref->resource && ref->resource->carrier
                           ? ref->resource->carrier->card(fcNumber)
                           : nullptr;
    const std::shared_ptr<const Bench> bench = ref ? ref->bench : Simulator::instance().bench();
    ViUInt16 value = 0;
    const ViStatus status = withInjected(
        injectedStatus(*bench, ref ? ref->resource : nullptr, card, "readCard16"), [&] {
            if (!ref)
                return QV4000_ERROR_NOT_OPEN;
            const ViStatus s = readRegister(*ref->resource->carrier, fcNumber, offset, &value);
            if (s >= 0 && result)
                *result = value;
            return result ? s : QV4000_ERROR_NULL_POINTER;
        });
    trace.word("carrier", pointerText(carrier)).num("fcNumber", fcNumber).num("offset", offset);
    return trace.num("result", value).done(status);
}

qv4000_interfaceTable g_cardInterface = {{nullptr, nullptr, nullptr, nullptr}, &readCard16};

qv4000_interfaceTable* getInterface(qv4000_carrierObject* carrier, int32_t selector,
                                    int32_t version) {
    if (selector != QV4000_CARD_INTERFACE_SELECTOR || version != QV4000_CARD_INTERFACE_VERSION ||
        !lookUp(carrier))
        return nullptr;
    return &g_cardInterface;
}

std::unique_ptr<OpenCarrier> makeCarrier(const ObjectView& session) {
    auto open = std::make_unique<OpenCarrier>();
    const Carrier& c = *session.resource->carrier;
    open->bench = session.bench;
    open->resource = session.resource;
    open->description.slotCount = c.slotCount;
    open->description.carrierModel = c.model;
    for (int i = 0; i < c.slotCount && i < QV4000_MAX_SLOTS; ++i)
        open->description.slotCodes[i] = c.slots[static_cast<size_t>(i)].code;
    open->object.description = &open->description;
    open->object.getInterface = &getInterface;
    return open;
}

ViStatus openCarrier(ViSession vi, qv4000_carrierRecord* record) {
    if (!record)
        return QV4000_ERROR_NULL_POINTER;
    const std::optional<ObjectView> session = Simulator::instance().view(vi);
    if (!session || session->kind != ObjectKind::Session || !session->resource)
        return QV4000_ERROR_INV_SESSION;
    if (!session->resource->carrier)
        return QV4000_ERROR_NOT_CARRIER;
    std::unique_ptr<OpenCarrier> open = makeCarrier(*session);
    record->carrier = &open->object;
    std::lock_guard<std::mutex> lock(registry().mutex);
    registry().open.emplace(&open->object, std::move(open));
    return VI_SUCCESS;
}

ViStatus closeCarrier(qv4000_carrierRecord* record) {
    if (!record)
        return QV4000_ERROR_NULL_POINTER;
    std::lock_guard<std::mutex> lock(registry().mutex);
    if (registry().open.erase(record->carrier) == 0)
        return QV4000_ERROR_NOT_OPEN;
    record->carrier = nullptr;
    return VI_SUCCESS;
}

std::optional<int32_t> benchFault(const char* function) {
    return injectedStatus(*Simulator::instance().bench(), nullptr, nullptr, function);
}

} // namespace

ZSIM_EXPORT ViStatus qv4000_libraryRevision(ViChar* revision) {
    TraceLine trace("qv4000_libraryRevision");
    const ViStatus status = withInjected(benchFault("qv4000_libraryRevision"), [&] {
        if (!revision)
            return QV4000_ERROR_NULL_POINTER;
        copyBounded(revision, kLibraryRevision, QV4000_LIBRARY_REVISION_BUFLEN);
        return VI_SUCCESS;
    });
    return trace.text("revision", status < 0 ? "" : revision, QV4000_LIBRARY_REVISION_BUFLEN)
        .done(status);
}

ZSIM_EXPORT ViStatus qv4000_openCarrier(ViSession vi, qv4000_carrierRecord* record) {
    TraceLine trace("qv4000_openCarrier");
    const std::optional<ObjectView> session = Simulator::instance().view(vi);
    const std::shared_ptr<const Bench> bench =
        session ? session->bench : Simulator::instance().bench();
    const ViStatus status =
        withInjected(injectedStatus(*bench, session ? session->resource : nullptr, nullptr,
                                    "qv4000_openCarrier"),
                     [&] { return openCarrier(vi, record); });
    trace.num("vi", vi);
    return trace.word("carrier", pointerText(status >= 0 && record ? record->carrier : nullptr))
        .done(status);
}

ZSIM_EXPORT ViStatus qv4000_closeCarrier(qv4000_carrierRecord* record) {
    TraceLine trace("qv4000_closeCarrier");
    const qv4000_carrierObject* carrier = record ? record->carrier : nullptr;
    const std::optional<CarrierRef> ref = lookUp(carrier);
    const std::shared_ptr<const Bench> bench = ref ? ref->bench : Simulator::instance().bench();
    const ViStatus status = withInjected(
        injectedStatus(*bench, ref ? ref->resource : nullptr, nullptr, "qv4000_closeCarrier"),
        [&] { return closeCarrier(record); });
    return trace.word("carrier", pointerText(carrier)).done(status);
}

ZSIM_EXPORT ViStatus qv4000_errorMessage(ViStatus status, ViChar message[]) {
    TraceLine trace("qv4000_errorMessage");
    const ViStatus result = withInjected(benchFault("qv4000_errorMessage"), [&] {
        if (!message)
            return QV4000_ERROR_NULL_POINTER;
        const unsigned all = kVisaStatuses | kCarrierStatuses | kDriverStatuses;
        if (const StatusInfo* info = findStatus(status, all)) {
            copyBounded(message, info->text, QV4000_ERROR_MESSAGE_BUFLEN);
            return VI_SUCCESS;
        }
        char text[64];
        std::snprintf(text, sizeof text, "Unknown status code 0x%08X.",
                      static_cast<uint32_t>(status));
        copyBounded(message, text, QV4000_ERROR_MESSAGE_BUFLEN);
        return VI_WARN_UNKNOWN_STATUS;
    });
    trace.num("status", status);
    return trace.text("message", result < 0 ? "" : message, QV4000_ERROR_MESSAGE_BUFLEN)
        .done(result);
}
