// The card as a VXI-11 instrument ("TCPIP0::host::inst0::INSTR"): the core
// channel (RPC program 0x0607AF) and the abort channel (0x0607B0) over TCP.
//
// Threading
// - start() opens the sockets, registers with rpcbind when one runs here, and
//   starts one server thread of its own; stop() (or the destructor) ends it and
//   unregisters. Call both from the same thread; neither runs the event loop
//   of the caller, and nothing here blocks the caller's thread while serving.
// - The server thread does all network I/O and protocol state. It never calls
//   the device, the lock or the link factory itself: it hands each of those
//   calls to config.executor as a job and goes on serving; the job's result
//   comes back to the server thread. With no executor the jobs run on the
//   server thread. To keep the device and the lock on the Qt main thread:
//     config.executor = [ctx](sfp::vxi11::Vxi11Job job) {
//         QMetaObject::invokeMethod(ctx, std::move(job), Qt::QueuedConnection);
//     };
//   Jobs may still arrive after stop(); they keep what they use alive.
// - A call that waits (a read with no response yet, a lock held elsewhere)
//   is retried every 20 ms until its timeout; notifyResponseReady() and
//   notifyLockChanged() (any thread) retry at once.
// - config.events is called on the server thread, and on the thread calling
//   start()/stop().
#ifndef SFP_VXI11_VXI11SERVER_H
#define SFP_VXI11_VXI11SERVER_H

#include "Vxi11ServerConfig.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sfp::vxi11 {

class Vxi11Server {
public:
    explicit Vxi11Server(Vxi11ServerConfig config);
    ~Vxi11Server();
    Vxi11Server(const Vxi11Server&) = delete;
    Vxi11Server& operator=(const Vxi11Server&) = delete;

    // False, with the reason, when no listen address could be opened or the
    // configuration is unusable (no factory or lock, an allow entry unparsed).
    bool start(std::string& error);
    void stop();
    bool running() const;

    uint16_t corePort() const;
    uint16_t abortPort() const;
    // "address:port" of each core channel socket.
    std::vector<std::string> listening() const;
    bool registeredWithPortMapper() const;
    size_t linkCount() const;

    // Thread-safe wake-ups for calls waiting on the device or the lock.
    void notifyResponseReady();
    void notifyLockChanged();

private:
    class Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace sfp::vxi11

#endif
