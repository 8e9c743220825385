#include "Vxi11Inbox.h"

namespace sfp::vxi11 {

void Vxi11Inbox::post(uint64_t serial, Vxi11JobResult result) {
    std::lock_guard<std::mutex> guard(mutex_);
    results_.emplace_back(serial, std::move(result));
    if (wake_)
        wake_();
}

void Vxi11Inbox::notifyChanged() {
    std::lock_guard<std::mutex> guard(mutex_);
    changed_ = true;
    if (wake_)
        wake_();
}

void Vxi11Inbox::detach() {
    std::lock_guard<std::mutex> guard(mutex_);
    wake_ = nullptr;
}

std::vector<std::pair<uint64_t, Vxi11JobResult>> Vxi11Inbox::take(bool& changed) {
    std::lock_guard<std::mutex> guard(mutex_);
    changed = changed_;
    changed_ = false;
    return std::exchange(results_, {});
}

} // namespace sfp::vxi11
