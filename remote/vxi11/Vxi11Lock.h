// The one exclusive lock on the served card, shared with every other front end
// (raw-socket clients, the panel's "Local" button). The server names each VXI-11
// link's owner with a readable string (see Vxi11LinkInfo::owner); an empty
// string means nobody holds the lock.
//
// Threading: called only through the server's executor, like Vxi11Device.
// Waiting (the protocol's lock_timeout) is done by the server, which retries
// tryAcquire(); call Vxi11Server::notifyLockChanged() when the lock is released
// elsewhere so that a waiting link gets it without delay.
#ifndef SFP_VXI11_VXI11LOCK_H
#define SFP_VXI11_VXI11LOCK_H

#include <string>

namespace sfp::vxi11 {

class Vxi11Lock {
public:
    virtual ~Vxi11Lock() = default;

    // Takes the lock for owner when it is free (or already owner's); never waits.
    virtual bool tryAcquire(const std::string& owner) = 0;
    // Releases the lock if owner holds it; otherwise does nothing.
    virtual void release(const std::string& owner) = 0;
    // Who holds the lock now; empty when free.
    virtual std::string holder() const = 0;
};

} // namespace sfp::vxi11

#endif
