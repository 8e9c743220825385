// Every write the engine made, with the moment it was made, for front ends
// that poll it (live plot, progress) from any thread. Keeps the newest
// `capacity` records; each record keeps its index for the whole run, so a
// reader asks for what came after the last index it saw.
#ifndef SFP_WRITELOG_H
#define SFP_WRITELOG_H

#include <QString>

#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

struct WriteRecord {
    std::chrono::steady_clock::time_point at; // just before the write was issued
    int channel = 0;
    double volts = 0;
    bool ok = true;
};

class WriteLog {
public:
    static constexpr size_t kDefaultCapacity = size_t(1) << 20;

    explicit WriteLog(size_t capacity = kDefaultCapacity);

    void append(const WriteRecord& record);
    // Records with index >= from (older ones may have been dropped), at most
    // maxCount; *next receives the index to ask for next time.
    std::vector<WriteRecord> readFrom(uint64_t from, uint64_t* next,
                                      size_t maxCount = SIZE_MAX) const;
    uint64_t total() const; // records ever appended
    void clear();

private:
    mutable std::mutex m_mutex;
    std::deque<WriteRecord> m_records;
    uint64_t m_first = 0; // index of m_records.front()
    size_t m_capacity;
};

#endif
