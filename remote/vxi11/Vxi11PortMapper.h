// The core channel's entry in this machine's port mapper (rpcbind), so that
// clients asking port 111 for the VXI-11 program find it. Talks to rpcbind
// only through its local socket: when that socket is absent no port mapper
// runs here, and nothing waits for one.
#ifndef SFP_VXI11_VXI11PORTMAPPER_H
#define SFP_VXI11_VXI11PORTMAPPER_H

#include <cstdint>

namespace sfp::vxi11 {

class Vxi11PortMapper {
public:
    enum class Result { Registered, Unreachable, Refused };

    ~Vxi11PortMapper() { unregister(); }
    Result registerCore(uint16_t port);
    void unregister();

private:
    bool registered_ = false;
    static bool reachable();
};

} // namespace sfp::vxi11

#endif
