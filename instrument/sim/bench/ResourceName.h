// VISA resource descriptors: interface type and board number, the address
// fields and the resource class, and the expanded form used to compare two
// names for the same resource.
#ifndef ZSIM_RESOURCENAME_H
#define ZSIM_RESOURCENAME_H

#include "SimExport.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zsim {

struct ZSIM_INTERNAL ResourceName {
    uint16_t intfType = 0; // VI_INTF_*
    uint16_t board = 0;
    std::string prefix;              // upper case: "VXI", "TCPIP", ...
    std::vector<std::string> fields; // between the board and the class
    std::string rsrcClass;           // upper case: "INSTR", "SOCKET", ...

    // Upper-case name with the board and every default spelt out
    // ("TCPIP0::10.0.0.1::inst0::INSTR" keeps the device name's case).
    std::string expanded() const;
};

// False when text is not a well-formed descriptor.
ZSIM_INTERNAL bool parseResourceName(std::string_view text, ResourceName& out);

// Two descriptors name the same resource (case-insensitive, defaults filled).
ZSIM_INTERNAL bool sameResource(const ResourceName& a, const ResourceName& b);

} // namespace zsim

#endif
