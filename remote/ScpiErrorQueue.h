// A client's error queue: first in, first out, bounded. When it fills, the
// newest entry becomes -350 "Queue overflow" and later errors are lost, as
// SCPI asks.
#ifndef SFP_SCPIERRORQUEUE_H
#define SFP_SCPIERRORQUEUE_H

#include "ScpiError.h"

#include <deque>

class ScpiErrorQueue {
public:
    static constexpr int kDefaultCapacity = 32;

    explicit ScpiErrorQueue(int capacity = kDefaultCapacity);
    // False when the queue was full: the error became, or was lost after, -350.
    bool push(const ScpiError& error);
    // The oldest error, or 0 "No error".
    ScpiError take();
    int count() const { return int(entries_.size()); }
    void clear() { entries_.clear(); }

private:
    int capacity_;
    std::deque<ScpiError> entries_;
};

#endif
