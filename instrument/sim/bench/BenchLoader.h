// Bench files: YAML text into a Bench, or one message naming the file, the
// line and the fault. Pure: no globals, no I/O, no exceptions escape, so it
// can be fed any bytes.
#ifndef ZSIM_BENCHLOADER_H
#define ZSIM_BENCHLOADER_H

#include "BenchTypes.h"
#include "SimExport.h"

#include <optional>
#include <string>
#include <string_view>

namespace zsim {

struct BenchLoadResult {
    std::optional<Bench> bench; // empty when the text is not a valid bench
    std::string error;          // "zelvan sim: NAME:LINE: fault" when bench is empty
};

ZSIM_INTERNAL BenchLoadResult parseBench(std::string_view yaml, const std::string& name);

} // namespace zsim

#endif
