// Names and texts of the statuses the stand-ins return, by family, so each
// library answers for exactly the statuses it knows.
#ifndef ZSIM_STATUSTEXT_H
#define ZSIM_STATUSTEXT_H

#include "SimExport.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace zsim {

enum StatusFamily : unsigned {
    kVisaStatuses = 1,
    kCarrierStatuses = 2,
    kDriverStatuses = 4,
};

struct StatusInfo {
    int32_t status;
    const char* name; // "VI_ERROR_TMO"
    const char* text;
    unsigned family;
};

// The entry for status among the given families, or null.
ZSIM_INTERNAL const StatusInfo* findStatus(int32_t status, unsigned families);

// The status with that name (any family), for statuses written by name.
ZSIM_INTERNAL std::optional<int32_t> statusByName(std::string_view name);

} // namespace zsim

#endif
