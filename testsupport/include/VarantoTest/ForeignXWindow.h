#pragma once
// A window of another X client on the test's X server: a connection of its
// own (to the window system another program) with one plain window shown at
// a place of the screen. It takes the keyboard focus, or hands it to any
// window, as a window manager does when the user clicks elsewhere. Every
// wait is bounded.
//
//   CV::test::ForeignXWindow other(server.display());
//   ASSERT_TRUE(other.shown());
//   other.takeFocus();
//   other.giveFocusTo(xidOfOurWindow);
#include <X11/Xlib.h>

#include <chrono>
#include <string>
#include <thread>

namespace CV {
namespace test {

class ForeignXWindow {
public:
    explicit ForeignXWindow(const std::string& display, int x = 600, int y = 400, int width = 200, int height = 150,
                            std::chrono::milliseconds limit = std::chrono::seconds(20))
        : m_display(XOpenDisplay(display.c_str()))
    {
        if (m_display == nullptr)
            return;
        const int screen = DefaultScreen(m_display);
        m_window =
            XCreateSimpleWindow(m_display, RootWindow(m_display, screen), x, y, unsigned(width), unsigned(height), 0,
                                BlackPixel(m_display, screen), WhitePixel(m_display, screen));
        XStoreName(m_display, m_window, "another program");
        XSelectInput(m_display, m_window, StructureNotifyMask);
        XMapWindow(m_display, m_window);
        XFlush(m_display);
        m_shown = waitForMap(limit);
    }

    ~ForeignXWindow()
    {
        if (m_display == nullptr)
            return;
        if (m_window != 0)
            XDestroyWindow(m_display, m_window);
        XCloseDisplay(m_display);
    }

    ForeignXWindow(const ForeignXWindow&) = delete;
    ForeignXWindow& operator=(const ForeignXWindow&) = delete;

    bool shown() const { return m_shown; }
    unsigned long window() const { return m_window; }

    // The keyboard focus to this window.
    void takeFocus() { giveFocusTo(m_window); }

    // The keyboard focus to a shown window of any client; done once the
    // server has it.
    void giveFocusTo(unsigned long window)
    {
        if (m_display == nullptr)
            return;
        XSetInputFocus(m_display, window, RevertToParent, CurrentTime);
        XSync(m_display, False);
    }

private:
    bool waitForMap(std::chrono::milliseconds limit)
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            while (XPending(m_display) > 0) {
                XEvent event;
                XNextEvent(m_display, &event);
                if (event.type == MapNotify && event.xmap.window == m_window)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    Display* m_display = nullptr;
    Window m_window = 0;
    bool m_shown = false;
};

} // namespace test
} // namespace CV
