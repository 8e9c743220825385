#ifndef QV4720FP_DRIVERTURN_H
#define QV4720FP_DRIVERTURN_H

#include <condition_variable>
#include <cstdint>
#include <mutex>

// Takes turns at the driver in the order the callers arrived (a ticket
// lock): one thread at a time, and never one overtaking another, so that two
// writes made one after the other reach the card in that order.
class qv4720fp_DriverTurn {
public:
    class Hold {
    public:
        explicit Hold(qv4720fp_DriverTurn& turn) : m_turn(turn) { m_turn.take(); }
        ~Hold() { m_turn.give(); }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        qv4720fp_DriverTurn& m_turn;
    };

private:
    void take() {
        std::unique_lock<std::mutex> lock(m_mutex);
        const std::uint64_t ticket = m_next++;
        m_turnChanged.wait(lock, [&] { return m_serving == ticket; });
    }
    void give() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            ++m_serving;
        }
        m_turnChanged.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_turnChanged;
    std::uint64_t m_next = 0;
    std::uint64_t m_serving = 0;
};

#endif
