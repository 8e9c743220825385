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

// A refusal before any parsing (the file could not be read), worded alike.
ZSIM_INTERNAL BenchLoadResult failedBench(const std::string& name, const std::string& fault);

// The error without its "zelvan sim: " head, for a caller that has its own.
ZSIM_INTERNAL std::string withoutPrefix(const std::string& error);

} // namespace zsim

#endif
