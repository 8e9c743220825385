#include "Vxi11RecordFramer.h"

#include <algorithm>

namespace sfp::vxi11 {

namespace {
constexpr uint32_t kLastFragment = 0x80000000u;
constexpr size_t kHeaderSize = 4;
} // namespace

Vxi11RecordFramer::Vxi11RecordFramer(size_t maxRecordSize) : maxRecordSize_(maxRecordSize) {}

bool Vxi11RecordFramer::feed(const uint8_t* data, size_t size) {
    while (size > 0 && !failed_) {
        const size_t used = inBody_ ? feedBody(data, size) : feedHeader(data, size);
        data += used;
        size -= used;
    }
    return !failed_;
}

size_t Vxi11RecordFramer::feedHeader(const uint8_t* data, size_t size) {
    const size_t used = std::min(size, kHeaderSize - headerHave_);
    std::copy(data, data + used, header_ + headerHave_);
    headerHave_ += used;
    if (headerHave_ < kHeaderSize)
        return used;
    headerHave_ = 0;
    const uint32_t word = (uint32_t(header_[0]) << 24) | (uint32_t(header_[1]) << 16) |
                          (uint32_t(header_[2]) << 8) | uint32_t(header_[3]);
    lastFragment_ = (word & kLastFragment) != 0;
    fragmentLeft_ = word & ~kLastFragment;
    // Checked against the limit before a byte of the body is stored.
    if (fragmentLeft_ > maxRecordSize_ - current_.size()) {
        failed_ = true;
        current_.clear();
        current_.shrink_to_fit();
        return used;
    }
    current_.reserve(current_.size() + fragmentLeft_);
    inBody_ = true;
    if (fragmentLeft_ == 0)
        finishFragment();
    return used;
}

size_t Vxi11RecordFramer::feedBody(const uint8_t* data, size_t size) {
    const size_t used = std::min(size, fragmentLeft_);
    current_.append(reinterpret_cast<const char*>(data), used);
    fragmentLeft_ -= used;
    if (fragmentLeft_ == 0)
        finishFragment();
    return used;
}

void Vxi11RecordFramer::finishFragment() {
    inBody_ = false;
    if (!lastFragment_)
        return;
    records_.push_back(std::move(current_));
    current_.clear();
}

std::string Vxi11RecordFramer::takeRecord() {
    std::string record = std::move(records_.front());
    records_.pop_front();
    return record;
}

size_t Vxi11RecordFramer::buffered() const {
    size_t total = current_.size();
    for (const std::string& record : records_)
        total += record.size();
    return total;
}

std::string Vxi11RecordFramer::frame(const std::string& record) {
    const uint32_t word = kLastFragment | uint32_t(record.size());
    std::string out;
    out.reserve(kHeaderSize + record.size());
    out.push_back(char(word >> 24));
    out.push_back(char((word >> 16) & 0xff));
    out.push_back(char((word >> 8) & 0xff));
    out.push_back(char(word & 0xff));
    out += record;
    return out;
}

} // namespace sfp::vxi11
