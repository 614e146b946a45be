#include "platform/runloop/MainLoop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
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
