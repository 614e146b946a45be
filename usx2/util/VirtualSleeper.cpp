#include "usx2/util/VirtualSleeper.h"

namespace CV {
namespace USX2 {

void VirtualSleeper::sleepFor(Duration duration)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (duration.count() > 0)
        m_now += duration;
    m_sleeps.push_back(duration);
}

Sleeper::Duration VirtualSleeper::now() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_now;
}

std::vector<Sleeper::Duration> VirtualSleeper::sleeps() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sleeps;
}

} // namespace USX2
} // namespace CV
