// Everything a Vxi11Server is started with: where it listens, who may connect,
// its limits, and the hooks to the rest of the program (link factory, shared
// lock, executor, event log).
#ifndef SFP_VXI11_VXI11SERVERCONFIG_H
#define SFP_VXI11_VXI11SERVERCONFIG_H

#include "Vxi11Device.h"
#include "Vxi11Lock.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sfp::vxi11 {

// Who asked for a link; given to the link factory.
struct Vxi11LinkInfo {
    int32_t linkId = 0;
    int32_t clientId = 0; // the client's own number from create_link
    std::string device;   // the device name asked for ("inst0", ...)
    std::string peer;     // "address:port" of the core channel connection
    std::string owner;    // this link's name as a lock owner
};

// Makes the device object of a new link; nullptr refuses the link.
using Vxi11LinkFactory = std::function<std::unique_ptr<Vxi11Device>(const Vxi11LinkInfo&)>;
using Vxi11Job = std::function<void()>;
// Runs a job, now or later, on the thread that owns the device and the lock.
using Vxi11Executor = std::function<void(Vxi11Job)>;
// One line per event; called on the server thread and on the thread calling
// start()/stop().
using Vxi11EventSink = std::function<void(const std::string&)>;

struct Vxi11ServerConfig {
    uint16_t corePort = 0; // 0: any free port
    std::vector<std::string> listenAddresses{"127.0.0.1", "::1"};
    // Peers allowed to connect, as CIDR ("192.168.1.0/24", "::1/128", or a
    // plain address). Empty: every peer that reaches a listen address.
    std::vector<std::string> allow;
    int aliasNumber = -1;         // also answer to "inst<aliasNumber>"; < 0: only inst0
    uint32_t maxRecvSize = 65536; // announced in create_link, enforced on device_write
    size_t maxLinks = 16;
    size_t maxConnections = 32;      // core and abort channel connections together
    bool usePortMapper = true;       // register the core channel with rpcbind
    Vxi11LinkFactory linkFactory;    // required
    std::shared_ptr<Vxi11Lock> lock; // required
    Vxi11Executor executor;          // empty: jobs run on the server thread
    Vxi11EventSink events;           // empty: events are dropped
};

} // namespace sfp::vxi11

#endif
