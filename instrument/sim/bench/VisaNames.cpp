#include "VisaNames.h"

#include "visa.h"

#include <algorithm>
#include <iterator>

namespace zsim {
namespace {

const char* const kFunctions[] = {
    "viOpenDefaultRM",
    "viFindRsrc",
    "viFindNext",
    "viParseRsrc",
    "viParseRsrcEx",
    "viOpen",
    "viClose",
    "viGetAttribute",
    "viSetAttribute",
    "viStatusDesc",
    "viDisableEvent",
    "viDiscardEvents",
    "qv4000_libraryRevision",
    "qv4000_openCarrier",
    "qv4000_closeCarrier",
    "qv4000_errorMessage",
    "readCard16",
    "qv4720_paramInit",
    "qv4720_getOutputRange",
    "qv4720_readSerialNo",
    "qv4720_revision_query",
    "qv4720_writeChannel",
    "qv4720_reset",
    "qv4720_close",
    "qv4720_error_message",
};

struct Attribute {
    uint32_t value;
    const char* name;
};

#define ZSIM_ATTR(a)                                                                               \
    { a, #a }
const Attribute kAttributes[] = {
    ZSIM_ATTR(VI_ATTR_RSRC_CLASS),        ZSIM_ATTR(VI_ATTR_RSRC_NAME),
    ZSIM_ATTR(VI_ATTR_TMO_VALUE),         ZSIM_ATTR(VI_ATTR_SLOT),
    ZSIM_ATTR(VI_ATTR_INTF_TYPE),         ZSIM_ATTR(VI_ATTR_INTF_NUM),
    ZSIM_ATTR(VI_ATTR_TCPIP_ADDR),        ZSIM_ATTR(VI_ATTR_TCPIP_HOSTNAME),
    ZSIM_ATTR(VI_ATTR_TCPIP_DEVICE_NAME),
};
#undef ZSIM_ATTR

bool isFunction(std::string_view name) {
    return std::any_of(std::begin(kFunctions), std::end(kFunctions),
                       [&](const char* f) { return name == f; });
}

bool isAttributeName(std::string_view name) {
    return std::any_of(std::begin(kAttributes), std::end(kAttributes),
                       [&](const Attribute& a) { return name == a.name; });
}

} // namespace

bool isFaultKey(std::string_view key) {
    for (std::string_view f :
         {std::string_view("viGetAttribute("), std::string_view("viSetAttribute(")})
        if (key.substr(0, f.size()) == f && key.size() > f.size() + 1 && key.back() == ')')
            return isAttributeName(key.substr(f.size(), key.size() - f.size() - 1));
    return isFunction(key);
}

const char* attributeName(uint32_t attr) {
    for (const Attribute& a : kAttributes)
        if (a.value == attr)
            return a.name;
    return nullptr;
}

} // namespace zsim
