#include "platform/runloop/MainLoop.h"

#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"

#include "platform/headless/TestDriver.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

using platform::MainLoop;
using namespace std::chrono_literals;

namespace {

TEST(MainLoop, OneShotTimerFiresOnceOnTheMainThread)
{
    MainLoop& loop = MainLoop::instance();
    int fired = 0;
    bool onMain = false;
    const MainLoop::TimerId timer = loop.addTimer(5ms, false, [&] {
        ++fired;
        onMain = MainLoop::isMainThread();
    });
    EXPECT_TRUE(loop.runUntil([&] { return fired > 0; }, 2s));
    loop.runUntil([] { return false; }, 30ms);
    EXPECT_EQ(fired, 1);
    EXPECT_TRUE(onMain);
    EXPECT_FALSE(loop.hasTimer(timer));
}

TEST(MainLoop, RepeatingTimerStopsWhenCancelledFromItsCallback)
{
    MainLoop& loop = MainLoop::instance();
    int fired = 0;
    MainLoop::TimerId timer = 0;
    timer = loop.addTimer(1ms, true, [&] {
        if (++fired == 3)
            loop.cancelTimer(timer);
    });
    EXPECT_TRUE(loop.runUntil([&] { return fired >= 3; }, 2s));
    loop.runUntil([] { return false; }, 30ms);
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(loop.hasTimer(timer));
}

TEST(MainLoop, CancelledTimerNeverFires)
{
    MainLoop& loop = MainLoop::instance();
    bool fired = false;
    loop.cancelTimer(loop.addTimer(1ms, false, [&] { fired = true; }));
    loop.runUntil([] { return false; }, 30ms);
    EXPECT_FALSE(fired);
}

TEST(MainLoop, WorkPostedFromOtherThreadsRunsOnTheMainThreadInOrder)
{
    MainLoop& loop = MainLoop::instance();
    std::vector<int> order;
    std::atomic<int> offMain{0};
    std::thread worker([&] {
        for (int i = 0; i < 5; ++i)
            loop.post([&, i] {
                if (!MainLoop::isMainThread())
                    ++offMain;
                order.push_back(i);
            });
    });
    worker.join();
    EXPECT_TRUE(loop.runUntil([&] { return order.size() == 5; }, 2s));
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(offMain, 0);
}

TEST(MainLoop, PerformAndWaitBlocksTheCallerUntilTheMainThreadRanIt)
{
    MainLoop& loop = MainLoop::instance();
    std::atomic<bool> ran{false};
    std::atomic<bool> callerSawIt{false};
    std::thread worker([&] {
        loop.performAndWait([&] { ran = MainLoop::isMainThread(); });
        callerSawIt = ran.load();
        loop.quit();
    });
    loop.run();
    worker.join();
    EXPECT_TRUE(callerSawIt);
}

} // namespace

namespace {

using platform::Clock;
using platform::RunLoopMode;
using platform::RunLoopModes;
using platform::headless::TestDriver;

// Milliseconds of virtual time since the driver began.
long msSince(const TestDriver& driver)
{
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(driver.elapsed()).count());
}

TEST(MainLoopVirtualTime, TimersFireInOrderEachAtItsOwnTime)
{
    TestDriver driver;
    MainLoop& loop = driver.loop();
    std::vector<std::pair<std::string, long>> fired;
    auto record = [&](std::string name) { return [&, name] { fired.emplace_back(name, msSince(driver)); }; };
    loop.addTimer(30ms, false, record("c"));
    loop.addTimer(10ms, false, record("a"));
    const MainLoop::TimerId tick = loop.addTimer(15ms, true, record("tick"));
    loop.addTimer(20ms, false, [&] {
        fired.emplace_back("b", msSince(driver));
        loop.addTimer(5ms, false, record("scheduled by b")); // due inside the same advance
    });
    driver.advance(50ms);
    loop.cancelTimer(tick);
    const std::vector<std::pair<std::string, long>> expected = {
        {"a", 10}, {"tick", 15}, {"b", 20}, {"scheduled by b", 25}, {"c", 30}, {"tick", 30}, {"tick", 45}};
    EXPECT_EQ(fired, expected);
    EXPECT_EQ(msSince(driver), 50);
}

TEST(MainLoopVirtualTime, RunUntilMovesTimeToTheNextTimerOrTheDeadlineWithoutWaiting)
{
    TestDriver driver;
    MainLoop& loop = driver.loop();
    bool fired = false;
    loop.addTimer(3s, false, [&] { fired = true; });
    EXPECT_TRUE(loop.runUntil([&] { return fired; }, 1h));
    EXPECT_EQ(msSince(driver), 3000);
    EXPECT_FALSE(loop.runUntil([] { return false; }, 2s));
    EXPECT_EQ(msSince(driver), 5000);
}

TEST(MainLoopVirtualTime, TimersFireOnlyInTheirModes)
{
    TestDriver driver;
    MainLoop& loop = driver.loop();
    struct Case {
        const char* name;
        RunLoopModes modes;
        bool firesInModalRun;
    };
    const Case cases[] = {
        {"default only", RunLoopMode::Default, false},
        {"modal panel", RunLoopMode::ModalPanel, true},
        {"all modes", RunLoopModes::all(), true},
        {"default and tracking", RunLoopMode::Default | RunLoopMode::EventTracking, false},
    };
    std::vector<std::string> fired;
    for (const Case& c : cases)
        loop.addTimer(
            10ms, false, [&fired, &c] { fired.push_back(c.name); }, c.modes);
    // A modal run started from a default-mode callback, as a modal panel is.
    std::vector<std::string> firedInModal;
    loop.post([&] {
        loop.runUntil([] { return false; }, 20ms, RunLoopMode::ModalPanel);
        firedInModal = fired;
    });
    driver.runPending();
    for (const Case& c : cases) {
        const bool inModal = std::find(firedInModal.begin(), firedInModal.end(), c.name) != firedInModal.end();
        EXPECT_EQ(inModal, c.firesInModalRun) << c.name;
    }
    // Back in the default mode the overdue default-mode timers fire.
    EXPECT_EQ(fired.size(), 4u);
}

TEST(MainLoopVirtualTime, ChangingTheClockKeepsTheRemainingTime)
{
    MainLoop& loop = MainLoop::instance();
    const MainLoop::TimerId timer = loop.addTimer(1h, false, [] {});
    {
        TestDriver driver;
        driver.advance(20min);
        const auto remaining = *loop.nextFireTime(timer) - loop.now();
        EXPECT_GT(remaining, 39min);
        EXPECT_LE(remaining, 40min);
    }
    const auto remaining = *loop.nextFireTime(timer) - loop.now();
    EXPECT_LE(remaining, 40min);
    loop.cancelTimer(timer);
}

// A toolkit's event handler is a plain GLib source: what it autoreleases
// must go when the loop's pass ends, as it does for our own timers and
// posted work, not wait for a pool far outside the loop.
TEST(MainLoop, WhatASourceAutoreleasesGoesWhenItsPassEnds)
{
    using platform::objc::AutoreleasePool;
    using platform::objc::NSObject;
    using platform::objc::ObjectRuntime;
    const std::vector<std::pair<const char*, std::function<void(bool&)>>> runs = {
        {"runPending", [](bool&) { MainLoop::instance().runPending(); }},
        {"runUntil", [](bool& ran) { MainLoop::instance().runUntil([&] { return ran; }, 2s); }},
    };
    for (const auto& run : runs) {
        AutoreleasePool outer;
        const std::size_t before = AutoreleasePool::pendingCount();
        bool ran = false;
        g_idle_add(
            [](gpointer ranFlag) -> gboolean {
                NSObject::autorelease(NSObject::allocInit(ObjectRuntime::lookUpClass("NSObject")));
                *static_cast<bool*>(ranFlag) = true;
                return G_SOURCE_REMOVE;
            },
            &ran);
        run.second(ran);
        EXPECT_TRUE(ran) << run.first;
        EXPECT_EQ(AutoreleasePool::pendingCount(), before) << run.first;
    }
}

} // namespace
