#pragma once
// A window manager's close request (the WM_DELETE_WINDOW protocol message)
// to a window of an X server without a window manager: what the close
// button of a title bar sends. (xdotool's windowclose destroys the window
// instead.) Programs that use it link Xlib.
#include <X11/Xlib.h>

#include <string>

namespace CV {
namespace test {

// Sends the request over a connection of its own to the display named
// ("" for DISPLAY); false when the display cannot be opened.
inline bool sendCloseRequest(const std::string& displayName, unsigned long window)
{
    ::Display* display = XOpenDisplay(displayName.empty() ? nullptr : displayName.c_str());
    if (!display)
        return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XCloseDisplay(display); // flushes
    return true;
}

} // namespace test
} // namespace CV
