#include "Vxi11PeerFilter.h"

#include <arpa/inet.h>
#include <cstring>
#include <netinet/in.h>

namespace sfp::vxi11 {

namespace {
constexpr int kMappedPrefix = 96; // ::ffff:a.b.c.d

std::array<uint8_t, 16> mapped(const in_addr& v4) {
    std::array<uint8_t, 16> out{};
    out[10] = out[11] = 0xff;
    std::memcpy(out.data() + 12, &v4, 4);
    return out;
}

bool samePrefix(const std::array<uint8_t, 16>& a, const std::array<uint8_t, 16>& b, int bits) {
    for (int i = 0; i < 16 && bits > 0; ++i, bits -= 8) {
        const uint8_t mask = bits >= 8 ? 0xff : uint8_t(0xff << (8 - bits));
        if ((a[i] & mask) != (b[i] & mask))
            return false;
    }
    return true;
}
} // namespace

bool Vxi11PeerFilter::parseOne(const std::string& text, Network& network) {
    const size_t slash = text.find('/');
    const std::string host = text.substr(0, slash);
    in_addr v4{};
    in6_addr v6{};
    int width = 0;
    if (inet_pton(AF_INET, host.c_str(), &v4) == 1) {
        network.address = mapped(v4);
        width = 32;
    } else if (inet_pton(AF_INET6, host.c_str(), &v6) == 1) {
        std::memcpy(network.address.data(), &v6, 16);
        width = 128;
    } else {
        return false;
    }
    int prefix = width;
    if (slash != std::string::npos) {
        const std::string bits = text.substr(slash + 1);
        if (bits.empty() || bits.size() > 3 || bits.find_first_not_of("0123456789") != bits.npos)
            return false;
        prefix = std::stoi(bits);
        if (prefix > width)
            return false;
    }
    network.prefix = prefix + (width == 32 ? kMappedPrefix : 0);
    return true;
}

bool Vxi11PeerFilter::parse(const std::vector<std::string>& cidrs, std::string& error) {
    networks_.clear();
    for (const std::string& text : cidrs) {
        Network network;
        if (!parseOne(text, network)) {
            error = text;
            networks_.clear();
            return false;
        }
        networks_.push_back(network);
    }
    return true;
}

bool Vxi11PeerFilter::allows(const sockaddr* peer) const {
    if (networks_.empty())
        return true;
    std::array<uint8_t, 16> address{};
    if (peer->sa_family == AF_INET)
        address = mapped(reinterpret_cast<const sockaddr_in*>(peer)->sin_addr);
    else if (peer->sa_family == AF_INET6)
        std::memcpy(address.data(), &reinterpret_cast<const sockaddr_in6*>(peer)->sin6_addr, 16);
    else
        return false;
    for (const Network& network : networks_) {
        if (samePrefix(address, network.address, network.prefix))
            return true;
    }
    return false;
}

} // namespace sfp::vxi11
