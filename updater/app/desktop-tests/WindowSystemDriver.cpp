#include "WindowSystemDriver.h"

#include <VarantoTest/PrivateXServer.h>
#include <VarantoTest/XCloseRequest.h>

#include <mutex>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace CV::desktop_test {

namespace {

XErrorHandler s_previousErrorHandler = nullptr;

// A window may go between being found and being asked about (a window
// manager makes and destroys frames at any time): the call that asked then
// finds nothing, which the looks handle; Xlib's own handler would end the
// test program.
int ignoreVanishedWindows(Display* display, XErrorEvent* error)
{
    if (error->error_code == BadWindow)
        return 0;
    return s_previousErrorHandler ? s_previousErrorHandler(display, error) : 0;
}

void tolerateVanishedWindows()
{
    static std::once_flag s_installed;
    std::call_once(s_installed, [] { s_previousErrorHandler = XSetErrorHandler(&ignoreVanishedWindows); });
}

} // namespace

WindowSystemDriver::WindowSystemDriver(test::PrivateXServer const& server)
    : m_server(server)
    , m_display(XOpenDisplay(server.display().c_str()))
{
    tolerateVanishedWindows();
}

WindowSystemDriver::~WindowSystemDriver()
{
    if (m_display)
        XCloseDisplay(m_display);
}

std::string WindowSystemDriver::titleOf(WindowId window)
{
    Atom const utf8 = XInternAtom(m_display, "UTF8_STRING", False);
    Atom const netName = XInternAtom(m_display, "_NET_WM_NAME", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(m_display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data && type == utf8) {
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

std::vector<WindowSystemDriver::WindowId> WindowSystemDriver::otherWindows(WindowId except)
{
    std::vector<WindowId> shown;
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(m_display, DefaultRootWindow(m_display), &root, &parent, &children, &count))
        return shown;
    for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (children[i] != except && XGetWindowAttributes(m_display, children[i], &attributes) &&
            attributes.map_state == IsViewable && !attributes.override_redirect)
            shown.push_back(children[i]);
    }
    if (children)
        XFree(children);
    return shown;
}

WindowSystemDriver::WindowId WindowSystemDriver::waitForWindow(std::string const& title,
                                                               std::chrono::milliseconds limit)
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

std::string WindowSystemDriver::classOf(WindowId window)
{
    XClassHint hint{nullptr, nullptr};
    if (!XGetClassHint(m_display, window, &hint))
        return std::string();
    std::string both = std::string(hint.res_name ? hint.res_name : "") + "/" + (hint.res_class ? hint.res_class : "");
    XFree(hint.res_name);
    XFree(hint.res_class);
    return both;
}

bool WindowSystemDriver::sizeOf(WindowId window, int& width, int& height)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(m_display, window, &attributes))
        return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

bool WindowSystemDriver::sizeLimitsOf(WindowId window, int& minWidth, int& minHeight, int& maxWidth, int& maxHeight)
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

void WindowSystemDriver::requestClose(WindowId window)
{
    test::sendCloseRequest(m_server.display(), window);
}

bool WindowSystemDriver::xdotool(test::xdotool::Words step)
{
    return m_server.run(test::xdotool::command({step})) == 0;
}

bool WindowSystemDriver::click(WindowId window, int x, int y)
{
    return xdotool(test::xdotool::moveInWindow(window, x, y)) && xdotool(test::xdotool::click());
}

bool WindowSystemDriver::pressKeys(WindowId window, std::string const& keys)
{
    // Without a window manager the focus is given directly; the pointer is
    // put over the window too, for servers that let the focus follow it.
    return xdotool(test::xdotool::focus(window)) && xdotool(test::xdotool::moveInWindow(window, 5, 5)) &&
        xdotool(test::xdotool::keys(keys));
}

} // namespace CV::desktop_test
