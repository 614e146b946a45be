#pragma once
// Between an NSWindow and its peer. The adapter creates the peer and is the
// window's way down to it; up from the peer it makes input into NSEvents
// (sent to NSApp's sendEvent:, or to the window's own without an
// application object), text into the key target's NSTextInputClient calls,
// drags into the views' dragging-destination calls, and passes window
// notices on to the window. It alone converts between the peer's top-down
// content and screen points and the window's bottom-up ones (through
// peer/Flip.h).
#include "platform/appkit/NSEvent.h"
#include "platform/cg/CGGeometry.h"
#include "platform/peer/DragSessionPeer.h"
#include "platform/peer/ViewInputClient.h"
#include "platform/peer/WindowPeer.h"

#include <objc/runtime.h>

#include <cstddef>
#include <memory>

namespace platform::appkit {

class WindowPeerAdapter final : public peer::WindowClient,
                                public peer::ViewInputClient,
                                public peer::DragDestinationClient {
public:
    // What the adapter hands on to the window, in the window's terms.
    class Window {
    public:
        virtual NSSize contentWillResize(NSSize proposed) = 0;
        virtual void contentResized(NSSize size) = 0;
        virtual void moved() = 0;
        virtual bool shouldClose() = 0;
        virtual void closedByPeer() = 0;
        virtual void focusChanged(bool focused) = 0;
        virtual void minimizedChanged(bool minimized) = 0;
        virtual void backingScaleChanged() = 0;
        // Draws the part of the content (window coordinates) into context.
        virtual void drawContent(CGContextRef context, NSRect dirty) = 0;
        // The pointer left the content: every tracking area is left.
        virtual void mouseLeftContent(const EventRecord& exited) = 0;
        // The responder that keys and text go to.
        virtual id keyTarget() = 0;

    protected:
        ~Window() = default;
    };

    // A peer for the window object self with the content rectangle on
    // screen (bottom-up) and the window's style mask.
    WindowPeerAdapter(id self, Window& window, NSRect content, unsigned long styleMask);
    WindowPeerAdapter(const WindowPeerAdapter&) = delete;
    WindowPeerAdapter& operator=(const WindowPeerAdapter&) = delete;

    peer::WindowPeer& peer() const { return *m_peer; }

    // The content rectangle on screen (bottom-up).
    NSRect contentRect() const;
    void setContentRect(NSRect rect);
    // Marks a region of the content, given as its rectangles (window
    // coordinates), for drawing, in one call down to the peer.
    void invalidate(const NSRect* inWindow, std::size_t count);

    // peer::ViewInputClient
    void mouseButton(const peer::MouseButtonInput& input) override;
    void mouseMotion(const peer::MouseMotionInput& input) override;
    void mouseCrossing(bool entered, peer::Point location, std::uint64_t modifiers) override;
    void wheel(const peer::WheelInput& input) override;
    void key(const peer::KeyInput& input) override;
    void modifiersChanged(std::uint64_t modifiers) override;
    void text(const peer::TextInput& input) override;

    // peer::WindowClient
    void windowMoved(peer::Point topLeft) override;
    peer::Size windowWillResize(peer::Size proposed) override;
    void windowResized(peer::Size content) override;
    bool windowShouldClose() override;
    void windowClosed() override;
    void windowFocusChanged(bool focused) override;
    void windowMinimizedChanged(bool minimized) override;
    void windowBackingScaleChanged(double scale) override;
    void draw(CGContextRef context, const peer::Rect& dirty) override;

    // peer::DragDestinationClient: the deepest view under the drag that
    // registered for dragged types is the destination.
    unsigned dragUpdated(const peer::DragInfo& info, bool entered) override;
    void dragExited() override;
    bool dragPerformed(const peer::DragInfo& info) override;

private:
    double contentHeight() const;
    NSPoint toWindow(peer::Point p) const;
    EventRecord baseRecord(NSEventType type, peer::Point location, std::uint64_t modifiers) const;
    EventRecord keyboardRecord(NSEventType type, std::uint64_t modifiers) const;
    void deliver(const EventRecord& record, unsigned buttons);
    id dragDestinationAt(NSPoint location) const;

    id m_self;
    Window& m_window;
    std::unique_ptr<peer::WindowPeer> m_peer;
    id m_dragTarget = nil; // the view a drag is over
};

} // namespace platform::appkit
