#include "DesktopSession.h"

#include <cstdlib>
#include <cstring>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace CV::desktop_test {

namespace {

std::string quoted(std::string const& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

} // namespace

DesktopSession::DesktopSession(std::string const& displayName)
    : m_display(XOpenDisplay(displayName.c_str()))
    , m_name(displayName)
{
}

DesktopSession::~DesktopSession()
{
    if (m_display)
        XCloseDisplay(m_display);
}

std::string DesktopSession::titleOf(WindowId window)
{
    Atom const utf8 = XInternAtom(m_display, "UTF8_STRING", False);
    Atom const netName = XInternAtom(m_display, "_NET_WM_NAME", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(m_display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data)
            == Success
        && data && type == utf8) {
        title.assign(reinterpret_cast<char const*>(data), count);
    } else {
        char* name = nullptr;
        if (XFetchName(m_display, window, &name) && name) {
            title = name;
            XFree(name);
        }
    }
    if (data)
        XFree(data);
    return title;
}

std::vector<DesktopSession::WindowId> DesktopSession::otherWindows(WindowId except)
{
    std::vector<WindowId> shown;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
        return shown;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (children[i] != except && XGetWindowAttributes(m_display, children[i], &attributes)
            && attributes.map_state == IsViewable && !attributes.override_redirect)
            shown.push_back(children[i]);
    }
    if (children)
        XFree(children);
    return shown;
}

DesktopSession::WindowId DesktopSession::waitForWindow(std::string const& title, std::chrono::milliseconds limit)
{
    auto const deadline = std::chrono::steady_clock::now() + limit;
    do {
        for (WindowId window : otherWindows(0))
            if (titleOf(window) == title)
                return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return 0;
}

bool DesktopSession::sizeOf(WindowId window, int& width, int& height)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(m_display, window, &attributes))
        return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

bool DesktopSession::sizeLimitsOf(WindowId window, int& minWidth, int& minHeight, int& maxWidth, int& maxHeight)
{
    XSizeHints hints{};
    long supplied = 0;
    if (!XGetWMNormalHints(m_display, window, &hints, &supplied))
        return false;
    if (!(hints.flags & PMinSize) || !(hints.flags & PMaxSize))
        return false;
    minWidth = hints.min_width;
    minHeight = hints.min_height;
    maxWidth = hints.max_width;
    maxHeight = hints.max_height;
    return true;
}

void DesktopSession::requestClose(WindowId window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(m_display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(m_display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(m_display, window, False, NoEventMask, &event);
    XFlush(m_display);
}

bool DesktopSession::xdotool(std::string const& arguments)
{
    std::string const command = "DISPLAY=" + quoted(m_name) + " xdotool " + arguments + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

bool DesktopSession::click(WindowId window, int x, int y)
{
    return xdotool("mousemove --window " + std::to_string(window) + " " + std::to_string(x) + " "
               + std::to_string(y))
        && xdotool("click 1");
}

bool DesktopSession::pressKeys(WindowId window, std::string const& keys)
{
    // Without a window manager the focus is given directly; the pointer is
    // put over the window too, for servers that let the focus follow it.
    return xdotool("windowfocus --sync " + std::to_string(window))
        && xdotool("mousemove --window " + std::to_string(window) + " 5 5") && xdotool("key " + keys);
}

} // namespace CV::desktop_test
