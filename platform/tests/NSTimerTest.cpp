#include "platform/appkit/NSTimer.h"
#include "platform/headless/TestDriver.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"

#include <gtest/gtest.h>

#include <chrono>
#include <vector>

namespace {

using namespace std::chrono_literals;
using platform::appkit::NSTimer;
namespace objc = platform::objc;

// Records the time of every action it receives.
struct Ticks {
    static std::vector<platform::Clock::Duration> s_at;
    static platform::headless::TestDriver* s_driver;

    static Class cls()
    {
        static Class s_class = objc::StandInClass("NSTimerTestTarget", "NSObject")
                                   .method(
                                       "tick:", +[](id, SEL, id) { s_at.push_back(s_driver->elapsed()); })
                                   .registerClass();
        return s_class;
    }
};
std::vector<platform::Clock::Duration> Ticks::s_at;
platform::headless::TestDriver* Ticks::s_driver = nullptr;

id makeTimer(id target, double seconds, bool repeats)
{
    return objc::send<id>(NSTimer::timerClass(), "timerWithTimeInterval:target:selector:userInfo:repeats:", seconds,
                          target, objc::selector("tick:"), id(nil), BOOL(repeats ? YES : NO));
}

void schedule(id timer, CFStringRef mode)
{
    objc::send<void>(objc::send<id>(NSTimer::runLoopClass(), "currentRunLoop"), "addTimer:forMode:", timer, mode);
}

TEST(NSTimer, ScheduledTimersFireInTheirModesAndOneShotsEndThemselves)
{
    platform::headless::TestDriver driver;
    Ticks::s_driver = &driver;
    Ticks::s_at.clear();
    id target = objc::NSObject::allocInit(Ticks::cls());

    id common = nil, defaultOnly = nil;
    {
        objc::AutoreleasePool pool; // the made timers are autoreleased
        common = objc::NSObject::retain(makeTimer(target, 0.04, false));
        defaultOnly = objc::NSObject::retain(makeTimer(target, 0.04, false));
    }
    schedule(common, NSRunLoopCommonModes);
    schedule(defaultOnly, NSDefaultRunLoopMode);
    EXPECT_EQ(objc::NSObject::retainCount(target), 3); // both timers hold it
    {
        // A modal panel's loop: only the timer of the common modes fires.
        platform::MainLoop::ModeScope modal(platform::RunLoopMode::ModalPanel);
        driver.advance(50ms);
    }
    EXPECT_EQ(Ticks::s_at, (std::vector<platform::Clock::Duration>{40ms}));
    EXPECT_FALSE(objc::send<BOOL>(common, "isValid"));
    EXPECT_TRUE(objc::send<BOOL>(defaultOnly, "isValid"));
    driver.advance(10ms);
    EXPECT_EQ(Ticks::s_at.size(), 2u);
    EXPECT_FALSE(objc::send<BOOL>(defaultOnly, "isValid"));
    EXPECT_EQ(objc::NSObject::retainCount(target), 1);
    EXPECT_EQ(objc::NSObject::retainCount(common), 1);
    objc::NSObject::release(common);
    objc::NSObject::release(defaultOnly);

    // A repeating timer until it is invalidated.
    Ticks::s_at.clear();
    objc::AutoreleasePool pool;
    id repeating = makeTimer(target, 0.02, true);
    schedule(repeating, NSDefaultRunLoopMode);
    driver.advance(70ms);
    objc::send<void>(repeating, "invalidate");
    driver.advance(70ms);
    EXPECT_EQ(Ticks::s_at.size(), 3u);
    EXPECT_EQ(objc::NSObject::retainCount(target), 1);
    objc::NSObject::release(target);
    driver.runPending();
}

} // namespace
