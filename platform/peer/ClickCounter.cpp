#include "platform/peer/ClickCounter.h"

#include <cmath>

namespace platform::peer {

void ClickCounter::setLimits(std::uint32_t timeMs, double distance)
{
    m_limitMs = timeMs;
    m_distance = distance;
}

bool ClickCounter::continuesSeries(int button, std::uint32_t timeMs, double x, double y) const
{
    if (m_count == 0 || button != m_button)
        return false;
    // Unsigned subtraction keeps working across the wrap of event times.
    const std::uint32_t elapsed = timeMs - m_timeMs;
    if (elapsed > m_limitMs)
        return false;
    return std::fabs(x - m_x) <= m_distance && std::fabs(y - m_y) <= m_distance;
}

int ClickCounter::press(int button, std::uint32_t timeMs, double x, double y)
{
    if (continuesSeries(button, timeMs, x, y)) {
        ++m_count;
    } else {
        m_count = 1;
        m_button = button;
        m_x = x;
        m_y = y;
    }
    m_timeMs = timeMs;
    return m_count;
}

} // namespace platform::peer
