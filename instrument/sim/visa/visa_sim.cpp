// VISA stand-in over the simulated bench: resource manager, resource search,
// sessions, attributes, descriptor parsing and status texts.
#include "Bounded.h"
#include "FindExpression.h"
#include "Simulator.h"
#include "StatusText.h"
#include "Trace.h"
#include "VisaNames.h"
#include "visa.h"

#include <cstdio>

using namespace zsim;

namespace {

constexpr uint32_t kAccessModes = 1 | 2 | 4; // exclusive lock, shared lock, load config

Simulator& sim() {
    return Simulator::instance();
}

std::optional<int32_t> benchFault(const char* function) {
    return injectedStatus(*sim().bench(), nullptr, nullptr, function);
}

// The injected status for a call on an object: its resource's, else the bench's.
std::optional<int32_t> objectFault(ViObject object, const char* function,
                                   const char* attribute = nullptr) {
    const std::optional<ObjectView> v = sim().view(object);
    const std::shared_ptr<const Bench> bench = v ? v->bench : sim().bench();
    return injectedStatus(*bench, v ? v->resource : nullptr, nullptr, function, attribute);
}

std::optional<int32_t> nameFault(ViConstString name, const char* function) {
    const std::shared_ptr<const Bench> bench = sim().bench();
    const Resource* resource = name ? Simulator::findResource(*bench, name) : nullptr;
    return injectedStatus(*bench, resource, nullptr, function);
}

std::string attributeText(ViAttr attr) {
    if (const char* name = attributeName(attr))
        return name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", attr);
    return buf;
}

bool isResourceManager(ViSession sesn) {
    const std::optional<ObjectView> v = sim().view(sesn);
    return v && v->kind == ObjectKind::ResourceManager;
}

ViStatus findResources(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                       ViChar desc[]) {
    if (!isResourceManager(sesn))
        return VI_ERROR_INV_OBJECT;
    const FindExpression expression(expr ? expr : "");
    if (!expression.valid())
        return VI_ERROR_INV_EXPR;
    std::vector<std::string> found;
    for (const Resource& r : sim().bench()->resources)
        if (expression.matches(r.descriptor))
            found.push_back(r.descriptor);
    if (retCnt)
        *retCnt = static_cast<ViUInt32>(found.size());
    if (found.empty())
        return VI_ERROR_RSRC_NFOUND;
    if (desc)
        copyBounded(desc, found.front(), VI_FIND_BUFLEN);
    if (!vi)
        return VI_SUCCESS;
    found.erase(found.begin());
    return sim().createFindList(sesn, std::move(found), vi);
}

// Attribute values of a session, 16-bit, 32-bit or text.
struct AttributeValue {
    enum Kind { U16, I16, U32, Text } kind = U32;
    uint32_t number = 0;
    std::string text;
};

ViStatus sessionAttribute(const Resource& r, uint32_t timeoutMs, ViAttr attr, AttributeValue& out) {
    const bool tcpip = r.name.intfType == VI_INTF_TCPIP;
    const bool vxi = r.name.intfType == VI_INTF_VXI || r.name.intfType == VI_INTF_GPIB_VXI;
    switch (attr) {
    case VI_ATTR_INTF_TYPE:
        out = {AttributeValue::U16, r.name.intfType, {}};
        return VI_SUCCESS;
    case VI_ATTR_INTF_NUM:
        out = {AttributeValue::U16, r.name.board, {}};
        return VI_SUCCESS;
    case VI_ATTR_SLOT:
        if (!vxi)
            return VI_ERROR_NSUP_ATTR;
        out = {AttributeValue::I16, static_cast<uint32_t>(r.slot.value_or(VI_UNKNOWN_SLOT)), {}};
        return VI_SUCCESS;
    case VI_ATTR_TMO_VALUE:
        out = {AttributeValue::U32, timeoutMs, {}};
        return VI_SUCCESS;
    case VI_ATTR_RSRC_NAME:
        out = {AttributeValue::Text, 0, r.descriptor};
        return VI_SUCCESS;
    case VI_ATTR_RSRC_CLASS:
        out = {AttributeValue::Text, 0, r.name.rsrcClass};
        return VI_SUCCESS;
    case VI_ATTR_TCPIP_ADDR:
    case VI_ATTR_TCPIP_DEVICE_NAME:
        if (!tcpip)
            return VI_ERROR_NSUP_ATTR;
        out = {AttributeValue::Text, 0, attr == VI_ATTR_TCPIP_ADDR ? r.address : r.deviceName};
        return VI_SUCCESS;
    case VI_ATTR_TCPIP_HOSTNAME:
        if (!tcpip || !r.hostname) // no name known for the address: the look-up fails
            return VI_ERROR_NSUP_ATTR;
        out = {AttributeValue::Text, 0, *r.hostname};
        return VI_SUCCESS;
    default:
        return VI_ERROR_NSUP_ATTR;
    }
}

ViStatus objectAttribute(ViObject vi, ViAttr attr, AttributeValue& out) {
    const std::optional<ObjectView> v = sim().view(vi);
    if (!v)
        return VI_ERROR_INV_OBJECT;
    if (v->kind == ObjectKind::Session && v->resource)
        return sessionAttribute(*v->resource, v->timeoutMs, attr, out);
    if (v->kind == ObjectKind::ResourceManager && attr == VI_ATTR_TMO_VALUE) {
        out = {AttributeValue::U32, v->timeoutMs, {}};
        return VI_SUCCESS;
    }
    return VI_ERROR_NSUP_ATTR;
}

void store(const AttributeValue& value, void* attrValue, TraceLine& trace) {
    switch (value.kind) {
    case AttributeValue::U16:
        *static_cast<ViUInt16*>(attrValue) = static_cast<ViUInt16>(value.number);
        trace.num("attrValue", static_cast<ViUInt16>(value.number));
        break;
    case AttributeValue::I16:
        *static_cast<ViInt16*>(attrValue) = static_cast<ViInt16>(value.number);
        trace.num("attrValue", static_cast<ViInt16>(value.number));
        break;
    case AttributeValue::U32:
        *static_cast<ViUInt32*>(attrValue) = value.number;
        trace.num("attrValue", value.number);
        break;
    case AttributeValue::Text:
        copyBounded(static_cast<char*>(attrValue), value.text, VI_FIND_BUFLEN);
        trace.text("attrValue", static_cast<char*>(attrValue), VI_FIND_BUFLEN);
        break;
    }
}

ViStatus parseName(ViSession rmSesn, ViConstRsrc rsrcName, ResourceName& parsed) {
    if (!isResourceManager(rmSesn))
        return VI_ERROR_INV_OBJECT;
    if (!rsrcName || !parseResourceName(rsrcName, parsed))
        return VI_ERROR_INV_RSRC_NAME;
    return VI_SUCCESS;
}

} // namespace

ZSIM_EXPORT ViStatus viOpenDefaultRM(ViPSession vi) {
    TraceLine trace("viOpenDefaultRM");
    ViSession rm = VI_NULL;
    const ViStatus status = withInjected(benchFault("viOpenDefaultRM"), [&] {
        return vi ? sim().openResourceManager(&rm) : VI_ERROR_USER_BUF;
    });
    if (vi)
        *vi = rm;
    return trace.num("vi", rm).done(status);
}

ZSIM_EXPORT ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi,
                                ViPUInt32 retCnt, ViChar desc[]) {
    TraceLine trace("viFindRsrc");
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    const ViStatus status = withInjected(benchFault("viFindRsrc"), [&] {
        if (desc)
            desc[0] = '\0';
        return findResources(sesn, expr, vi ? &list : nullptr, &count, desc);
    });
    if (vi)
        *vi = status < 0 ? VI_NULL : list;
    if (retCnt)
        *retCnt = status < 0 ? 0 : count;
    trace.num("sesn", sesn).text("expr", expr).num("vi", list).num("retCnt", count);
    return trace.text("desc", status < 0 ? "" : desc, VI_FIND_BUFLEN).done(status);
}

ZSIM_EXPORT ViStatus viFindNext(ViFindList vi, ViChar desc[]) {
    TraceLine trace("viFindNext");
    std::string next;
    const ViStatus status = withInjected(benchFault("viFindNext"), [&] {
        if (!desc)
            return VI_ERROR_USER_BUF;
        const ViStatus s = sim().findNext(vi, next);
        if (s >= 0)
            copyBounded(desc, next, VI_FIND_BUFLEN);
        return s;
    });
    return trace.num("vi", vi).text("desc", next.c_str(), VI_FIND_BUFLEN - 1).done(status);
}

ZSIM_EXPORT ViStatus viParseRsrc(ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType,
                                 ViPUInt16 intfNum) {
    TraceLine trace("viParseRsrc");
    ResourceName parsed;
    const ViStatus status = withInjected(nameFault(rsrcName, "viParseRsrc"), [&] {
        const ViStatus s = parseName(rmSesn, rsrcName, parsed);
        if (s >= 0 && intfType)
            *intfType = parsed.intfType;
        if (s >= 0 && intfNum)
            *intfNum = parsed.board;
        return s;
    });
    trace.num("rmSesn", rmSesn).text("rsrcName", rsrcName);
    return trace.num("intfType", parsed.intfType).num("intfNum", parsed.board).done(status);
}

ZSIM_EXPORT ViStatus viParseRsrcEx(ViSession rmSesn, ViConstRsrc rsrcName, ViPUInt16 intfType,
                                   ViPUInt16 intfNum, ViChar rsrcClass[],
                                   ViChar expandedUnaliasedName[], ViChar aliasIfExists[]) {
    TraceLine trace("viParseRsrcEx");
    ResourceName parsed;
    const ViStatus status = withInjected(nameFault(rsrcName, "viParseRsrcEx"), [&] {
        const ViStatus s = parseName(rmSesn, rsrcName, parsed);
        if (s < 0)
            return s;
        if (intfType)
            *intfType = parsed.intfType;
        if (intfNum)
            *intfNum = parsed.board;
        if (rsrcClass)
            copyBounded(rsrcClass, parsed.rsrcClass, VI_FIND_BUFLEN);
        if (expandedUnaliasedName)
            copyBounded(expandedUnaliasedName, parsed.expanded(), VI_FIND_BUFLEN);
        if (aliasIfExists)
            aliasIfExists[0] = '\0';
        return s;
    });
    trace.num("rmSesn", rmSesn).text("rsrcName", rsrcName);
    trace.num("intfType", parsed.intfType).num("intfNum", parsed.board);
    trace.text("rsrcClass", parsed.rsrcClass.c_str());
    trace.text("expandedUnaliasedName", status < 0 ? "" : parsed.expanded().c_str());
    return trace.text("aliasIfExists", "").done(status);
}

ZSIM_EXPORT ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                            ViPSession vi) {
    TraceLine trace("viOpen");
    ViSession session = VI_NULL;
    const ViStatus status = withInjected(nameFault(name, "viOpen"), [&] {
        if (!vi)
            return VI_ERROR_USER_BUF;
        if (!isResourceManager(sesn))
            return VI_ERROR_INV_OBJECT;
        if (!name)
            return VI_ERROR_INV_RSRC_NAME;
        if ((mode & ~kAccessModes) != 0)
            return VI_ERROR_INV_ACC_MODE;
        return sim().openSession(sesn, name, &session);
    });
    if (vi)
        *vi = session;
    trace.num("sesn", sesn).text("name", name).num("mode", mode).num("timeout", timeout);
    return trace.num("vi", session).done(status);
}

ZSIM_EXPORT ViStatus viClose(ViObject vi) {
    TraceLine trace("viClose");
    const ViStatus status =
        withInjected(objectFault(vi, "viClose"), [&] { return sim().close(vi); });
    return trace.num("vi", vi).done(status);
}

ZSIM_EXPORT ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
    TraceLine trace("viGetAttribute");
    trace.num("vi", vi).word("attrName", attributeText(attrName));
    const char* name = attributeName(attrName);
    AttributeValue value;
    const ViStatus status = withInjected(objectFault(vi, "viGetAttribute", name), [&] {
        if (!attrValue)
            return VI_ERROR_USER_BUF;
        return objectAttribute(vi, attrName, value);
    });
    if (status >= 0)
        store(value, attrValue, trace);
    else
        trace.null("attrValue");
    return trace.done(status);
}

ZSIM_EXPORT ViStatus viSetAttribute(ViObject vi, ViAttr attrName, ViAttrState attrValue) {
    TraceLine trace("viSetAttribute");
    const char* name = attributeName(attrName);
    const ViStatus status = withInjected(objectFault(vi, "viSetAttribute", name), [&] {
        AttributeValue current;
        const ViStatus known = objectAttribute(vi, attrName, current);
        if (known == VI_ERROR_INV_OBJECT || known == VI_ERROR_NSUP_ATTR)
            return known;
        if (attrName != VI_ATTR_TMO_VALUE)
            return VI_ERROR_ATTR_READONLY;
        sim().setTimeout(vi, static_cast<uint32_t>(attrValue));
        return VI_SUCCESS;
    });
    trace.num("vi", vi).word("attrName", attributeText(attrName));
    return trace.num("attrValue", static_cast<long long>(attrValue)).done(status);
}

ZSIM_EXPORT ViStatus viStatusDesc(ViObject vi, ViStatus status, ViChar desc[]) {
    TraceLine trace("viStatusDesc");
    const ViStatus result = withInjected(benchFault("viStatusDesc"), [&] {
        if (!desc)
            return VI_ERROR_USER_BUF;
        if (const StatusInfo* info = findStatus(status, kVisaStatuses)) {
            copyBounded(desc, std::string(info->name) + ": " + info->text, VI_FIND_BUFLEN);
            return VI_SUCCESS;
        }
        char text[64];
        std::snprintf(text, sizeof text, "Unknown status code 0x%08X.",
                      static_cast<uint32_t>(status));
        copyBounded(desc, text, VI_FIND_BUFLEN);
        return VI_WARN_UNKNOWN_STATUS;
    });
    trace.num("vi", vi).num("status", status);
    return trace.text("desc", result < 0 ? "" : desc, VI_FIND_BUFLEN).done(result);
}

// Other VISA clients switch events off before closing a session; the bench
// raises no events, so there is nothing to disable or discard.
ZSIM_EXPORT ViStatus viDisableEvent(ViSession vi, ViUInt32 eventType, ViUInt16 mechanism) {
    TraceLine trace("viDisableEvent");
    const ViStatus status = withInjected(objectFault(vi, "viDisableEvent"), [&] {
        const std::optional<ObjectView> v = sim().view(vi);
        return v && v->kind == ObjectKind::Session ? VI_SUCCESS : VI_ERROR_INV_OBJECT;
    });
    trace.num("vi", vi).hex("eventType", eventType).hex("mechanism", mechanism);
    return trace.done(status);
}

ZSIM_EXPORT ViStatus viDiscardEvents(ViSession vi, ViUInt32 eventType, ViUInt16 mechanism) {
    TraceLine trace("viDiscardEvents");
    const ViStatus status = withInjected(objectFault(vi, "viDiscardEvents"), [&] {
        const std::optional<ObjectView> v = sim().view(vi);
        return v && v->kind == ObjectKind::Session ? VI_SUCCESS : VI_ERROR_INV_OBJECT;
    });
    trace.num("vi", vi).hex("eventType", eventType).hex("mechanism", mechanism);
    return trace.done(status);
}
