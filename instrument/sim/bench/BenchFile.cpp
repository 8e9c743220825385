#include "BenchFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zsim {
namespace {

const char* const kNoName = "no file name";
const char* const kNotRegular = "not a regular file";
const char* const kTooLarge = "larger than 16 MiB";

BenchFileText failure(const std::string& reason) {
    BenchFileText result;
    result.error = reason;
    return result;
}

std::string errnoText(const char* prefix) {
    return std::string(prefix) + std::strerror(errno);
}

// A regular file no larger than the limit, told by what fstat says.
const char* statProblem(const struct stat& info) {
    if (!S_ISREG(info.st_mode))
        return kNotRegular;
    if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > kMaxBenchBytes)
        return kTooLarge;
    return nullptr;
}

} // namespace

BenchFileText readBenchFile(const char* path) {
    if (!path)
        return failure(kNoName);
    struct stat info {};
    // stat first: opening a FIFO would wait for a writer.
    if (::stat(path, &info) != 0)
        return failure(errnoText("cannot be read: "));
    if (const char* problem = statProblem(info))
        return failure(problem);
    const int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return failure(errnoText("cannot be read: "));
    // The name may have been swapped for something else since the stat.
    const char* problem = ::fstat(fd, &info) != 0 ? kNotRegular : statProblem(info);
    BenchFileText result;
    if (problem) {
        ::close(fd);
        return failure(problem);
    }
    // One byte beyond the limit tells a file that grew since the fstat.
    result.text.resize(static_cast<size_t>(info.st_size) + 1);
    size_t filled = 0;
    while (filled < kMaxBenchBytes + 1) {
        if (filled == result.text.size())
            result.text.resize(std::min(kMaxBenchBytes + 1, filled * 2 + 4096));
        const ssize_t n = ::read(fd, result.text.data() + filled, result.text.size() - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return failure(errnoText("cannot be read: "));
        }
        if (n == 0)
            break;
        filled += static_cast<size_t>(n);
    }
    ::close(fd);
    if (filled > kMaxBenchBytes)
        return failure(kTooLarge);
    result.text.resize(filled);
    result.ok = true;
    return result;
}

} // namespace zsim
