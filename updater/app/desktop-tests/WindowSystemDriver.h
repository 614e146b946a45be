#pragma once
// A connection to the test's X server: finds the updater's windows, reads
// their sizes and size hints, asks them to close as a window manager would,
// and drives the mouse and the keyboard through xdotool. Once one is made,
// an X error about a window that has gone meanwhile no longer ends the test
// program (on any connection): the call that asked finds nothing.
#include <VarantoTest/XdotoolInput.h>

#include <chrono>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace CV::test {
class PrivateXServer;
}

namespace CV::desktop_test {

class WindowSystemDriver {
public:
    using WindowId = unsigned long;

    explicit WindowSystemDriver(test::PrivateXServer const& server);
    ~WindowSystemDriver();

    WindowSystemDriver(WindowSystemDriver const&) = delete;
    WindowSystemDriver& operator=(WindowSystemDriver const&) = delete;

    bool connected() const { return m_display != nullptr; }

    // The first shown top-level window with this title; 0 when none shows up
    // within `limit`.
    WindowId waitForWindow(std::string const& title, std::chrono::milliseconds limit);
    // Shown top-level windows other than `except`, newest last.
    std::vector<WindowId> otherWindows(WindowId except);

    std::string titleOf(WindowId window);
    // WM_CLASS: the instance name and the class name, joined by a '/'.
    std::string classOf(WindowId window);
    bool sizeOf(WindowId window, int& width, int& height);
    // The smallest and largest size the window asks the window manager for.
    bool sizeLimitsOf(WindowId window, int& minWidth, int& minHeight, int& maxWidth, int& maxHeight);

    // What a window manager sends when the user closes the window.
    void requestClose(WindowId window);

    // Mouse and keys as a user gives them (XTEST through xdotool).
    bool click(WindowId window, int x, int y);
    bool pressKeys(WindowId window, std::string const& keys);

private:
    bool xdotool(test::xdotool::Words step);

    test::PrivateXServer const& m_server;
    Display* m_display = nullptr;
};

} // namespace CV::desktop_test
