#pragma once
// The machine's screens (GdkMonitor on the desktop; virtual screens
// headless), in top-down points with the first screen's top-left at (0, 0).
#include "platform/peer/Geometry.h"

#include <functional>
#include <vector>

namespace platform::peer {

struct ScreenInfo {
    unsigned id = 0;
    Rect frame;
    Rect visibleFrame; // without panels and docks
    double scale = 1; // backing pixels per point
};

class ScreensPeer {
public:
    virtual ~ScreensPeer() = default;
    // The first screen is the main one (holding the menu bar).
    virtual std::vector<ScreenInfo> screens() const = 0;
    // Called on the main thread after screens were added, removed or
    // changed (null removes it).
    virtual void setReconfigurationHandler(std::function<void()> handler) = 0;
};

} // namespace platform::peer
