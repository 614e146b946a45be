#include "platform/cf/CFRunLoop.h"

#include "platform/headless/TestDriver.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono_literals;
using platform::headless::TestDriver;

struct Record {
    TestDriver* driver;
    std::vector<long> firedAtMs;
    int released = 0;
};

void onTimer(CFRunLoopTimerRef, void* info)
{
    auto* record = static_cast<Record*>(info);
    record->firedAtMs.push_back(
        long(std::chrono::duration_cast<std::chrono::milliseconds>(record->driver->elapsed()).count()));
}

TEST(CFRunLoopTimer, FiresAtItsDateThenEveryIntervalUntilInvalidated)
{
    TestDriver driver;
    Record record{&driver, {}, 0};
    CFRunLoopTimerContext context{0, &record, nullptr,
                                  [](const void* info) { ++static_cast<Record*>(const_cast<void*>(info))->released; },
                                  nullptr};
    struct Case {
        double interval;
        CFStringRef mode;
        std::vector<long> expected; // within 3.5 s, the first firing 1 s in
    };
    const Case cases[] = {
        {0, kCFRunLoopCommonModes, {1000}},
        {1.0, kCFRunLoopDefaultMode, {1000, 2000, 3000}},
    };
    for (const Case& c : cases) {
        record.firedAtMs.clear();
        const auto start = driver.elapsed();
        CFRunLoopTimerRef timer =
            CFRunLoopTimerCreate(nullptr, CFAbsoluteTimeGetCurrent() + 1.0, c.interval, 0, 0, &onTimer, &context);
        CFRunLoopAddTimer(CFRunLoopGetCurrent(), timer, c.mode);
        driver.advance(3500ms);
        for (long& at : record.firedAtMs)
            at -= long(std::chrono::duration_cast<std::chrono::milliseconds>(start).count());
        EXPECT_EQ(record.firedAtMs, c.expected) << c.interval;
        EXPECT_EQ(bool(CFRunLoopTimerIsValid(timer)), c.interval > 0);
        CFRunLoopTimerInvalidate(timer);
        driver.advance(2s);
        EXPECT_EQ(record.firedAtMs, c.expected) << "after invalidation";
        CFRelease(timer);
    }
    EXPECT_EQ(record.released, 2);
}

} // namespace
