// Fuzzes the bench-file loader through the simulation-control API. Whatever
// the bytes, the loader must either take the bench or refuse it and leave a
// bench with no resources; a bench it takes must describe itself in YAML
// that loads back to the same bench.
#include "FuzzCheck.h"
#include "zelvan_sim.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {
const char* const kName = "fuzz.yaml";

std::string description() {
    const int size = zsim_benchDescription(nullptr, 0);
    FUZZ_CHECK(size >= 0, "negative description length");
    std::string text(static_cast<size_t>(size) + 1, '\0');
    FUZZ_CHECK(zsim_benchDescription(text.data(), size + 1) == size,
               "the description changed length between two reads");
    text.resize(static_cast<size_t>(size));
    return text;
}

std::string benchName() {
    char name[64] = {};
    zsim_benchName(name, sizeof name);
    return std::string(name, strnlen(name, sizeof name));
}

std::string& emptyBenchDescription() {
    static std::string text;
    return text;
}

// A refused bench message per input would bury libFuzzer's own output; its
// status lines and the sanitizers' reports keep the original stream and fd.
void silenceLoaderMessages(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "-verbosity=", 11) == 0 && std::atoi(argv[i] + 11) >= 2)
            return;
    }
    if (FILE* quiet = std::fopen("/dev/null", "w"))
        stderr = quiet;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    sfp_fuzz::reportStream() = stderr;
    silenceLoaderMessages(*argc, *argv);
    FUZZ_CHECK(zsim_loadBenchText("version: 1\n", kName) == 0, "the smallest bench is refused");
    emptyBenchDescription() = description();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string yaml(reinterpret_cast<const char*>(data), size);
    const int status = zsim_loadBenchText(yaml.c_str(), kName);
    FUZZ_CHECK(status == 0 || status == -1, "the loader answered neither 0 nor -1");
    FUZZ_CHECK(benchName() == kName, "the bench does not carry the name it was loaded under");
    const std::string loaded = description();
    if (status != 0) {
        FUZZ_CHECK(loaded == emptyBenchDescription(), "a refused bench left resources behind");
        return 0;
    }
    FUZZ_CHECK(zsim_loadBenchText(loaded.c_str(), kName) == 0,
               "the description of a bench is refused as a bench");
    FUZZ_CHECK(description() == loaded, "the description does not load back to the same bench");
    return 0;
}
