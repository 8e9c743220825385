// Reading a bench file without trusting it: only a regular file, its size
// checked before a byte is read, never blocking on a FIFO or a device.
#ifndef ZSIM_BENCHFILE_H
#define ZSIM_BENCHFILE_H

#include "SimExport.h"

#include <cstddef>
#include <string>

namespace zsim {

constexpr size_t kMaxBenchBytes = 16 * 1024 * 1024;

struct BenchFileText {
    bool ok = false;
    std::string text;  // the file's bytes when ok
    std::string error; // why not, e.g. "not a regular file"
};

ZSIM_INTERNAL BenchFileText readBenchFile(const char* path);

} // namespace zsim

#endif
