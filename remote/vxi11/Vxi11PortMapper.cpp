#include "Vxi11PortMapper.h"

#include "vxi11.h"

#include <rpc/pmap_clnt.h>

#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace sfp::vxi11 {

namespace {
const char* const kSocketPaths[] = {"/run/rpcbind.sock", "/var/run/rpcbind.sock"};
} // namespace

bool Vxi11PortMapper::reachable() {
    for (const char* path : kSocketPaths) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path, sizeof address.sun_path - 1);
        const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        close(fd);
        if (ok)
            return true;
    }
    return false;
}

Vxi11PortMapper::Result Vxi11PortMapper::registerCore(uint16_t port) {
    if (!reachable())
        return Result::Unreachable;
    // A stale entry from an earlier run that did not end cleanly would block ours.
    pmap_unset(DEVICE_CORE, DEVICE_CORE_VERSION);
    registered_ = pmap_set(DEVICE_CORE, DEVICE_CORE_VERSION, IPPROTO_TCP, port);
    return registered_ ? Result::Registered : Result::Refused;
}

void Vxi11PortMapper::unregister() {
    if (registered_ && reachable())
        pmap_unset(DEVICE_CORE, DEVICE_CORE_VERSION);
    registered_ = false;
}

} // namespace sfp::vxi11
