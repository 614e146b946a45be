#pragma once
// The host's monotonic clock: ticks and the fraction of a nanosecond that
// one tick lasts (numerator / denominator).
#include <cstdint>

namespace CV {
namespace BAS {
namespace LINUX {

struct HostTimebase {
    uint32_t numerator = 1;
    uint32_t denominator = 1;
};

class HostClock {
public:
    // CLOCK_MONOTONIC in nanoseconds: runs on while the process sleeps,
    // never jumps with the wall clock.
    static uint64_t absoluteTime();
    static HostTimebase timebase();

    HostClock() = delete;
};

} // namespace LINUX
} // namespace BAS
} // namespace CV
