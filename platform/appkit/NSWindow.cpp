#include "platform/appkit/NSWindow.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSDraggingInfo.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSResponder.h"
#include "platform/appkit/NSTrackingArea.h"
#include "platform/appkit/NSView.h"
#include "platform/backend/Backend.h"
#include "platform/cg/CGDisplay.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/NSObject.h"
#include "platform/peer/ViewInputClient.h"
#include "platform/runloop/MainLoop.h"

#include <algorithm>
#include <map>
#include <memory>

namespace platform::appkit {

namespace {

const char* const kState = "_window";

std::vector<id>& windowList()
{
    static std::vector<id> s_windows;
    return s_windows;
}

double timestampNow()
{
    return std::chrono::duration<double>(MainLoop::instance().now().time_since_epoch()).count();
}

class WindowState : public peer::WindowClient, public peer::ViewInputClient, public peer::DragDestinationClient {
public:
    explicit WindowState(id window)
        : self(window)
    {
    }

    id self;
    std::unique_ptr<peer::WindowPeer> peer;
    id contentView = nil; // retained
    id delegate = nil;
    id firstResponder = nil;
    id initialFirstResponder = nil;
    id mouseDownView = nil;
    id dragTarget = nil; // the view a drag is over
    std::map<id, bool> insideArea; // tracking area -> the mouse is inside
    unsigned long styleMask = 0;
    long level = 0;
    long number = 0;
    unsigned long collectionBehavior = 0;
    bool opaque = true;
    bool releasedWhenClosed = true;
    bool documentEdited = false;
    bool worksWhenModal = false;
    bool acceptsMouseMoved = false;
    bool zoomed = false;
    bool isKey = false;
    bool isMain = false;
    bool closed = false;
    bool dirty = false;
    bool keyViewChosen = false;
    NSRect unzoomedFrame{};
    NSPoint lastMouse{0, 0};
    std::string title;
    NSString* titleString = makeString(""); // owned

    ~WindowState() override { CFRelease(titleString); }

    double titleBar() const
    {
        return (styleMask & NSWindowStyleMaskTitled) && !(styleMask & NSWindowStyleMaskFullScreen) ? kTitleBarHeight
                                                                                                    : 0.0;
    }
    NSRect contentRect() const { return toBottomUp(peer->contentFrame()); }
    double contentHeight() const { return peer->contentFrame().height; }
    NSPoint toWindow(peer::Point p) const { return NSMakePoint(p.x, contentHeight() - p.y); }

    void setContentRect(NSRect rect)
    {
        const NSSize old = contentRect().size;
        peer->setContentFrame(toTopDown(rect));
        if (old.width != rect.size.width || old.height != rect.size.height)
            contentResized(rect.size);
    }

    void contentResized(NSSize size)
    {
        objc::send<void>(contentView, "setFrameSize:", size);
        notify(delegate, "windowDidResize:", "NSWindowDidResizeNotification", self);
    }

    void deliver(const EventRecord& record, unsigned buttons)
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
                objc::send<void>(self, "sendEvent:", delivered);
        }
        objc::NSObject::release(event);
    }

    EventRecord baseRecord(NSEventType type, peer::Point location, std::uint64_t modifiers) const
    {
        EventRecord record;
        record.type = type;
        record.location = toWindow(location);
        record.modifierFlags = modifiers;
        record.window = self;
        record.timestamp = timestampNow();
        return record;
    }

    // peer::ViewInputClient
    void mouseButton(const peer::MouseButtonInput& input) override
    {
        static const NSEventType types[3][2] = {{NSEventTypeLeftMouseUp, NSEventTypeLeftMouseDown},
                                                {NSEventTypeRightMouseUp, NSEventTypeRightMouseDown},
                                                {NSEventTypeOtherMouseUp, NSEventTypeOtherMouseDown}};
        EventRecord record = baseRecord(types[std::min(input.button, 2)][input.down ? 1 : 0], input.location,
                                        input.modifiers);
        record.buttonNumber = input.button;
        record.clickCount = input.clickCount;
        deliver(record, input.down ? 1u << input.button : 0u);
    }
    void mouseMotion(const peer::MouseMotionInput& input) override
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
    void mouseCrossing(bool entered, peer::Point location, std::uint64_t modifiers) override
    {
        if (entered) {
            mouseMotion(peer::MouseMotionInput{location, modifiers, 0, 0, 0});
            return;
        }
        // Leaving the content: every tracking area is left.
        objc::AutoreleasePool pool;
        for (auto& [area, inside] : insideArea)
            if (inside) {
                inside = false;
                sendCrossing(area, false, baseRecord(NSEventTypeMouseExited, location, modifiers));
            }
    }
    void wheel(const peer::WheelInput& input) override
    {
        EventRecord record = baseRecord(NSEventTypeScrollWheel, input.location, input.modifiers);
        record.deltaX = input.deltaX;
        record.deltaY = input.deltaY;
        record.precise = input.precise;
        deliver(record, 0);
    }
    void key(const peer::KeyInput& input) override
    {
        EventRecord record = baseRecord(input.down ? NSEventTypeKeyDown : NSEventTypeKeyUp, peer::Point{},
                                        input.modifiers);
        record.location = lastMouse;
        record.keyCode = input.keyCode;
        record.characters = input.characters;
        record.charactersIgnoringModifiers = input.charactersIgnoringModifiers;
        record.repeat = input.repeat;
        deliver(record, 0);
    }
    void modifiersChanged(std::uint64_t modifiers) override
    {
        EventRecord record = baseRecord(NSEventTypeFlagsChanged, peer::Point{}, modifiers);
        record.location = lastMouse;
        deliver(record, 0);
    }
    void text(const peer::TextInput& input) override
    {
        objc::AutoreleasePool pool;
        id target = keyTarget();
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

    // The first time the window becomes key without a first responder of
    // its own: the initial first responder, else the first view that takes
    // key focus.
    void chooseInitialKeyView()
    {
        keyViewChosen = true;
        if (firstResponder)
            return;
        id chosen = initialFirstResponder;
        if (!chosen)
            forEachView(contentView, [&](id view) {
                if (!chosen && takesKeyFocus(view))
                    chosen = view;
            });
        if (chosen)
            objc::send<BOOL>(self, "makeFirstResponder:", chosen);
    }
    static bool takesKeyFocus(id view)
    {
        return objc::send<BOOL>(view, "acceptsFirstResponder") &&
               (!responds(view, "canBecomeKeyView") || objc::send<BOOL>(view, "canBecomeKeyView"));
    }
    // The first responder while it is still one of the window's views (the
    // window itself once it left the tree).
    id keyTarget()
    {
        bool inTree = false;
        if (firstResponder)
            forEachView(contentView, [&](id view) { inTree = inTree || view == firstResponder; });
        if (!inTree)
            firstResponder = nil;
        return firstResponder ? firstResponder : self;
    }

    // peer::WindowClient
    void windowMoved(peer::Point) override
    {
        notify(delegate, "windowDidMove:", "NSWindowDidMoveNotification", self);
    }
    peer::Size windowWillResize(peer::Size proposed) override
    {
        if (!responds(delegate, "windowWillResize:toSize:"))
            return proposed;
        const NSSize frameSize = NSMakeSize(proposed.width, proposed.height + titleBar());
        const NSSize answer = objc::send<NSSize>(delegate, "windowWillResize:toSize:", self, frameSize);
        return peer::Size{answer.width, std::max(0.0, answer.height - titleBar())};
    }
    void windowResized(peer::Size content) override { contentResized(NSMakeSize(content.width, content.height)); }
    bool windowShouldClose() override
    {
        if (responds(delegate, "windowShouldClose:"))
            return objc::send<BOOL>(delegate, "windowShouldClose:", self) != NO;
        return true;
    }
    void windowClosed() override { closeWindow(false); }
    void windowFocusChanged(bool focused) override
    {
        if (focused == isKey)
            return;
        isKey = focused;
        isMain = focused;
        NSApplication::keyWindowChanged();
        if (focused && !keyViewChosen)
            chooseInitialKeyView();
        if (focused) {
            notify(delegate, "windowDidBecomeKey:", "NSWindowDidBecomeKeyNotification", self);
            notify(delegate, "windowDidBecomeMain:", "NSWindowDidBecomeMainNotification", self);
        } else {
            notify(delegate, "windowDidResignKey:", "NSWindowDidResignKeyNotification", self);
            notify(delegate, "windowDidResignMain:", "NSWindowDidResignMainNotification", self);
        }
    }
    void windowMinimizedChanged(bool minimized) override
    {
        if (minimized)
            notify(delegate, "windowDidMiniaturize:", "NSWindowDidMiniaturizeNotification", self);
        else
            notify(delegate, "windowDidDeminiaturize:", "NSWindowDidDeminiaturizeNotification", self);
    }
    void windowBackingScaleChanged(double) override
    {
        forEachView(contentView, [](id view) { objc::send<void>(view, "viewDidChangeBackingProperties"); });
        notify(delegate, "windowDidChangeBackingProperties:", "NSWindowDidChangeBackingPropertiesNotification", self);
    }
    void draw(CGContextRef context, const peer::Rect& area) override
    {
        objc::AutoreleasePool pool;
        dirty = false;
        const NSRect inWindow = NSMakeRect(area.x, contentHeight() - area.y - area.height, area.width, area.height);
        displayView(contentView, context, inWindow);
    }

    // peer::DragDestinationClient: the deepest view under the drag that
    // registered for dragged types is the destination.
    id dragDestinationAt(NSPoint location)
    {
        for (id view = contentView ? objc::send<id>(contentView, "hitTest:", location) : nil; view;
             view = objc::send<id>(view, "superview"))
            if (!viewDraggedTypes(view).empty())
                return view;
        return nil;
    }
    unsigned dragUpdated(const peer::DragInfo& info, bool) override
    {
        objc::AutoreleasePool pool;
        const NSPoint location = toWindow(info.location);
        id target = dragDestinationAt(location);
        id dragging = makeDraggingInfo(location, info.pasteboard, info.sourceOperations, self);
        unsigned long operation = 0;
        if (target != dragTarget && dragTarget && responds(dragTarget, "draggingExited:"))
            objc::send<void>(dragTarget, "draggingExited:", dragging);
        if (target) {
            const char* selector = target != dragTarget ? "draggingEntered:" : "draggingUpdated:";
            if (responds(target, selector))
                operation = objc::send<unsigned long>(target, selector, dragging);
        }
        dragTarget = target;
        objc::NSObject::release(dragging);
        return unsigned(operation);
    }
    void dragExited() override
    {
        objc::AutoreleasePool pool;
        if (dragTarget && responds(dragTarget, "draggingExited:")) {
            id dragging = makeDraggingInfo(lastMouse, "", 0, self);
            objc::send<void>(dragTarget, "draggingExited:", dragging);
            objc::NSObject::release(dragging);
        }
        dragTarget = nil;
    }
    bool dragPerformed(const peer::DragInfo& info) override
    {
        objc::AutoreleasePool pool;
        const NSPoint location = toWindow(info.location);
        id target = dragTarget ? dragTarget : dragDestinationAt(location);
        dragTarget = nil;
        if (!target)
            return false;
        id dragging = makeDraggingInfo(location, info.pasteboard, info.sourceOperations, self);
        bool taken = !responds(target, "prepareForDragOperation:") ||
                     objc::send<BOOL>(target, "prepareForDragOperation:", dragging);
        taken = taken && responds(target, "performDragOperation:") &&
                objc::send<BOOL>(target, "performDragOperation:", dragging);
        if (taken && responds(target, "concludeDragOperation:"))
            objc::send<void>(target, "concludeDragOperation:", dragging);
        objc::NSObject::release(dragging);
        return taken;
    }

    // Closing, by the user (the peer closed itself) or by a call.
    void closeWindow(bool closePeer)
    {
        if (closed)
            return;
        closed = true;
        objc::NSObject::retain(self);
        notify(delegate, "windowWillClose:", "NSWindowWillCloseNotification", self);
        NotificationCenter::defaultCenter().postNow("NSWindowWillCloseNotification", self, nullptr);
        if (closePeer)
            peer->close();
        windowFocusChanged(false);
        std::vector<id>& list = windowList();
        list.erase(std::remove(list.begin(), list.end(), self), list.end());
        if (releasedWhenClosed)
            objc::NSObject::autorelease(self);
        objc::NSObject::autorelease(self);
    }

    void sendCrossing(id area, bool entered, EventRecord record)
    {
        id owner = objc::send<id>(area, "owner");
        const unsigned long options = objc::send<unsigned long>(area, "options");
        record.type = entered ? NSEventTypeMouseEntered : NSEventTypeMouseExited;
        record.trackingArea = area;
        id event = makeEvent(record);
        if (options & NSTrackingMouseEnteredAndExited)
            objc::send<void>(owner, entered ? "mouseEntered:" : "mouseExited:", event);
        if (entered && (options & NSTrackingCursorUpdate)) {
            objc::NSObject::release(event);
            record.type = NSEventTypeCursorUpdate;
            event = makeEvent(record);
            objc::send<void>(owner, "cursorUpdate:", event);
        }
        objc::NSObject::release(event);
    }

    // Crossings of tracking areas, then moves to the owners that want them.
    void track(id event)
    {
        const EventRecord& record = eventRecord(event);
        lastMouse = record.location;
        const bool dragging = record.type != NSEventTypeMouseMoved;
        std::vector<id> moveTargets;
        forEachView(contentView, [&](id view) {
            for (id area : viewTrackingAreas(view)) {
                const unsigned long options = objc::send<unsigned long>(area, "options");
                if (dragging && !(options & NSTrackingEnabledDuringMouseDrag))
                    continue;
                NSRect rect = options & NSTrackingInVisibleRect ? objc::send<NSRect>(view, "bounds")
                                                                : objc::send<NSRect>(area, "rect");
                const NSPoint local = viewPointFromWindow(view, record.location);
                const bool inside = !objc::send<BOOL>(view, "isHidden") && CGRectContainsPoint(rect, local);
                bool& was = insideArea[area];
                if (inside != was) {
                    was = inside;
                    sendCrossing(area, inside, record);
                }
                if (inside && !dragging && (options & NSTrackingMouseMoved))
                    moveTargets.push_back(objc::send<id>(area, "owner"));
            }
        });
        for (id target : moveTargets)
            objc::send<void>(target, "mouseMoved:", event);
        if (!dragging && acceptsMouseMoved && moveTargets.empty() && firstResponder)
            objc::send<void>(firstResponder, "mouseMoved:", event);
    }
};

WindowState& state(id window)
{
    return *stateOf<WindowState>(window, kState);
}

peer::WindowSpec specFor(id self, NSRect content, unsigned long mask)
{
    peer::WindowSpec spec;
    spec.kind = objc::send<BOOL>(self, "isKindOfClass:", NSPanelClass()) ? peer::WindowKind::Panel
                                                                          : peer::WindowKind::Normal;
    spec.content = toTopDown(content);
    spec.decorated = mask & NSWindowStyleMaskTitled;
    spec.closable = mask & NSWindowStyleMaskClosable;
    spec.resizable = mask & NSWindowStyleMaskResizable;
    return spec;
}

id initWindow(id self, SEL, NSRect content, unsigned long mask, unsigned long, BOOL)
{
    self = objc::sendSuper<id>(self, NSWindowClass(), objc::selector("init"));
    if (!self)
        return nil;
    static long s_number = 0;
    auto* s = new WindowState(self);
    objc::ivar<void*>(self, kState) = s;
    s->styleMask = mask;
    s->number = ++s_number;
    s->peer = Backend::current().createWindow(specFor(self, content, mask), peer::WindowClients{s, s, s});
    id view = objc::send<id>(objc::NSObject::alloc(NSViewClass()), "initWithFrame:",
                             NSMakeRect(0, 0, content.size.width, content.size.height));
    objc::send<void>(self, "setContentView:", view);
    objc::NSObject::release(view);
    windowList().push_back(self);
    return self;
}

// A content view that outlives its window no longer leads to it.
void releaseContentView(id self, id view)
{
    setViewWindow(view, nil);
    if (objc::send<id>(view, "nextResponder") == self)
        objc::send<void>(view, "setNextResponder:", id(nil));
    objc::NSObject::release(view);
}

void deallocWindow(id self, SEL sel)
{
    if (WindowState* s = stateOf<WindowState>(self, kState)) {
        std::vector<id>& list = windowList();
        list.erase(std::remove(list.begin(), list.end(), self), list.end());
        if (s->contentView)
            releaseContentView(self, s->contentView);
        delete s;
        objc::ivar<void*>(self, kState) = nullptr;
    }
    objc::sendSuper<void>(self, NSWindowClass(), sel);
}

id contentView(id self, SEL) { return state(self).contentView; }

void setContentView(id self, SEL, id view)
{
    WindowState& s = state(self);
    if (view == s.contentView)
        return;
    if (s.contentView)
        releaseContentView(self, s.contentView);
    s.contentView = objc::NSObject::retain(view);
    if (view) {
        objc::send<void>(view, "removeFromSuperview");
        const NSSize size = s.contentRect().size;
        objc::send<void>(view, "setFrameOrigin:", NSMakePoint(0, 0));
        objc::send<void>(view, "setFrameSize:", size);
        setViewWindow(view, self);
        objc::send<void>(view, "setNextResponder:", self);
        s.peer->invalidate(peer::Rect{0, 0, size.width, size.height});
    }
}

NSRect frameForContent(id self, SEL, NSRect content)
{
    const double bar = state(self).titleBar();
    return NSMakeRect(content.origin.x, content.origin.y, content.size.width, content.size.height + bar);
}

NSRect contentForFrame(id self, SEL, NSRect frame)
{
    const double bar = state(self).titleBar();
    return NSMakeRect(frame.origin.x, frame.origin.y, frame.size.width, std::max(0.0, frame.size.height - bar));
}

NSRect frame(id self, SEL) { return frameForContent(self, nullptr, state(self).contentRect()); }

void setFrameDisplay(id self, SEL, NSRect frame, BOOL)
{
    state(self).setContentRect(contentForFrame(self, nullptr, frame));
}

void setFrameOrigin(id self, SEL, NSPoint origin)
{
    NSRect f = frame(self, nullptr);
    f.origin = origin;
    state(self).setContentRect(contentForFrame(self, nullptr, f));
}

void setFrameTopLeftPoint(id self, SEL, NSPoint topLeft)
{
    NSRect f = frame(self, nullptr);
    f.origin = NSMakePoint(topLeft.x, topLeft.y - f.size.height);
    state(self).setContentRect(contentForFrame(self, nullptr, f));
}

void setContentSize(id self, SEL, NSSize size)
{
    // The top edge stays where it is.
    const NSRect old = state(self).contentRect();
    state(self).setContentRect(
        NSMakeRect(old.origin.x, old.origin.y + old.size.height - size.height, size.width, size.height));
}

NSString* title(id self, SEL)
{
    return state(self).titleString;
}

void setTitle(id self, SEL, NSString* text)
{
    WindowState& s = state(self);
    s.title = utf8(text);
    if (s.titleString)
        CFRelease(s.titleString);
    s.titleString = makeString(s.title);
    s.peer->setTitle(s.title);
}

long level(id self, SEL) { return state(self).level; }
void setLevel(id self, SEL, long level)
{
    state(self).level = level;
    state(self).peer->setLevel(int(level));
}
BOOL isOpaque(id self, SEL) { return state(self).opaque ? YES : NO; }
void setOpaque(id self, SEL, BOOL opaque) { state(self).opaque = opaque != NO; }
void ignoreObject(id, SEL, id) {}
void ignoreFlag(id, SEL, BOOL) {}
void ignoreDouble(id, SEL, double) {}
void setReleasedWhenClosed(id self, SEL, BOOL on) { state(self).releasedWhenClosed = on != NO; }
id delegate(id self, SEL) { return state(self).delegate; }
void setDelegate(id self, SEL, id delegate) { state(self).delegate = delegate; }
id firstResponder(id self, SEL) { return state(self).firstResponder ? state(self).firstResponder : self; }

BOOL makeFirstResponder(id self, SEL, id responder)
{
    WindowState& s = state(self);
    if (responder == s.firstResponder)
        return YES;
    if (s.firstResponder && s.firstResponder != self &&
        objc::send<BOOL>(s.firstResponder, "resignFirstResponder") == NO)
        return NO;
    if (responder && responder != self && objc::send<BOOL>(responder, "becomeFirstResponder") == NO) {
        s.firstResponder = nil;
        return NO;
    }
    s.firstResponder = responder == self ? nil : responder;
    return YES;
}

id initialFirstResponder(id self, SEL) { return state(self).initialFirstResponder; }
void setInitialFirstResponder(id self, SEL, id view) { state(self).initialFirstResponder = view; }

void orderFront(id self, SEL, id) { state(self).peer->show(false); }
void orderFrontRegardless(id self, SEL) { state(self).peer->show(false); }
void orderOut(id self, SEL, id) { state(self).peer->hide(); }
void makeKeyAndOrderFront(id self, SEL, id) { state(self).peer->show(true); }
void makeKeyWindow(id self, SEL) { state(self).peer->show(true); }
BOOL isKeyWindow(id self, SEL) { return state(self).isKey ? YES : NO; }
BOOL isMainWindow(id self, SEL) { return state(self).isMain ? YES : NO; }
BOOL isVisible(id self, SEL) { return state(self).peer->isVisible() ? YES : NO; }
BOOL canBecomeKey(id self, SEL)
{
    return state(self).styleMask & (NSWindowStyleMaskTitled | NSWindowStyleMaskResizable) ? YES : NO;
}
void miniaturize(id self, SEL, id) { state(self).peer->setMinimized(true); }
void deminiaturize(id self, SEL, id) { state(self).peer->setMinimized(false); }
BOOL isMiniaturized(id self, SEL) { return state(self).peer->isMinimized() ? YES : NO; }

void zoom(id self, SEL, id)
{
    WindowState& s = state(self);
    if (s.zoomed) {
        s.zoomed = false;
        objc::send<void>(self, "setFrame:display:", s.unzoomedFrame, BOOL(YES));
        return;
    }
    const std::vector<peer::ScreenInfo> screens = Backend::current().screens().screens();
    if (screens.empty())
        return;
    s.unzoomedFrame = frame(self, nullptr);
    s.zoomed = true;
    objc::send<void>(self, "setFrame:display:", toBottomUp(screens.front().visibleFrame), BOOL(YES));
}

BOOL isZoomed(id self, SEL) { return state(self).zoomed ? YES : NO; }

void performClose(id self, SEL, id)
{
    if (state(self).windowShouldClose())
        state(self).closeWindow(true);
}

void closeWindow(id self, SEL) { state(self).closeWindow(true); }
BOOL isDocumentEdited(id self, SEL) { return state(self).documentEdited ? YES : NO; }
void setDocumentEdited(id self, SEL, BOOL on) { state(self).documentEdited = on != NO; }
unsigned long styleMask(id self, SEL) { return state(self).styleMask; }

void setStyleMask(id self, SEL, unsigned long mask)
{
    state(self).styleMask = mask;
    state(self).peer->setResizable(mask & NSWindowStyleMaskResizable);
}

void toggleFullScreen(id self, SEL, id)
{
    WindowState& s = state(self);
    const bool on = !(s.styleMask & NSWindowStyleMaskFullScreen);
    s.styleMask = on ? s.styleMask | NSWindowStyleMaskFullScreen : s.styleMask & ~NSWindowStyleMaskFullScreen;
    s.peer->setFullScreen(on);
}

unsigned long collectionBehavior(id self, SEL) { return state(self).collectionBehavior; }
void setCollectionBehavior(id self, SEL, unsigned long behavior) { state(self).collectionBehavior = behavior; }

NSRect convertRectToScreen(id self, SEL, NSRect r)
{
    const NSRect content = state(self).contentRect();
    return NSMakeRect(r.origin.x + content.origin.x, r.origin.y + content.origin.y, r.size.width, r.size.height);
}

NSRect convertRectFromScreen(id self, SEL, NSRect r)
{
    const NSRect content = state(self).contentRect();
    return NSMakeRect(r.origin.x - content.origin.x, r.origin.y - content.origin.y, r.size.width, r.size.height);
}

NSPoint convertPointToScreen(id self, SEL, NSPoint p)
{
    return convertRectToScreen(self, nullptr, NSMakeRect(p.x, p.y, 0, 0)).origin;
}

NSPoint convertPointFromScreen(id self, SEL, NSPoint p)
{
    return convertRectFromScreen(self, nullptr, NSMakeRect(p.x, p.y, 0, 0)).origin;
}

double backingScaleFactor(id self, SEL) { return state(self).peer->backingScale(); }

void invalidateContentRect(id self, SEL, NSRect r)
{
    WindowState& s = state(self);
    s.dirty = true;
    s.peer->invalidate(peer::Rect{r.origin.x, s.contentHeight() - r.origin.y - r.size.height, r.size.width,
                                  r.size.height});
}

void display(id self, SEL)
{
    const NSSize size = state(self).contentRect().size;
    invalidateContentRect(self, nullptr, NSMakeRect(0, 0, size.width, size.height));
    state(self).peer->displayNow();
}

void displayIfNeeded(id self, SEL) { state(self).peer->displayNow(); }
BOOL viewsNeedDisplay(id self, SEL) { return state(self).dirty ? YES : NO; }
void nothing(id, SEL) {}

id targetFor(WindowState& s, NSPoint location)
{
    id hit = s.contentView ? objc::send<id>(s.contentView, "hitTest:", location) : nil;
    return hit ? hit : s.self;
}

void sendEvent(id self, SEL, id event)
{
    WindowState& s = state(self);
    const EventRecord& record = eventRecord(event);
    id target = nil;
    switch (record.type) {
    case NSEventTypeLeftMouseDown:
    case NSEventTypeRightMouseDown:
    case NSEventTypeOtherMouseDown:
        if (!s.isKey && objc::send<BOOL>(self, "canBecomeKeyWindow"))
            s.peer->show(true);
        target = targetFor(s, record.location);
        if (record.type == NSEventTypeLeftMouseDown) {
            s.mouseDownView = target;
            // A click gives key focus to a view that takes it.
            if (target != self && target != s.firstResponder && objc::send<BOOL>(target, "acceptsFirstResponder"))
                objc::send<BOOL>(self, "makeFirstResponder:", target);
        }
        objc::send<void>(target, record.type == NSEventTypeLeftMouseDown    ? "mouseDown:"
                                 : record.type == NSEventTypeRightMouseDown ? "rightMouseDown:"
                                                                            : "otherMouseDown:",
                         event);
        break;
    case NSEventTypeLeftMouseUp:
        target = s.mouseDownView ? s.mouseDownView : targetFor(s, record.location);
        s.mouseDownView = nil;
        objc::send<void>(target, "mouseUp:", event);
        break;
    case NSEventTypeRightMouseUp:
        objc::send<void>(targetFor(s, record.location), "rightMouseUp:", event);
        break;
    case NSEventTypeOtherMouseUp:
        objc::send<void>(targetFor(s, record.location), "otherMouseUp:", event);
        break;
    case NSEventTypeMouseMoved:
        s.track(event);
        break;
    case NSEventTypeLeftMouseDragged:
    case NSEventTypeRightMouseDragged:
    case NSEventTypeOtherMouseDragged:
        s.track(event);
        target = s.mouseDownView ? s.mouseDownView : targetFor(s, record.location);
        objc::send<void>(target, record.type == NSEventTypeLeftMouseDragged    ? "mouseDragged:"
                                 : record.type == NSEventTypeRightMouseDragged ? "rightMouseDragged:"
                                                                               : "otherMouseDragged:",
                         event);
        break;
    case NSEventTypeScrollWheel:
        objc::send<void>(targetFor(s, record.location), "scrollWheel:", event);
        break;
    case NSEventTypeKeyDown:
        objc::send<void>(s.keyTarget(), "keyDown:", event);
        break;
    case NSEventTypeKeyUp:
        objc::send<void>(s.keyTarget(), "keyUp:", event);
        break;
    case NSEventTypeFlagsChanged:
        objc::send<void>(s.keyTarget(), "flagsChanged:", event);
        break;
    default:
        break;
    }
}

// Offers a key equivalent to every view that answers it, deepest last.
BOOL performKeyEquivalent(id self, SEL, id event)
{
    BOOL handled = NO;
    forEachView(state(self).contentView, [&](id view) {
        if (!handled && responds(view, "performKeyEquivalent:"))
            handled = objc::send<BOOL>(view, "performKeyEquivalent:", event);
    });
    return handled;
}

long windowNumber(id self, SEL) { return state(self).number; }
BOOL acceptsMouseMoved(id self, SEL) { return state(self).acceptsMouseMoved ? YES : NO; }
void setAcceptsMouseMoved(id self, SEL, BOOL on) { state(self).acceptsMouseMoved = on != NO; }
NSPoint mouseLocationOutside(id self, SEL) { return state(self).lastMouse; }
BOOL worksWhenModal(id self, SEL) { return state(self).worksWhenModal ? YES : NO; }
void setWorksWhenModal(id self, SEL, BOOL on) { state(self).worksWhenModal = on != NO; }
BOOL yes(id, SEL) { return YES; }

Class registerWindowClass()
{
    return objc::StandInClass("NSWindow", NSResponderClass())
        .ivar<void*>(kState)
        .method("initWithContentRect:styleMask:backing:defer:", &initWindow)
        .method("dealloc", &deallocWindow)
        .method("contentView", &contentView)
        .method("setContentView:", &setContentView)
        .method("frame", &frame)
        .method("setFrame:display:", &setFrameDisplay)
        .method("setFrameOrigin:", &setFrameOrigin)
        .method("setFrameTopLeftPoint:", &setFrameTopLeftPoint)
        .method("setContentSize:", &setContentSize)
        .method("contentRectForFrameRect:", &contentForFrame)
        .method("frameRectForContentRect:", &frameForContent)
        .method("title", &title)
        .method("setTitle:", &setTitle)
        .method("level", &level)
        .method("setLevel:", &setLevel)
        .method("isOpaque", &isOpaque)
        .method("setOpaque:", &setOpaque)
        .method("setBackgroundColor:", &ignoreObject)
        .method("setHasShadow:", &ignoreFlag)
        .method("setAlphaValue:", &ignoreDouble)
        .method("setReleasedWhenClosed:", &setReleasedWhenClosed)
        .method("delegate", &delegate)
        .method("setDelegate:", &setDelegate)
        .method("firstResponder", &firstResponder)
        .method("makeFirstResponder:", &makeFirstResponder)
        .method("initialFirstResponder", &initialFirstResponder)
        .method("setInitialFirstResponder:", &setInitialFirstResponder)
        .method("orderFront:", &orderFront)
        .method("orderFrontRegardless", &orderFrontRegardless)
        .method("orderOut:", &orderOut)
        .method("makeKeyAndOrderFront:", &makeKeyAndOrderFront)
        .method("makeKeyWindow", &makeKeyWindow)
        .method("makeMainWindow", &makeKeyWindow)
        .method("isKeyWindow", &isKeyWindow)
        .method("isMainWindow", &isMainWindow)
        .method("isVisible", &isVisible)
        .method("canBecomeKeyWindow", &canBecomeKey)
        .method("canBecomeMainWindow", &canBecomeKey)
        .method("miniaturize:", &miniaturize)
        .method("performMiniaturize:", &miniaturize)
        .method("deminiaturize:", &deminiaturize)
        .method("isMiniaturized", &isMiniaturized)
        .method("zoom:", &zoom)
        .method("isZoomed", &isZoomed)
        .method("performClose:", &performClose)
        .method("close", &closeWindow)
        .method("isDocumentEdited", &isDocumentEdited)
        .method("setDocumentEdited:", &setDocumentEdited)
        .method("styleMask", &styleMask)
        .method("setStyleMask:", &setStyleMask)
        .method("toggleFullScreen:", &toggleFullScreen)
        .method("collectionBehavior", &collectionBehavior)
        .method("setCollectionBehavior:", &setCollectionBehavior)
        .method("convertRectToScreen:", &convertRectToScreen)
        .method("convertRectFromScreen:", &convertRectFromScreen)
        .method("convertPointToScreen:", &convertPointToScreen)
        .method("convertPointFromScreen:", &convertPointFromScreen)
        .method("backingScaleFactor", &backingScaleFactor)
        .method("_invalidateContentRect:", &invalidateContentRect)
        .method("display", &display)
        .method("displayIfNeeded", &displayIfNeeded)
        .method("viewsNeedDisplay", &viewsNeedDisplay)
        .method("sendEvent:", &sendEvent)
        .method("performKeyEquivalent:", &performKeyEquivalent)
        .method("windowNumber", &windowNumber)
        .method("acceptsMouseMovedEvents", &acceptsMouseMoved)
        .method("setAcceptsMouseMovedEvents:", &setAcceptsMouseMoved)
        .method("mouseLocationOutsideOfEventStream", &mouseLocationOutside)
        .method("update", &nothing)
        .registerClass();
}

Class registerPanelClass()
{
    return objc::StandInClass("NSPanel", NSWindowClass())
        .method("worksWhenModal", &worksWhenModal)
        .method("setWorksWhenModal:", &setWorksWhenModal)
        .method("isFloatingPanel", &yes)
        .registerClass();
}

} // namespace

Class NSWindowClass()
{
    static Class s_class = registerWindowClass();
    return s_class;
}

Class NSPanelClass()
{
    static Class s_class = registerPanelClass();
    return s_class;
}

std::vector<id> allWindows()
{
    return windowList();
}

peer::WindowPeer* windowPeer(id window)
{
    WindowState* s = window ? stateOf<WindowState>(window, kState) : nullptr;
    return s ? s->peer.get() : nullptr;
}

} // namespace platform::appkit
