// Text handed to a caller's buffer: cut to fit, always terminated.
#ifndef ZSIM_BOUNDED_H
#define ZSIM_BOUNDED_H

#include <cstring>
#include <string_view>

namespace zsim {

inline void copyBounded(char* buffer, std::string_view text, size_t capacity) {
    const size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

} // namespace zsim

#define ZSIM_EXPORT extern "C" __attribute__((visibility("default")))

#endif
