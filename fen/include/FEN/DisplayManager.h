#pragma once
// The displays of the system and their changes: the list of displays with
// their frames in framework screen coordinates (top-left of the main
// display at the origin, y downwards), the rectangle bounding them and
// whether they are stacked vertically. A reconfiguration reported by the
// platform rebuilds the list one second later and tells the application
// (DisplaysChanged).
#include "BAS/Rect.h"

#include <vector>

namespace CV {
namespace FEN {

class Display {
public:
    // Orders by the top edge when the displays are stacked vertically, by
    // the left edge otherwise.
    struct tSorter {
        explicit tSorter(bool vertical)
            : m_bVertical(vertical)
        {
        }
        bool operator()(Display const& a, Display const& b) const
        {
            return m_bVertical ? a.m_rectFrame.top < b.m_rectFrame.top : a.m_rectFrame.left < b.m_rectFrame.left;
        }
        bool m_bVertical;
    };

    BAS::Rect m_rectFrame{0, 0, 0, 0};
    BAS::Rect m_rectVisibleFrame{0, 0, 0, 0}; // without menu bar and dock
    bool m_bRetina = false; // backing scale other than 1
    bool m_bValid = true;
};

class DisplayManager {
public:
    // Starts watching the display configuration; whether displays are known.
    static bool init();
    // Stops watching; refreshes still pending are cancelled.
    static void deInit();
    // Rebuilds the display list from the platform's screens.
    static void onDisplayChange();
    // Sets s_bVerticalDisplays from the list's order.
    static void detectVerticalLayout();
    // The bounding rectangle of all displays (read from the screens when
    // the manager is not running).
    static BAS::Rect getDisplayBounds();

    static std::vector<Display> s_collDisplays;
    static BAS::Rect s_rectDisplayBounds;
    static bool s_bVerticalDisplays;
    static bool s_bInited;

    DisplayManager() = delete;
};

// The platform's callbacks: a reconfiguration that changes the arrangement
// schedules a refresh one second later; the refresh rebuilds the list and
// sends DisplaysChanged to the application.
class DisplayManagerImpl {
public:
    static void reconfigurationCallback(unsigned display, unsigned flags, void* userInfo);
    static void onTimerNotification(const void* timer, void* info);
};

} // namespace FEN
} // namespace CV
