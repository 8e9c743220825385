#include "Trace.h"

#include "Simulator.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <unistd.h>

namespace zsim {
namespace {

// Never destroyed: clients may still call in while the process exits.
struct TraceState {
    std::mutex mutex;
    std::optional<std::string> path; // set: overrides the environment
};

TraceState& state() {
    static TraceState* s = new TraceState();
    return *s;
}

std::string currentPath() {
    if (state().path)
        return *state().path;
    const char* env = std::getenv("ZELVAN_SIM_TRACE");
    return env ? env : "";
}

bool tracing() {
    std::lock_guard<std::mutex> lock(state().mutex);
    return !currentPath().empty();
}

// One write() with O_APPEND: lines of threads and of child processes sharing
// the file never interleave.
void appendLine(const std::string& line) {
    std::lock_guard<std::mutex> lock(state().mutex);
    const std::string path = currentPath();
    if (path.empty())
        return;
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    const ssize_t written = ::write(fd, line.data(), line.size());
    (void)written; // a trace that cannot be written must not change the call's result
    ::close(fd);
}

std::string escaped(const char* value, size_t maxLength) {
    std::string out = "\"";
    const size_t length = strnlen(value, maxLength);
    for (size_t i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(value[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

} // namespace

std::string formatReal(double value) {
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

void setTracePath(const char* path) {
    std::lock_guard<std::mutex> lock(state().mutex);
    if (path)
        state().path = path;
    else
        state().path.reset();
}

TraceLine::TraceLine(const char* function) : m_on(tracing()) {
    Simulator::instance().countCall(function);
    if (m_on)
        m_line = std::string(function) + "(";
}

TraceLine& TraceLine::add(const char* name, const std::string& value) {
    if (!m_first)
        m_line += ", ";
    m_first = false;
    m_line += name;
    m_line += '=';
    m_line += value;
    return *this;
}

TraceLine& TraceLine::num(const char* name, long long value) {
    return m_on ? add(name, std::to_string(value)) : *this;
}

TraceLine& TraceLine::hex(const char* name, unsigned long value) {
    if (!m_on)
        return *this;
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%lX", value);
    return add(name, buf);
}

TraceLine& TraceLine::real(const char* name, double value) {
    return m_on ? add(name, formatReal(value)) : *this;
}

TraceLine& TraceLine::text(const char* name, const char* value, size_t maxLength) {
    if (!m_on)
        return *this;
    return add(name, value ? escaped(value, maxLength) : std::string("NULL"));
}

TraceLine& TraceLine::word(const char* name, const std::string& value) {
    return m_on ? add(name, value) : *this;
}

TraceLine& TraceLine::null(const char* name) {
    return m_on ? add(name, "NULL") : *this;
}

int32_t TraceLine::done(int32_t status) {
    if (m_on)
        appendLine(m_line + ") = " + std::to_string(status) + "\n");
    return status;
}

} // namespace zsim
