#pragma once
// What a test uses to drive the layer headless. For its lifetime the test
// runs on a fresh headless backend and in virtual time; the system clock
// comes back at the end.
//
//   platform::headless::TestDriver driver;
//   driver.advance(std::chrono::milliseconds(40)); // timers due fire, in order
#include "platform/headless/HeadlessBackend.h"
#include "platform/runloop/Clock.h"
#include "platform/runloop/MainLoop.h"

#include <memory>

namespace platform::headless {

class TestDriver {
public:
    TestDriver();
    ~TestDriver();
    TestDriver(const TestDriver&) = delete;
    TestDriver& operator=(const TestDriver&) = delete;

    HeadlessBackend& backend() { return *m_backend; }
    MainLoop& loop() { return MainLoop::instance(); }

    // Virtual time since the driver began.
    Clock::Duration elapsed() const;
    // Moves virtual time forward, firing the timers that fall due in order
    // and running posted work in between.
    void advance(Clock::Duration duration);
    // Runs what is ready without moving time.
    void runPending();

private:
    HeadlessBackend* m_backend;
    std::shared_ptr<Clock> m_previousClock;
    Clock::TimePoint m_start;
};

} // namespace platform::headless
