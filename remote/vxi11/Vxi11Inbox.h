// Where jobs finished on the executor's thread leave their results for the
// server thread, and where other threads say that the lock or a response
// changed. Every posting wakes the server thread through the given callback.
#ifndef SFP_VXI11_VXI11INBOX_H
#define SFP_VXI11_VXI11INBOX_H

#include "Vxi11JobResult.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <utility>
#include <vector>

namespace sfp::vxi11 {

class Vxi11Inbox {
public:
    explicit Vxi11Inbox(std::function<void()> wake) : wake_(std::move(wake)) {}

    void post(uint64_t serial, Vxi11JobResult result);
    void notifyChanged();
    // No more wake-ups: the server thread is gone (jobs may still finish later).
    void detach();
    // Takes the finished jobs; changed tells whether a notification came.
    std::vector<std::pair<uint64_t, Vxi11JobResult>> take(bool& changed);

private:
    std::function<void()> wake_;
    std::mutex mutex_;
    std::vector<std::pair<uint64_t, Vxi11JobResult>> results_;
    bool changed_ = false;
};

} // namespace sfp::vxi11

#endif
