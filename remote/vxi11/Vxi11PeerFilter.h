// The peers allowed to connect, as a list of IPv4/IPv6 networks in CIDR form.
// An IPv4 network also matches the same peer seen as an IPv4-mapped IPv6 address.
#ifndef SFP_VXI11_VXI11PEERFILTER_H
#define SFP_VXI11_VXI11PEERFILTER_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include <sys/socket.h>

namespace sfp::vxi11 {

class Vxi11PeerFilter {
public:
    // Parses every entry; the first that does not parse is named in error.
    bool parse(const std::vector<std::string>& cidrs, std::string& error);
    // True for every peer when the list is empty.
    bool allows(const sockaddr* peer) const;

private:
    struct Network {
        std::array<uint8_t, 16> address{}; // IPv4 as IPv4-mapped IPv6
        int prefix = 0;                    // over the 128 bits
    };
    std::vector<Network> networks_;
    static bool parseOne(const std::string& text, Network& network);
};

} // namespace sfp::vxi11

#endif
