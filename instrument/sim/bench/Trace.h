// The call trace: one line per client call, "function(name=value, ...) = status",
// appended to the file named by zsim_setTrace or ZELVAN_SIM_TRACE. Each
// TraceLine also counts its call for zsim_callCount.
#ifndef ZSIM_TRACE_H
#define ZSIM_TRACE_H

#include "SimExport.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace zsim {

class ZSIM_INTERNAL TraceLine {
public:
    explicit TraceLine(const char* function);

    TraceLine& num(const char* name, long long value);
    TraceLine& hex(const char* name, unsigned long value);
    TraceLine& real(const char* name, double value);
    // Double-quoted, escaped, read up to its first zero or maxLength; NULL when null.
    TraceLine& text(const char* name, const char* value, size_t maxLength = 4096);
    TraceLine& word(const char* name, const std::string& value); // written as is
    TraceLine& null(const char* name);

    // Writes the line (when tracing) and gives back the status.
    int32_t done(int32_t status);

private:
    TraceLine& add(const char* name, const std::string& value);
    bool m_on;
    bool m_first = true;
    std::string m_line;
};

// Follow ZELVAN_SIM_TRACE (path null) or write to path ("" for no trace).
ZSIM_INTERNAL void setTracePath(const char* path);

// Shortest text that reads back as the same double (2.5 -> "2.5").
ZSIM_INTERNAL std::string formatReal(double value);

} // namespace zsim

#endif
