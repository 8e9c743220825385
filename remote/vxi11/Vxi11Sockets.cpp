#include "Vxi11Sockets.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

namespace sfp::vxi11 {

namespace {
constexpr int kBacklog = 16;
} // namespace

int Vxi11Sockets::listenOn(const std::string& address, uint16_t port, uint16_t& boundPort,
                           std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
    addrinfo* found = nullptr;
    const int rc = getaddrinfo(address.c_str(), std::to_string(port).c_str(), &hints, &found);
    if (rc != 0) {
        error = gai_strerror(rc);
        return -1;
    }
    const int fd = socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    const int on = 1;
    bool ok = fd >= 0 && setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0;
    if (ok && found->ai_family == AF_INET6)
        ok = setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on) == 0;
    ok = ok && bind(fd, found->ai_addr, found->ai_addrlen) == 0 && listen(fd, kBacklog) == 0;
    freeaddrinfo(found);
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    ok = ok && getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length) == 0;
    if (!ok) {
        error = std::strerror(errno);
        if (fd >= 0)
            close(fd);
        return -1;
    }
    boundPort = bound.ss_family == AF_INET
                    ? ntohs(reinterpret_cast<sockaddr_in*>(&bound)->sin_port)
                    : ntohs(reinterpret_cast<sockaddr_in6*>(&bound)->sin6_port);
    return fd;
}

std::string Vxi11Sockets::peerName(const sockaddr* address) {
    char host[INET6_ADDRSTRLEN] = {};
    if (address->sa_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
        inet_ntop(AF_INET, &v4->sin_addr, host, sizeof host);
        return std::string(host) + ":" + std::to_string(ntohs(v4->sin_port));
    }
    if (address->sa_family == AF_INET6) {
        const auto* v6 = reinterpret_cast<const sockaddr_in6*>(address);
        inet_ntop(AF_INET6, &v6->sin6_addr, host, sizeof host);
        return "[" + std::string(host) + "]:" + std::to_string(ntohs(v6->sin6_port));
    }
    return "?";
}

bool Vxi11Sockets::isLoopback(const std::string& address) {
    in_addr v4{};
    in6_addr v6{};
    if (inet_pton(AF_INET, address.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    return inet_pton(AF_INET6, address.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

bool Vxi11Sockets::setNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

} // namespace sfp::vxi11
