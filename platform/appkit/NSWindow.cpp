#include "platform/appkit/NSWindow.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSResponder.h"
#include "platform/appkit/NSScreen.h"
#include "platform/appkit/NSTrackingArea.h"
#include "platform/appkit/NSView.h"
#include "platform/appkit/WindowPeerAdapter.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

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

// An NSWindow's state; its peer is reached through the adapter.
class WindowRecord final : public WindowPeerAdapter::Window {
public:
    WindowRecord(id window, NSRect content, unsigned long mask)
        : self(window)
        , styleMask(mask)
        , adapter(window, *this, content, mask)
    {
    }

    id self;
    unsigned long styleMask = 0;
    WindowPeerAdapter adapter;
    id contentView = nil; // retained
    id delegate = nil;
    id firstResponder = nil;
    id initialFirstResponder = nil;
    id mouseDownView = nil;
    std::map<id, bool> insideArea; // tracking area -> the mouse is inside
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

    ~WindowRecord() { CFRelease(titleString); }

    peer::WindowPeer& peer() const { return adapter.peer(); }

    double titleBar() const
    {
        return (styleMask & NSWindowStyleMaskTitled) && !(styleMask & NSWindowStyleMaskFullScreen) ? kTitleBarHeight
                                                                                                   : 0.0;
    }
    NSRect contentRect() const { return adapter.contentRect(); }

    void setContentRect(NSRect rect)
    {
        const NSSize old = contentRect().size;
        adapter.setContentRect(rect);
        if (old.width != rect.size.width || old.height != rect.size.height)
            contentResized(rect.size);
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

    // WindowPeerAdapter::Window
    // The first responder while it is still one of the window's views (the
    // window itself once it left the tree).
    id keyTarget() override
    {
        bool inTree = false;
        if (firstResponder)
            forEachView(contentView, [&](id view) { inTree = inTree || view == firstResponder; });
        if (!inTree)
            firstResponder = nil;
        return firstResponder ? firstResponder : self;
    }
    void moved() override { notify(delegate, "windowDidMove:", "NSWindowDidMoveNotification", self); }
    NSSize contentWillResize(NSSize proposed) override
    {
        if (!responds(delegate, "windowWillResize:toSize:"))
            return proposed;
        const NSSize frameSize = NSMakeSize(proposed.width, proposed.height + titleBar());
        const NSSize answer = objc::send<NSSize>(delegate, "windowWillResize:toSize:", self, frameSize);
        return NSMakeSize(answer.width, std::max(0.0, answer.height - titleBar()));
    }
    void contentResized(NSSize size) override
    {
        objc::send<void>(contentView, "setFrameSize:", size);
        notify(delegate, "windowDidResize:", "NSWindowDidResizeNotification", self);
    }
    bool shouldClose() override
    {
        if (responds(delegate, "windowShouldClose:"))
            return objc::send<BOOL>(delegate, "windowShouldClose:", self) != NO;
        return true;
    }
    void closedByPeer() override { closeWindow(false); }
    void focusChanged(bool focused) override
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
    void minimizedChanged(bool minimized) override
    {
        if (minimized)
            notify(delegate, "windowDidMiniaturize:", "NSWindowDidMiniaturizeNotification", self);
        else
            notify(delegate, "windowDidDeminiaturize:", "NSWindowDidDeminiaturizeNotification", self);
    }
    void backingScaleChanged() override
    {
        forEachView(contentView, [](id view) { objc::send<void>(view, "viewDidChangeBackingProperties"); });
        notify(delegate, "windowDidChangeBackingProperties:", "NSWindowDidChangeBackingPropertiesNotification", self);
    }
    void drawContent(CGContextRef context, NSRect dirtyInWindow) override
    {
        dirty = false;
        displayView(contentView, context, dirtyInWindow);
    }
    void mouseLeftContent(const EventRecord& exited) override
    {
        for (auto& [area, inside] : insideArea)
            if (inside) {
                inside = false;
                sendCrossing(area, false, exited);
            }
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
            peer().close();
        focusChanged(false);
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

WindowRecord& state(id window)
{
    return *stateOf<WindowRecord>(window, kState);
}

id initWindow(id self, SEL, NSRect content, unsigned long mask, unsigned long, BOOL)
{
    self = objc::sendSuper<id>(self, NSWindowClass(), objc::selector("init"));
    if (!self)
        return nil;
    static long s_number = 0;
    auto* s = new WindowRecord(self, content, mask);
    objc::ivar<void*>(self, kState) = s;
    s->number = ++s_number;
    id view = objc::send<id>(objc::NSObject::alloc(NSViewClass()),
                             "initWithFrame:", NSMakeRect(0, 0, content.size.width, content.size.height));
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
    if (WindowRecord* s = stateOf<WindowRecord>(self, kState)) {
        std::vector<id>& list = windowList();
        list.erase(std::remove(list.begin(), list.end(), self), list.end());
        if (s->contentView)
            releaseContentView(self, s->contentView);
        delete s;
        objc::ivar<void*>(self, kState) = nullptr;
    }
    objc::sendSuper<void>(self, NSWindowClass(), sel);
}

id contentView(id self, SEL)
{
    return state(self).contentView;
}

void setContentView(id self, SEL, id view)
{
    WindowRecord& s = state(self);
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
        const NSRect all = NSMakeRect(0, 0, size.width, size.height);
        s.adapter.invalidate(&all, 1);
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

NSRect frame(id self, SEL)
{
    return frameForContent(self, nullptr, state(self).contentRect());
}

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
    WindowRecord& s = state(self);
    s.title = utf8(text);
    if (s.titleString)
        CFRelease(s.titleString);
    s.titleString = makeString(s.title);
    s.peer().setTitle(s.title);
}

long level(id self, SEL)
{
    return state(self).level;
}
void setLevel(id self, SEL, long level)
{
    state(self).level = level;
    state(self).peer().setLevel(int(level));
}
BOOL isOpaque(id self, SEL)
{
    return state(self).opaque ? YES : NO;
}
void setOpaque(id self, SEL, BOOL opaque)
{
    state(self).opaque = opaque != NO;
}
void ignoreObject(id, SEL, id) { }
void ignoreFlag(id, SEL, BOOL) { }
void ignoreDouble(id, SEL, double) { }
void setReleasedWhenClosed(id self, SEL, BOOL on)
{
    state(self).releasedWhenClosed = on != NO;
}
id delegate(id self, SEL)
{
    return state(self).delegate;
}
void setDelegate(id self, SEL, id delegate)
{
    state(self).delegate = delegate;
}
id firstResponder(id self, SEL)
{
    return state(self).firstResponder ? state(self).firstResponder : self;
}

BOOL makeFirstResponder(id self, SEL, id responder)
{
    WindowRecord& s = state(self);
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

id initialFirstResponder(id self, SEL)
{
    return state(self).initialFirstResponder;
}
void setInitialFirstResponder(id self, SEL, id view)
{
    state(self).initialFirstResponder = view;
}

void orderFront(id self, SEL, id)
{
    state(self).peer().show(false);
}
void orderFrontRegardless(id self, SEL)
{
    state(self).peer().show(false);
}
void orderOut(id self, SEL, id)
{
    state(self).peer().hide();
}
void makeKeyAndOrderFront(id self, SEL, id)
{
    state(self).peer().show(true);
}
void makeKeyWindow(id self, SEL)
{
    state(self).peer().show(true);
}
BOOL isKeyWindow(id self, SEL)
{
    return state(self).isKey ? YES : NO;
}
BOOL isMainWindow(id self, SEL)
{
    return state(self).isMain ? YES : NO;
}
BOOL isVisible(id self, SEL)
{
    return state(self).peer().isVisible() ? YES : NO;
}
BOOL canBecomeKey(id self, SEL)
{
    return state(self).styleMask & (NSWindowStyleMaskTitled | NSWindowStyleMaskResizable) ? YES : NO;
}
void miniaturize(id self, SEL, id)
{
    state(self).peer().setMinimized(true);
}
void deminiaturize(id self, SEL, id)
{
    state(self).peer().setMinimized(false);
}
BOOL isMiniaturized(id self, SEL)
{
    return state(self).peer().isMinimized() ? YES : NO;
}

void zoom(id self, SEL, id)
{
    WindowRecord& s = state(self);
    if (s.zoomed) {
        s.zoomed = false;
        objc::send<void>(self, "setFrame:display:", s.unzoomedFrame, BOOL(YES));
        return;
    }
    objc::AutoreleasePool pool;
    id screen = objc::send<id>(NSScreenClass(), "mainScreen");
    if (!screen)
        return;
    s.unzoomedFrame = frame(self, nullptr);
    s.zoomed = true;
    objc::send<void>(self, "setFrame:display:", objc::send<NSRect>(screen, "visibleFrame"), BOOL(YES));
}

BOOL isZoomed(id self, SEL)
{
    return state(self).zoomed ? YES : NO;
}

void performClose(id self, SEL, id)
{
    if (state(self).shouldClose())
        state(self).closeWindow(true);
}

void closeWindow(id self, SEL)
{
    state(self).closeWindow(true);
}
BOOL isDocumentEdited(id self, SEL)
{
    return state(self).documentEdited ? YES : NO;
}
void setDocumentEdited(id self, SEL, BOOL on)
{
    state(self).documentEdited = on != NO;
}
unsigned long styleMask(id self, SEL)
{
    return state(self).styleMask;
}

void setStyleMask(id self, SEL, unsigned long mask)
{
    state(self).styleMask = mask;
    state(self).peer().setResizable(mask & NSWindowStyleMaskResizable);
}

void toggleFullScreen(id self, SEL, id)
{
    WindowRecord& s = state(self);
    const bool on = !(s.styleMask & NSWindowStyleMaskFullScreen);
    s.styleMask = on ? s.styleMask | NSWindowStyleMaskFullScreen : s.styleMask & ~NSWindowStyleMaskFullScreen;
    s.peer().setFullScreen(on);
}

unsigned long collectionBehavior(id self, SEL)
{
    return state(self).collectionBehavior;
}
void setCollectionBehavior(id self, SEL, unsigned long behavior)
{
    state(self).collectionBehavior = behavior;
}

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

double backingScaleFactor(id self, SEL)
{
    return state(self).peer().backingScale();
}

void invalidateContentRects(id self, SEL, const NSRect* rects, unsigned long count)
{
    WindowRecord& s = state(self);
    s.dirty = true;
    s.adapter.invalidate(rects, count);
}

void display(id self, SEL)
{
    const NSSize size = state(self).contentRect().size;
    const NSRect all = NSMakeRect(0, 0, size.width, size.height);
    invalidateContentRects(self, nullptr, &all, 1);
    state(self).peer().displayNow();
}

void displayIfNeeded(id self, SEL)
{
    state(self).peer().displayNow();
}
BOOL viewsNeedDisplay(id self, SEL)
{
    return state(self).dirty ? YES : NO;
}
void nothing(id, SEL) { }

id targetFor(WindowRecord& s, NSPoint location)
{
    id hit = s.contentView ? objc::send<id>(s.contentView, "hitTest:", location) : nil;
    return hit ? hit : s.self;
}

void sendEvent(id self, SEL, id event)
{
    WindowRecord& s = state(self);
    const EventRecord& record = eventRecord(event);
    id target = nil;
    switch (record.type) {
    case NSEventTypeLeftMouseDown:
    case NSEventTypeRightMouseDown:
    case NSEventTypeOtherMouseDown:
        if (!s.isKey && objc::send<BOOL>(self, "canBecomeKeyWindow"))
            s.peer().show(true);
        target = targetFor(s, record.location);
        if (record.type == NSEventTypeLeftMouseDown) {
            s.mouseDownView = target;
            // A click gives key focus to a view that takes it.
            if (target != self && target != s.firstResponder && objc::send<BOOL>(target, "acceptsFirstResponder"))
                objc::send<BOOL>(self, "makeFirstResponder:", target);
        }
        objc::send<void>(target,
                         record.type == NSEventTypeLeftMouseDown        ? "mouseDown:"
                             : record.type == NSEventTypeRightMouseDown ? "rightMouseDown:"
                                                                        : "otherMouseDown:",
                         event);
        break;
    case NSEventTypeLeftMouseUp:
        target = s.mouseDownView ? s.mouseDownView : targetFor(s, record.location);
        s.mouseDownView = nil;
        objc::send<void>(target, "mouseUp:", event);
        break;
    case NSEventTypeRightMouseUp: objc::send<void>(targetFor(s, record.location), "rightMouseUp:", event); break;
    case NSEventTypeOtherMouseUp: objc::send<void>(targetFor(s, record.location), "otherMouseUp:", event); break;
    case NSEventTypeMouseMoved: s.track(event); break;
    case NSEventTypeLeftMouseDragged:
    case NSEventTypeRightMouseDragged:
    case NSEventTypeOtherMouseDragged:
        s.track(event);
        target = s.mouseDownView ? s.mouseDownView : targetFor(s, record.location);
        objc::send<void>(target,
                         record.type == NSEventTypeLeftMouseDragged        ? "mouseDragged:"
                             : record.type == NSEventTypeRightMouseDragged ? "rightMouseDragged:"
                                                                           : "otherMouseDragged:",
                         event);
        break;
    case NSEventTypeScrollWheel: objc::send<void>(targetFor(s, record.location), "scrollWheel:", event); break;
    case NSEventTypeKeyDown: objc::send<void>(s.keyTarget(), "keyDown:", event); break;
    case NSEventTypeKeyUp: objc::send<void>(s.keyTarget(), "keyUp:", event); break;
    case NSEventTypeFlagsChanged: objc::send<void>(s.keyTarget(), "flagsChanged:", event); break;
    default: break;
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

long windowNumber(id self, SEL)
{
    return state(self).number;
}
BOOL acceptsMouseMoved(id self, SEL)
{
    return state(self).acceptsMouseMoved ? YES : NO;
}
void setAcceptsMouseMoved(id self, SEL, BOOL on)
{
    state(self).acceptsMouseMoved = on != NO;
}
NSPoint mouseLocationOutside(id self, SEL)
{
    return state(self).lastMouse;
}
BOOL worksWhenModal(id self, SEL)
{
    return state(self).worksWhenModal ? YES : NO;
}
void setWorksWhenModal(id self, SEL, BOOL on)
{
    state(self).worksWhenModal = on != NO;
}
BOOL yes(id, SEL)
{
    return YES;
}

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
        .method("_invalidateContentRects:count:", &invalidateContentRects)
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
    WindowRecord* s = window ? stateOf<WindowRecord>(window, kState) : nullptr;
    return s ? &s->peer() : nullptr;
}

} // namespace platform::appkit
