#include "FEN/COCOA/EventTimerManagerMacosBridge.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/EventTarget.h"
#include "FEN/EventTimerManager.h"
#include "platform/headless/TestDriver.h"
#include "platform/objc/NSObject.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <vector>

namespace {

using namespace CV::FEN;
using namespace std::chrono_literals;

class Clocked : public EventTarget {
public:
    explicit Clocked(platform::headless::TestDriver* driver = nullptr)
        : m_driver(driver)
    {
    }
    bool onEvent(unsigned code, EventData* data) override
    {
        if (code != eTimerEvent::TimerTick)
            return false;
        at.push_back(m_driver != nullptr ? std::chrono::duration_cast<std::chrono::milliseconds>(m_driver->elapsed())
                                         : 0ms);
        if (onTick)
            onTick(static_cast<TimerEventData*>(data)->timer);
        return true;
    }
    std::vector<std::chrono::milliseconds> at;
    std::function<void(HEventTimer)> onTick;

private:
    platform::headless::TestDriver* m_driver;
};

TEST(EventTimerBridge, PlatformTimerTicksAtTheMasterPeriodInVirtualTime)
{
    platform::headless::TestDriver driver;
    COCOA::EventTimerManagerMacosBridge* bridge = nullptr;
    EventTimerManager manager([&](EventTimerManager& m) {
        auto made = std::make_unique<COCOA::EventTimerManagerMacosBridge>(m);
        bridge = made.get();
        return made;
    });
    Clocked every(&driver), slow(&driver);
    every.setEventTimer(40, 0);
    slow.setEventTimer(120, 0);
    ASSERT_NE(bridge->getTimerObject(), nil);
    EXPECT_STREQ(class_getName(object_getClass(bridge->getTimerObject())), "ComCalvarineCocoaNSTimerCallback");

    driver.advance(250ms);
    EXPECT_EQ(every.at.size(), 6u);
    ASSERT_EQ(slow.at.size(), 2u);
    EXPECT_NEAR(double(slow.at[0].count()), 120.0, 1.0);
    EXPECT_NEAR(double(slow.at[1].count()), 240.0, 1.0);

    // A tick whose work kills the last subscription stops the platform timer
    // and releases the callback object while its own callback runs.
    every.onTick = [&](HEventTimer timer) { every.killEventTimer(timer); };
    slow.onTick = [&](HEventTimer timer) { slow.killEventTimer(timer); };
    driver.advance(200ms);
    EXPECT_EQ(bridge->getTimerObject(), nil);
    const std::size_t ticks = every.at.size() + slow.at.size();
    driver.advance(200ms);
    EXPECT_EQ(every.at.size() + slow.at.size(), ticks);
}

TEST(EventTimerBridge, RealLoopTicksRoughlyEvery40Milliseconds)
{
    EventTimerManager manager;
    Clocked target;
    target.setEventTimer(40, 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(platform::MainLoop::instance().runUntil([&] { return target.at.size() >= 5; }, 5s));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // Five ticks: not before four periods, and not wildly late.
    EXPECT_GE(elapsed, 150ms);
    EXPECT_LT(elapsed, 3s);
}

} // namespace
