#include "Vxi11Jobs.h"

#include <utility>

namespace sfp::vxi11 {

namespace {
using Outcome = Vxi11JobResult::Outcome;

// Records the holder; false when another owner has the lock.
bool mayOperate(const Vxi11Lock& lock, const std::string& owner, Vxi11JobResult& result) {
    result.holder = lock.holder();
    result.holderKnown = true;
    if (!result.holder.empty() && result.holder != owner) {
        result.outcome = Outcome::Locked;
        return false;
    }
    return true;
}
} // namespace

Vxi11JobFn Vxi11Jobs::openLink(Vxi11LinkFactory factory, Vxi11LinkInfo info) {
    return [factory = std::move(factory), info = std::move(info)] {
        Vxi11JobResult result;
        std::unique_ptr<Vxi11Device> device = factory ? factory(info) : nullptr;
        result.device = std::move(device);
        result.status = result.device ? Vxi11Status::Ok : Vxi11Status::NotAccessible;
        return result;
    };
}

Vxi11JobFn Vxi11Jobs::acquire(Lock lock, std::string owner) {
    return [lock = std::move(lock), owner = std::move(owner)] {
        Vxi11JobResult result;
        if (!lock->tryAcquire(owner))
            result.outcome = Outcome::Locked;
        result.holder = lock->holder();
        result.holderKnown = true;
        return result;
    };
}

Vxi11JobFn Vxi11Jobs::release(Lock lock, std::string owner) {
    return [lock = std::move(lock), owner = std::move(owner)] {
        Vxi11JobResult result;
        result.holder = lock->holder();
        result.holderKnown = true;
        if (result.holder == owner)
            lock->release(owner);
        return result;
    };
}

Vxi11JobFn Vxi11Jobs::operate(Lock lock, std::string owner, Device device, Operation operation) {
    return [lock = std::move(lock), owner = std::move(owner), device = std::move(device),
            operation = std::move(operation)] {
        Vxi11JobResult result;
        if (mayOperate(*lock, owner, result))
            result.status = operation(*device);
        return result;
    };
}

Vxi11JobFn Vxi11Jobs::write(Lock lock, std::string owner, Device device, std::string bytes,
                            bool end) {
    return operate(std::move(lock), std::move(owner), std::move(device),
                   [bytes = std::move(bytes), end](Vxi11Device& d) { return d.write(bytes, end); });
}

Vxi11JobFn Vxi11Jobs::read(Lock lock, std::string owner, Device device, bool fetch) {
    return [lock = std::move(lock), owner = std::move(owner), device = std::move(device), fetch] {
        Vxi11JobResult result;
        if (!mayOperate(*lock, owner, result) || !fetch)
            return result;
        result.response = device->takeResponse();
        if (result.response.bytes.empty() && !result.response.end)
            result.outcome = Outcome::NothingYet;
        return result;
    };
}

Vxi11JobFn Vxi11Jobs::statusByte(Lock lock, std::string owner, Device device) {
    return [lock = std::move(lock), owner = std::move(owner), device = std::move(device)] {
        Vxi11JobResult result;
        if (mayOperate(*lock, owner, result))
            result.statusByte = device->statusByte();
        return result;
    };
}

} // namespace sfp::vxi11
