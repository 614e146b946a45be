#include "BAS/Timer.h"

#include "bas/linux/HostClock.h"

namespace CV {
namespace BAS {

namespace DETAIL {

uint64_t ticksToMilliseconds(uint64_t ticks, uint64_t ticksPerSecond)
{
    if (ticksPerSecond == 0)
        return 0;
    // Whole seconds and the remainder separately: ticks * 1000 overflows
    // 64 bits after about 213 days of nanosecond ticks.
    // The remainder's product is taken in 128 bits so that no timebase can
    // overflow it.
    const unsigned __int128 remainder = ticks % ticksPerSecond;
    return ticks / ticksPerSecond * 1000 + static_cast<uint64_t>(remainder * 1000 / ticksPerSecond);
}

uint64_t ticksPerSecondOfTimebase(uint32_t numerator, uint32_t denominator)
{
    if (numerator == 0)
        return 0;
    return static_cast<uint64_t>(static_cast<double>(denominator) * 1e9 / static_cast<double>(numerator));
}

} // namespace DETAIL

uint64_t Timer::getCurrentTicks()
{
    return LINUX::HostClock::absoluteTime();
}

uint64_t Timer::getTicksPerSecond()
{
    static const uint64_t s_ticksPerSecond = [] {
        const LINUX::HostTimebase timebase = LINUX::HostClock::timebase();
        return DETAIL::ticksPerSecondOfTimebase(timebase.numerator, timebase.denominator);
    }();
    return s_ticksPerSecond;
}

uint64_t Timer::convertTicksToMS(uint64_t ticks)
{
    return DETAIL::ticksToMilliseconds(ticks, getTicksPerSecond());
}

} // namespace BAS
} // namespace CV
