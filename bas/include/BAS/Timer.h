#pragma once
// The tick clock: a monotonic counter of host ticks and their conversion to
// milliseconds.
#include <cstdint>

namespace CV {
namespace BAS {

class Timer {
public:
    static uint64_t getCurrentTicks();
    // ticks * 1000 / ticks per second, exact and without overflow for
    // every 64-bit tick count.
    static uint64_t convertTicksToMS(uint64_t ticks);
    // Computed once, on first use, from the host timebase.
    static uint64_t getTicksPerSecond();

    Timer() = delete;
};

namespace DETAIL {
// ticks * 1000 / ticksPerSecond without the 64-bit overflow of the product.
uint64_t ticksToMilliseconds(uint64_t ticks, uint64_t ticksPerSecond);
// (uint64)(denominator * 1e9 / numerator) in double arithmetic, truncated.
uint64_t ticksPerSecondOfTimebase(uint32_t numerator, uint32_t denominator);
} // namespace DETAIL

} // namespace BAS
} // namespace CV
