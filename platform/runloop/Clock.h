#pragma once
// The time source of the main loop's timers.
//
// SystemClock reads the monotonic clock. VirtualClock stands still until it
// is moved forward (by a test, or by the main loop when it would otherwise
// wait for its next timer), so timers fire in order without any sleeping.
#include <atomic>
#include <chrono>

namespace platform {

class Clock {
public:
    using Duration = std::chrono::nanoseconds;
    using TimePoint = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual TimePoint now() const = 0;
    // Whether time moves only when advanceTo is called.
    virtual bool isVirtual() const = 0;
    // Moves a virtual clock forward to when (never backwards); ignored by a
    // real clock.
    virtual void advanceTo(TimePoint when) = 0;
};

class SystemClock : public Clock {
public:
    TimePoint now() const override { return std::chrono::steady_clock::now(); }
    bool isVirtual() const override { return false; }
    void advanceTo(TimePoint) override { }
};

class VirtualClock : public Clock {
public:
    // Starts at the current monotonic time, so that timers scheduled before
    // the switch keep their distance.
    VirtualClock()
        : m_now(std::chrono::steady_clock::now().time_since_epoch().count())
    {
    }
    TimePoint now() const override { return TimePoint(Duration(m_now.load(std::memory_order_acquire))); }
    bool isVirtual() const override { return true; }
    void advanceTo(TimePoint when) override
    {
        const Duration::rep target = std::chrono::duration_cast<Duration>(when.time_since_epoch()).count();
        Duration::rep current = m_now.load(std::memory_order_acquire);
        while (current < target && !m_now.compare_exchange_weak(current, target, std::memory_order_acq_rel)) { }
    }

private:
    std::atomic<Duration::rep> m_now;
};

} // namespace platform
