#include "platform/thread/FutexSemaphore.h"

#include <cerrno>
#include <climits>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace platform {

namespace {

static_assert(std::atomic<uint32_t>::is_always_lock_free, "futex words must be plain words");

uint32_t* futexWord(std::atomic<uint32_t>& value)
{
    return reinterpret_cast<uint32_t*>(&value);
}

// Sleeps while the word still holds `expected`; returns on wake-up, on a
// changed word or on a signal. Callers re-check the word in a loop.
void futexWait(std::atomic<uint32_t>& value, uint32_t expected)
{
    syscall(SYS_futex, futexWord(value), FUTEX_WAIT_PRIVATE, expected, nullptr, nullptr, 0);
}

void futexWakeOne(std::atomic<uint32_t>& value)
{
    syscall(SYS_futex, futexWord(value), FUTEX_WAKE_PRIVATE, 1, nullptr, nullptr, 0);
}

} // namespace

void FutexSemaphore::create(uint32_t initialValue)
{
    m_value.store(initialValue, std::memory_order_release);
}

void FutexSemaphore::destroy() { }

void FutexSemaphore::wait()
{
    for (;;) {
        uint32_t current = m_value.load(std::memory_order_relaxed);
        while (current > 0) {
            if (m_value.compare_exchange_weak(current, current - 1, std::memory_order_acquire,
                                              std::memory_order_relaxed))
                return;
        }
        futexWait(m_value, 0);
    }
}

void FutexSemaphore::signal()
{
    m_value.fetch_add(1, std::memory_order_release);
    futexWakeOne(m_value);
}

} // namespace platform
