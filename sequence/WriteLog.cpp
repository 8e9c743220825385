#include "WriteLog.h"

#include <algorithm>

WriteLog::WriteLog(size_t capacity) : m_capacity(std::max<size_t>(capacity, 1)) {}

void WriteLog::append(const WriteRecord& record) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_records.push_back(record);
    if (m_records.size() > m_capacity) {
        m_records.pop_front();
        ++m_first;
    }
}

std::vector<WriteRecord> WriteLog::readFrom(uint64_t from, uint64_t* next, size_t maxCount) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint64_t end = m_first + m_records.size();
    const uint64_t begin = std::min(std::max(from, m_first), end);
    const uint64_t count = std::min<uint64_t>(end - begin, maxCount);
    const auto first = m_records.begin() + std::ptrdiff_t(begin - m_first);
    if (next)
        *next = begin + count;
    return std::vector<WriteRecord>(first, first + std::ptrdiff_t(count));
}

uint64_t WriteLog::total() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_first + m_records.size();
}

void WriteLog::clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_first += m_records.size();
    m_records.clear();
}
