#pragma once
// The desktop's screens: GDK's monitors, the primary one first, in points
// with the primary monitor's top-left at (0, 0); the visible frame is the
// monitor's work area. Changes of the monitors (added, removed, moved,
// resized, rescaled) reach the reconfiguration handler on the main loop.
#include "platform/peer/ScreensPeer.h"

#include <functional>
#include <vector>

typedef struct _GdkDisplay GdkDisplay;

namespace platform::gtk {

class GtkScreens : public peer::ScreensPeer {
public:
    explicit GtkScreens(GdkDisplay* display);
    ~GtkScreens() override;
    GtkScreens(const GtkScreens&) = delete;
    GtkScreens& operator=(const GtkScreens&) = delete;

    std::vector<peer::ScreenInfo> screens() const override;
    void setReconfigurationHandler(std::function<void()> handler) override { m_handler = std::move(handler); }

    // Where the first screen's top-left is in the window system's root
    // coordinates (what peers subtract from them).
    static peer::Point firstScreenOrigin(GdkDisplay* display);

private:
    static void changed(void* self);

    GdkDisplay* m_display;
    std::function<void()> m_handler;
};

} // namespace platform::gtk
