#ifndef MONOTONICCLOCK_H
#define MONOTONICCLOCK_H

#include <QtGlobal>

#include <ctime>

// CLOCK_MONOTONIC in nanoseconds: one clock for the benchmark and the
// programs it starts, so their moments can be subtracted.
inline qint64 monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

#endif
