#pragma once
// A counting semaphore in one 32-bit word. Waiters sleep in the kernel on the
// word itself, so the semaphore needs no storage of its own and fits into
// small fixed-size records. Waiters are woken in the order they started to
// wait (among threads of equal priority).
#include <atomic>
#include <cstdint>

namespace platform {

class FutexSemaphore {
public:
    // Trivial: the semaphore is usable after create(), also inside raw memory.
    FutexSemaphore() = default;
    FutexSemaphore(const FutexSemaphore&) = delete;
    FutexSemaphore& operator=(const FutexSemaphore&) = delete;

    void create(uint32_t initialValue = 0);
    // Nothing to release; kept so that owners pair it with create().
    void destroy();

    // Takes one unit, sleeping while the value is 0.
    void wait();
    // Adds one unit and wakes one sleeping waiter.
    void signal();

    uint32_t value() const { return m_value.load(std::memory_order_relaxed); }

private:
    std::atomic<uint32_t> m_value;
};

static_assert(sizeof(FutexSemaphore) == 4, "the semaphore is one futex word");

} // namespace platform
