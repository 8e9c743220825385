#include "ResourceName.h"

#include "visa.h"

#include <algorithm>
#include <cctype>

namespace zsim {
namespace {

struct Interface {
    const char* prefix;
    uint16_t type;
    size_t instrFields; // address fields an INSTR resource needs at least
};

// GPIB-VXI before GPIB: the longer prefix must win.
const Interface kInterfaces[] = {
    {"GPIB-VXI", VI_INTF_GPIB_VXI, 1}, {"GPIB", VI_INTF_GPIB, 1}, {"VXI", VI_INTF_VXI, 1},
    {"ASRL", VI_INTF_ASRL, 0},         {"PXI", VI_INTF_PXI, 0},   {"TCPIP", VI_INTF_TCPIP, 1},
    {"USB", VI_INTF_USB, 3},
};

const char* const kClasses[] = {"INSTR",   "INTFC",  "BACKPLANE", "MEMACC",
                                "SERVANT", "SOCKET", "RAW"};

std::string upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && upper(s.substr(0, prefix.size())) == prefix;
}

std::vector<std::string_view> splitFields(std::string_view text) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (;;) {
        const size_t sep = text.find("::", start);
        parts.push_back(text.substr(start, sep == std::string_view::npos ? sep : sep - start));
        if (sep == std::string_view::npos)
            return parts;
        start = sep + 2;
    }
}

bool isClass(const std::string& field) {
    return std::find_if(std::begin(kClasses), std::end(kClasses),
                        [&](const char* c) { return field == c; }) != std::end(kClasses);
}

bool printable(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) {
        return static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
}

// "VXI0", "tcpip", "ASRL12": the interface and its board number.
bool parseHead(std::string_view head, ResourceName& out, size_t& instrFields) {
    for (const Interface& i : kInterfaces) {
        if (!startsWithNoCase(head, i.prefix))
            continue;
        const std::string_view digits = head.substr(std::char_traits<char>::length(i.prefix));
        if (digits.size() > 5 || !std::all_of(digits.begin(), digits.end(), [](char c) {
                return std::isdigit(static_cast<unsigned char>(c)) != 0;
            }))
            return false;
        const unsigned long board = digits.empty() ? 0 : std::stoul(std::string(digits));
        if (board > 0xFFFF)
            return false;
        out.intfType = i.type;
        out.board = static_cast<uint16_t>(board);
        out.prefix = i.prefix;
        instrFields = i.instrFields;
        return true;
    }
    return false;
}

} // namespace

bool parseResourceName(std::string_view text, ResourceName& out) {
    if (text.empty() || text.size() > 255 || !printable(text))
        return false;
    std::vector<std::string_view> parts = splitFields(text);
    ResourceName r;
    size_t instrFields = 0;
    if (!parseHead(parts.front(), r, instrFields))
        return false;
    parts.erase(parts.begin());
    if (!parts.empty() && isClass(upper(parts.back()))) {
        r.rsrcClass = upper(parts.back());
        parts.pop_back();
    } else {
        r.rsrcClass = "INSTR";
    }
    for (std::string_view p : parts) {
        if (p.empty())
            return false;
        r.fields.emplace_back(p);
    }
    if (r.rsrcClass == "INSTR" && r.fields.size() < instrFields)
        return false;
    if (r.rsrcClass == "SOCKET" && (r.intfType != VI_INTF_TCPIP || r.fields.size() != 2))
        return false;
    out = std::move(r);
    return true;
}

std::string ResourceName::expanded() const {
    std::string s = prefix + std::to_string(board);
    for (const std::string& f : fields)
        s += "::" + f;
    if (intfType == VI_INTF_TCPIP && rsrcClass == "INSTR" && fields.size() == 1)
        s += "::inst0";
    return s + "::" + rsrcClass;
}

bool sameResource(const ResourceName& a, const ResourceName& b) {
    return upper(a.expanded()) == upper(b.expanded());
}

} // namespace zsim
