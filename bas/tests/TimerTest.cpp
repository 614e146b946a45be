#include "BAS/Timer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

using CV::BAS::Timer;
namespace DETAIL = CV::BAS::DETAIL;

constexpr uint64_t kNanoseconds = 1000000000ull;
constexpr uint64_t kDay = 86400ull * kNanoseconds;

TEST(TimerTest, TicksToMillisecondsStaysExactPastTheProductOverflow)
{
    struct Case {
        uint64_t ticks;
        uint64_t ticksPerSecond;
        uint64_t ms;
    };
    // ticks * 1000 no longer fits 64 bits from 18,446,744,073,709,552 ticks on,
    // which is 213 days, 12 hours and some minutes of nanosecond ticks.
    const uint64_t firstOverflow = std::numeric_limits<uint64_t>::max() / 1000 + 1;
    const Case cases[] = {
        {0, kNanoseconds, 0},
        {1500000000ull, kNanoseconds, 1500},
        {999999ull, kNanoseconds, 0},
        {firstOverflow - 1, kNanoseconds, (firstOverflow - 1) / 1000000},
        {firstOverflow, kNanoseconds, firstOverflow / 1000000},
        {213 * kDay, kNanoseconds, 213 * 86400000ull},
        {214 * kDay + 999999999ull, kNanoseconds, 214 * 86400000ull + 999},
        {std::numeric_limits<uint64_t>::max(), kNanoseconds, 18446744073709ull},
        {3, 3, 1000},
        {1, 3, 333},
        {125, 1000, 125},
        {7, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DETAIL::ticksToMilliseconds(c.ticks, c.ticksPerSecond), c.ms)
            << c.ticks << " at " << c.ticksPerSecond;
}

TEST(TimerTest, TicksPerSecondFollowTheTimebase)
{
    EXPECT_EQ(DETAIL::ticksPerSecondOfTimebase(1, 1), kNanoseconds);
    EXPECT_EQ(DETAIL::ticksPerSecondOfTimebase(125, 3), 24000000u);
    EXPECT_EQ(DETAIL::ticksPerSecondOfTimebase(3, 1), 333333333u);
    EXPECT_EQ(Timer::getTicksPerSecond(), kNanoseconds);
}

TEST(TimerTest, ClockIsMonotonicAndConvertsAtItsOwnRate)
{
    const uint64_t first = Timer::getCurrentTicks();
    const uint64_t second = Timer::getCurrentTicks();
    EXPECT_GE(second, first);
    EXPECT_EQ(Timer::convertTicksToMS(1500000000ull), 1500u);
    EXPECT_EQ(Timer::convertTicksToMS(300 * kDay), 300 * 86400000ull);
}

} // namespace
