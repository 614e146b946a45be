#pragma once
// Counts the clicks of a mouse button the way the platform reports them,
// for every backend's window peer: a press of the same button within the
// double-click time of the previous press and within the double-click
// distance of it continues the series (2, 3, 4, ...); anything else starts
// a new one at 1. Times are milliseconds on the peer's clock (the window
// system's event times on the desktop, the main loop's clock headless);
// they may wrap around.
#include <cstdint>

namespace platform::peer {

class ClickCounter {
public:
    // The double-click time and distance (the toolkit's settings on the
    // desktop; 400 ms and 5 points unless set).
    void setLimits(std::uint32_t timeMs, double distance);

    // A press: the click count it gets.
    int press(int button, std::uint32_t timeMs, double x, double y);
    // The count of the last press (what its release reports).
    int current() const { return m_count; }
    // Forgets the series (the pointer left, the window lost the focus).
    void reset() { m_count = 0; }

private:
    bool continuesSeries(int button, std::uint32_t timeMs, double x, double y) const;

    std::uint32_t m_limitMs = 400;
    double m_distance = 5;
    int m_button = -1;
    std::uint32_t m_timeMs = 0;
    double m_x = 0;
    double m_y = 0;
    int m_count = 0;
};

} // namespace platform::peer
