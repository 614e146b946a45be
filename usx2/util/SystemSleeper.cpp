#include "usx2/util/SystemSleeper.h"

#include <thread>

namespace CV {
namespace USX2 {

Sleeper& Sleeper::system()
{
    static SystemSleeper sleeper;
    return sleeper;
}

void SystemSleeper::sleepFor(Duration duration)
{
    if (duration.count() > 0)
        std::this_thread::sleep_for(duration);
}

Sleeper::Duration SystemSleeper::now() const
{
    return std::chrono::duration_cast<Duration>(std::chrono::steady_clock::now().time_since_epoch());
}

} // namespace USX2
} // namespace CV
