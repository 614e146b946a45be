#include "platform/appkit/WindowPeerAdapter.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSDraggingInfo.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/NSWindow.h"
#include "platform/backend/Backend.h"
#include "platform/cg/CGDisplay.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/peer/Flip.h"
#include "platform/runloop/MainLoop.h"

#include <algorithm>
#include <chrono>
#include <vector>

namespace platform::appkit {

namespace {

double timestampNow()
{
    return std::chrono::duration<double>(MainLoop::instance().now().time_since_epoch()).count();
}

peer::WindowSpec specFor(id self, NSRect content, unsigned long mask)
{
    peer::WindowSpec spec;
    spec.kind =
        objc::send<BOOL>(self, "isKindOfClass:", NSPanelClass()) ? peer::WindowKind::Panel : peer::WindowKind::Normal;
    spec.content = topDownOnScreen(content);
    spec.decorated = mask & NSWindowStyleMaskTitled;
    spec.closable = mask & NSWindowStyleMaskClosable;
    spec.resizable = mask & NSWindowStyleMaskResizable;
    return spec;
}

} // namespace

WindowPeerAdapter::WindowPeerAdapter(id self, Window& window, NSRect content, unsigned long styleMask)
    : m_self(self)
    , m_window(window)
    , m_peer(Backend::current().createWindow(specFor(self, content, styleMask), peer::WindowClients{this, this, this}))
{
}

// --- down to the peer ---------------------------------------------------------

NSRect WindowPeerAdapter::contentRect() const
{
    return bottomUpOnScreen(m_peer->contentFrame());
}

void WindowPeerAdapter::setContentRect(NSRect rect)
{
    m_peer->setContentFrame(topDownOnScreen(rect));
}

void WindowPeerAdapter::invalidate(const NSRect* inWindow, std::size_t count)
{
    const double height = contentHeight();
    std::vector<peer::Rect> region;
    region.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        region.push_back(peer::toTopDown(inWindow[i], height));
    m_peer->invalidate(region);
}

double WindowPeerAdapter::contentHeight() const
{
    return m_peer->contentFrame().height;
}

NSPoint WindowPeerAdapter::toWindow(peer::Point p) const
{
    return peer::toBottomUp(p, contentHeight());
}

// --- input ---------------------------------------------------------------------

EventRecord WindowPeerAdapter::baseRecord(NSEventType type, peer::Point location, std::uint64_t modifiers) const
{
    EventRecord record;
    record.type = type;
    record.location = toWindow(location);
    record.modifierFlags = modifiers;
    record.window = m_self;
    record.timestamp = timestampNow();
    return record;
}

// Keys happen where the mouse was last seen.
EventRecord WindowPeerAdapter::keyboardRecord(NSEventType type, std::uint64_t modifiers) const
{
    EventRecord record = baseRecord(type, peer::Point{}, modifiers);
    record.location = objc::send<NSPoint>(m_self, "mouseLocationOutsideOfEventStream");
    return record;
}

void WindowPeerAdapter::deliver(const EventRecord& record, unsigned buttons)
{
    noteInputState(record.modifierFlags, buttons);
    objc::AutoreleasePool pool;
    id event = makeEvent(record);
    if (NSApp) {
        objc::send<void>(NSApp, "sendEvent:", event);
    } else {
        // Without an application object the local monitors still see
        // the event first.
        if (id delivered = runLocalMonitors(event))
            objc::send<void>(m_self, "sendEvent:", delivered);
    }
    objc::NSObject::release(event);
}

void WindowPeerAdapter::mouseButton(const peer::MouseButtonInput& input)
{
    static const NSEventType types[3][2] = {{NSEventTypeLeftMouseUp, NSEventTypeLeftMouseDown},
                                            {NSEventTypeRightMouseUp, NSEventTypeRightMouseDown},
                                            {NSEventTypeOtherMouseUp, NSEventTypeOtherMouseDown}};
    EventRecord record =
        baseRecord(types[std::min(input.button, 2)][input.down ? 1 : 0], input.location, input.modifiers);
    record.buttonNumber = input.button;
    record.clickCount = input.clickCount;
    deliver(record, input.down ? 1u << input.button : 0u);
}

void WindowPeerAdapter::mouseMotion(const peer::MouseMotionInput& input)
{
    NSEventType type = NSEventTypeMouseMoved;
    if (input.buttons & 1)
        type = NSEventTypeLeftMouseDragged;
    else if (input.buttons & 2)
        type = NSEventTypeRightMouseDragged;
    else if (input.buttons)
        type = NSEventTypeOtherMouseDragged;
    EventRecord record = baseRecord(type, input.location, input.modifiers);
    record.deltaX = input.deltaX;
    record.deltaY = input.deltaY;
    cg::noteMouseDelta(input.deltaX, input.deltaY);
    deliver(record, input.buttons);
}

void WindowPeerAdapter::mouseCrossing(bool entered, peer::Point location, std::uint64_t modifiers)
{
    if (entered) {
        mouseMotion(peer::MouseMotionInput{location, modifiers, 0, 0, 0});
        return;
    }
    objc::AutoreleasePool pool;
    m_window.mouseLeftContent(baseRecord(NSEventTypeMouseExited, location, modifiers));
}

void WindowPeerAdapter::wheel(const peer::WheelInput& input)
{
    EventRecord record = baseRecord(NSEventTypeScrollWheel, input.location, input.modifiers);
    record.deltaX = input.deltaX;
    record.deltaY = input.deltaY;
    record.precise = input.precise;
    deliver(record, 0);
}

void WindowPeerAdapter::key(const peer::KeyInput& input)
{
    EventRecord record = keyboardRecord(input.down ? NSEventTypeKeyDown : NSEventTypeKeyUp, input.modifiers);
    record.keyCode = input.keyCode;
    record.characters = input.characters;
    record.charactersIgnoringModifiers = input.charactersIgnoringModifiers;
    record.repeat = input.repeat;
    deliver(record, 0);
}

void WindowPeerAdapter::modifiersChanged(std::uint64_t modifiers)
{
    deliver(keyboardRecord(NSEventTypeFlagsChanged, modifiers), 0);
}

void WindowPeerAdapter::text(const peer::TextInput& input)
{
    objc::AutoreleasePool pool;
    id target = m_window.keyTarget();
    NSString* text = makeString(input.text);
    const NSRange none{NSNotFound, 0};
    if (input.committed) {
        if (responds(target, "insertText:replacementRange:"))
            objc::send<void>(target, "insertText:replacementRange:", reinterpret_cast<id>(text), none);
    } else if (responds(target, "setMarkedText:selectedRange:replacementRange:")) {
        objc::send<void>(target, "setMarkedText:selectedRange:replacementRange:", reinterpret_cast<id>(text),
                         NSRange{input.selectionStart, input.selectionLength}, none);
    }
    CFRelease(text);
}

// --- window notices ----------------------------------------------------------------

void WindowPeerAdapter::windowMoved(peer::Point)
{
    m_window.moved();
}

peer::Size WindowPeerAdapter::windowWillResize(peer::Size proposed)
{
    const NSSize answer = m_window.contentWillResize(NSMakeSize(proposed.width, proposed.height));
    return peer::Size{answer.width, answer.height};
}

void WindowPeerAdapter::windowResized(peer::Size content)
{
    m_window.contentResized(NSMakeSize(content.width, content.height));
}

bool WindowPeerAdapter::windowShouldClose()
{
    return m_window.shouldClose();
}

void WindowPeerAdapter::windowClosed()
{
    m_window.closedByPeer();
}

void WindowPeerAdapter::windowFocusChanged(bool focused)
{
    m_window.focusChanged(focused);
}

void WindowPeerAdapter::windowMinimizedChanged(bool minimized)
{
    m_window.minimizedChanged(minimized);
}

void WindowPeerAdapter::windowBackingScaleChanged(double)
{
    m_window.backingScaleChanged();
}

void WindowPeerAdapter::draw(CGContextRef context, const peer::Rect& dirty)
{
    objc::AutoreleasePool pool;
    m_window.drawContent(context, peer::toBottomUp(dirty, contentHeight()));
}

// --- drags -------------------------------------------------------------------------

id WindowPeerAdapter::dragDestinationAt(NSPoint location) const
{
    id contentView = objc::send<id>(m_self, "contentView");
    for (id view = contentView ? objc::send<id>(contentView, "hitTest:", location) : nil; view;
         view = objc::send<id>(view, "superview"))
        if (!viewDraggedTypes(view).empty())
            return view;
    return nil;
}

unsigned WindowPeerAdapter::dragUpdated(const peer::DragInfo& info, bool)
{
    objc::AutoreleasePool pool;
    const NSPoint location = toWindow(info.location);
    id target = dragDestinationAt(location);
    id dragging = makeDraggingInfo(location, info.pasteboard, info.sourceOperations, m_self);
    unsigned long operation = 0;
    if (target != m_dragTarget && m_dragTarget && responds(m_dragTarget, "draggingExited:"))
        objc::send<void>(m_dragTarget, "draggingExited:", dragging);
    if (target) {
        const char* selector = target != m_dragTarget ? "draggingEntered:" : "draggingUpdated:";
        if (responds(target, selector))
            operation = objc::send<unsigned long>(target, selector, dragging);
    }
    m_dragTarget = target;
    objc::NSObject::release(dragging);
    return unsigned(operation);
}

void WindowPeerAdapter::dragExited()
{
    objc::AutoreleasePool pool;
    if (m_dragTarget && responds(m_dragTarget, "draggingExited:")) {
        const NSPoint location = objc::send<NSPoint>(m_self, "mouseLocationOutsideOfEventStream");
        id dragging = makeDraggingInfo(location, "", 0, m_self);
        objc::send<void>(m_dragTarget, "draggingExited:", dragging);
        objc::NSObject::release(dragging);
    }
    m_dragTarget = nil;
}

bool WindowPeerAdapter::dragPerformed(const peer::DragInfo& info)
{
    objc::AutoreleasePool pool;
    const NSPoint location = toWindow(info.location);
    id target = m_dragTarget ? m_dragTarget : dragDestinationAt(location);
    m_dragTarget = nil;
    if (!target)
        return false;
    id dragging = makeDraggingInfo(location, info.pasteboard, info.sourceOperations, m_self);
    bool taken =
        !responds(target, "prepareForDragOperation:") || objc::send<BOOL>(target, "prepareForDragOperation:", dragging);
    taken = taken && responds(target, "performDragOperation:") &&
        objc::send<BOOL>(target, "performDragOperation:", dragging);
    if (taken && responds(target, "concludeDragOperation:"))
        objc::send<void>(target, "concludeDragOperation:", dragging);
    objc::NSObject::release(dragging);
    return taken;
}

} // namespace platform::appkit
