// Names the bench file and the trace use: the C functions of the three
// libraries (keys of injected statuses) and the VISA attributes.
#ifndef ZSIM_VISANAMES_H
#define ZSIM_VISANAMES_H

#include "SimExport.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zsim {

// True for a function whose status the bench can inject: a C function of
// one of the libraries, the carrier's "readCard16", or "viGetAttribute(ATTR)"
// / "viSetAttribute(ATTR)" with a known attribute name.
ZSIM_INTERNAL bool isFaultKey(std::string_view key);

// "VI_ATTR_SLOT" for its value, or null.
ZSIM_INTERNAL const char* attributeName(uint32_t attr);

} // namespace zsim

#endif
