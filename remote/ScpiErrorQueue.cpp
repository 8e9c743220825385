#include "ScpiErrorQueue.h"

#include <algorithm>

ScpiErrorQueue::ScpiErrorQueue(int capacity) : capacity_(std::max(2, capacity)) {}

bool ScpiErrorQueue::push(const ScpiError& error) {
    const int size = count();
    if (size < capacity_ - 1) {
        entries_.push_back(error);
        return true;
    }
    if (size == capacity_ - 1)
        entries_.push_back(ScpiError::standard(ScpiError::QueueOverflow));
    return false;
}

ScpiError ScpiErrorQueue::take() {
    if (entries_.empty())
        return {};
    ScpiError e = entries_.front();
    entries_.pop_front();
    return e;
}
