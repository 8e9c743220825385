// The work each VXI-11 call hands to the executor: small closures that check
// the shared lock and then touch the device, in one step on the executor's
// thread so that no other front end can take the lock in between.
#ifndef SFP_VXI11_VXI11JOBS_H
#define SFP_VXI11_VXI11JOBS_H

#include "Vxi11Device.h"
#include "Vxi11JobResult.h"
#include "Vxi11Lock.h"
#include "Vxi11ServerConfig.h"

#include <functional>
#include <memory>
#include <string>

namespace sfp::vxi11 {

using Vxi11JobFn = std::function<Vxi11JobResult()>;

class Vxi11Jobs {
public:
    using Device = std::shared_ptr<Vxi11Device>;
    using Lock = std::shared_ptr<Vxi11Lock>;
    using Operation = std::function<Vxi11Status(Vxi11Device&)>;

    static Vxi11JobFn openLink(Vxi11LinkFactory factory, Vxi11LinkInfo info);
    static Vxi11JobFn acquire(Lock lock, std::string owner);
    // Releases when owner holds the lock; the result names who held it.
    static Vxi11JobFn release(Lock lock, std::string owner);
    // Runs operation unless another owner holds the lock.
    static Vxi11JobFn operate(Lock lock, std::string owner, Device device, Operation operation);
    static Vxi11JobFn write(Lock lock, std::string owner, Device device, std::string bytes,
                            bool end);
    // Takes the device's response (when fetch) after the lock check.
    static Vxi11JobFn read(Lock lock, std::string owner, Device device, bool fetch);
    static Vxi11JobFn statusByte(Lock lock, std::string owner, Device device);
};

} // namespace sfp::vxi11

#endif
