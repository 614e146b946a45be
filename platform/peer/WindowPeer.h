#pragma once
// A native window with one drawing content area: the call-down side
// (WindowPeer) and the call-back side (WindowClient). On the desktop a
// GtkWindow holding a GtkDrawingArea; headless a record on a virtual screen
// with a framebuffer.
//
// Frames are content rectangles in top-down screen points; decorations are
// the window system's. The content is drawn on request: the peer calls
// WindowClient::draw with a bitmap context over the content's pixels (user
// space bottom-up, in points: scaled by the backing scale).
#include "platform/cg/CGContext.h"
#include "platform/peer/Geometry.h"

#include <string>
#include <vector>

namespace platform::peer {

class DragDestinationClient;
class ViewInputClient;

enum class WindowKind { Normal, Panel, Overlay };

struct WindowSpec {
    WindowKind kind = WindowKind::Normal;
    Rect content; // top-down screen points
    bool decorated = true; // title bar
    bool closable = true;
    bool resizable = true;
    bool transparent = false;
    int level = 0; // the platform's window levels (0 normal, 3 floating, 101 pop-up, 1000 screen saver)
};

class WindowClient {
public:
    virtual ~WindowClient() = default;
    // The content area moved (top-left in screen points).
    virtual void windowMoved(Point topLeft) = 0;
    // Asked before a user resize: the content size to use for the proposal.
    virtual Size windowWillResize(Size proposed) { return proposed; }
    // The content area's size changed.
    virtual void windowResized(Size content) = 0;
    // The user asked to close the window; true lets the peer close it
    // (then windowClosed follows).
    virtual bool windowShouldClose() = 0;
    virtual void windowClosed() = 0;
    virtual void windowFocusChanged(bool focused) = 0;
    virtual void windowMinimizedChanged(bool minimized) = 0;
    virtual void windowBackingScaleChanged(double scale) = 0;
    // Draws the dirty part (content coordinates, top-down points) into
    // context; its user space covers the content area bottom-up in points.
    virtual void draw(CGContextRef context, const Rect& dirty) = 0;
};

// The clients a window delivers to; drag may be null.
struct WindowClients {
    WindowClient* window = nullptr;
    ViewInputClient* input = nullptr;
    DragDestinationClient* drag = nullptr;
};

class WindowPeer {
public:
    virtual ~WindowPeer() = default;

    virtual void setContentFrame(const Rect& frame) = 0;
    virtual Rect contentFrame() const = 0;
    virtual void setTitle(const std::string& title) = 0;
    virtual void setLevel(int level) = 0;
    virtual void setResizable(bool resizable) = 0;
    // Shows (in front, optionally taking the focus) or hides the window.
    virtual void show(bool takeFocus) = 0;
    // Restores the window when it is minimised, shows it in front and asks
    // the desktop to give it the keyboard focus, as the activation of a
    // launch by the user does.
    // startupId: the desktop's startup notification of that launch (of this
    // process or of a later copy of the program), completed here; its time
    // is the launch's time. Empty when the launch has none.
    virtual void activate(const std::string& startupId)
    {
        (void)startupId;
        setMinimized(false);
        show(true);
    }
    virtual void hide() = 0;
    virtual bool isVisible() const = 0;
    virtual void setMinimized(bool minimized) = 0;
    virtual bool isMinimized() const = 0;
    virtual void setFullScreen(bool fullScreen) = 0;
    virtual bool isFullScreen() const = 0;
    virtual bool hasFocus() const = 0;
    // Marks a region of the content, given as its rectangles (top-down
    // content points), for drawing; the peer draws later on the main loop,
    // or at once with displayNow.
    virtual void invalidate(const std::vector<Rect>& region) = 0;
    virtual void displayNow() = 0;
    virtual double backingScale() const = 0;
    // Closes the window without asking; windowClosed is not sent.
    virtual void close() = 0;
};

} // namespace platform::peer
