// Shared by the fuzz targets: a property check that reports and aborts, so
// libFuzzer keeps the input and the replay test fails.
#ifndef SFP_FUZZCHECK_H
#define SFP_FUZZCHECK_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace sfp_fuzz {

// Where check failures go; a target that silences stderr points it elsewhere.
inline FILE*& reportStream() {
    static FILE* stream = stderr;
    return stream;
}

[[noreturn]] inline void checkFailed(const char* condition, const char* what, const char* file,
                                     int line) {
    std::fprintf(reportStream(), "%s:%d: property violated: %s (%s)\n", file, line, what,
                 condition);
    std::fflush(reportStream());
    std::abort();
}

} // namespace sfp_fuzz

#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::sfp_fuzz::checkFailed(#condition, what, __FILE__, __LINE__);                         \
    } while (0)

#endif
