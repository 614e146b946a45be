#pragma once
// The state the headless peers share: the virtual screens, the windows in
// front-to-back order and which of them has the focus.
//
// Screens come from VARANTO_HEADLESS_SCREENS, a comma-separated list of
// WIDTHxHEIGHT[@SCALE] (points; scale 1 when left out), placed left to
// right with their tops at 0; default one 1920x1080 screen at scale 1.
#include "platform/peer/ScreensPeer.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::headless {

class HeadlessWindow;

class HeadlessDesktop {
public:
    HeadlessDesktop();

    // Parses the variable's form; none for a malformed list.
    static std::optional<std::vector<peer::ScreenInfo>> parseScreens(const std::string& text);

    const std::vector<peer::ScreenInfo>& screens() const { return m_screens; }
    // Replaces the screens and tells the reconfiguration handler.
    void setScreens(std::vector<peer::ScreenInfo> screens);
    void setReconfigurationHandler(std::function<void()> handler) { m_reconfigured = std::move(handler); }
    // The scale of the screen holding most of rect (the first screen's when none does).
    double scaleFor(const peer::Rect& rect) const;

    // Front first; only visible windows.
    std::vector<HeadlessWindow*> windows() const;
    void add(HeadlessWindow* window);
    void remove(HeadlessWindow* window);
    void bringToFront(HeadlessWindow* window);
    HeadlessWindow* focused() const { return m_focused; }
    // Moves the focus (null: no window), telling both windows.
    void focus(HeadlessWindow* window);

private:
    std::vector<peer::ScreenInfo> m_screens;
    std::function<void()> m_reconfigured;
    std::vector<HeadlessWindow*> m_windows;
    HeadlessWindow* m_focused = nullptr;
};

} // namespace platform::headless
