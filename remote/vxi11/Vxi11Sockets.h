// Small socket helpers for the VXI-11 server: listening sockets and peer names.
#ifndef SFP_VXI11_VXI11SOCKETS_H
#define SFP_VXI11_VXI11SOCKETS_H

#include <cstdint>
#include <string>

#include <sys/socket.h>

namespace sfp::vxi11 {

class Vxi11Sockets {
public:
    // A non-blocking listening TCP socket on address:port (port 0: any free);
    // -1 with error set on failure. boundPort receives the real port.
    static int listenOn(const std::string& address, uint16_t port, uint16_t& boundPort,
                        std::string& error);
    static std::string peerName(const sockaddr* address);
    static bool isLoopback(const std::string& address);
    static bool setNonBlocking(int fd);
};

} // namespace sfp::vxi11

#endif
