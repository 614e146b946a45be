#include "bas/linux/HostClock.h"

#include <ctime>

namespace CV {
namespace BAS {
namespace LINUX {

uint64_t HostClock::absoluteTime()
{
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

HostTimebase HostClock::timebase()
{
    return HostTimebase{1, 1};
}

} // namespace LINUX
} // namespace BAS
} // namespace CV
