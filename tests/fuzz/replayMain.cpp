// Stands in for libFuzzer's driver in ordinary builds: feeds every file named
// on the command line, or found in a folder named there, to the fuzz target
// once, so each committed seed and each crash ever found is a test.
#include "FuzzCheck.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {
// Files of a folder in name order; hidden files (a folder's keep-file) are not inputs.
std::vector<fs::path> inputsIn(const fs::path& path) {
    if (!fs::is_directory(path))
        return {path};
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(path)) {
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.')
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::printf("replaying %s (%zu bytes)\n", file.c_str(), bytes.size());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return true;
}
} // namespace

int main(int argc, char** argv) {
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::vector<fs::path> found = inputsIn(argv[i]);
        inputs.insert(inputs.end(), found.begin(), found.end());
    }
    LLVMFuzzerInitialize(&argc, &argv);
    size_t replayed = 0;
    for (const fs::path& input : inputs)
        replayed += replay(input) ? 1 : 0;
    std::printf("%zu of %zu inputs replayed without a fault\n", replayed, inputs.size());
    // A replay that fed nothing has tested nothing.
    return replayed > 0 && replayed == inputs.size() ? 0 : 1;
}
