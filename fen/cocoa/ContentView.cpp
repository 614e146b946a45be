#include "FEN/COCOA/ContentView.h"

#include "BAS/ClassFactory.h"
#include "BAS/ObjCIvar.h"
#include "FEN/Application.h"
#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/COCOA/WindowNotifications.h"
#include "FEN/ClipBoardFormat.h"
#include "FEN/CursorManager.h"
#include "FEN/DETAIL/Keys.h"
#include "FEN/DeviceContext.h"
#include "FEN/DragDropManager.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/ExchangeData.h"
#include "FEN/InputState.h"
#include "FEN/Lib.h"
#include "FEN/WindowBase.h"
#include "platform/appkit/NSPasteboard.h"
#include "platform/cf/CFArray.h"
#include "platform/cg/CGContext.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/pasteboard/Pasteboard.h"

#include <cmath>
#include <functional>

namespace CV {
namespace FEN {
namespace COCOA {

namespace {

namespace objc = platform::objc;

objc_class* s_viewClass = nullptr;

BOOL viewShouldClose(id self, SEL, id)
{
    return WindowNotifications::shouldClose(ContentView::implOf(self));
}

void viewWillClose(id self, SEL, id)
{
    WindowNotifications::willClose(ContentView::implOf(self), [self] { ContentView::detach(self); });
}

void viewDidBecomeMain(id self, SEL, id)
{
    WindowNotifications::didBecomeMain(ContentView::implOf(self));
}

void viewDidResignMain(id self, SEL, id)
{
    WindowNotifications::didResignMain(ContentView::implOf(self), false);
}

void viewDidBecomeKey(id self, SEL, id)
{
    WindowNotifications::didBecomeKey(ContentView::implOf(self));
}

void viewDidResignKey(id self, SEL, id)
{
    WindowNotifications::didResignKey(ContentView::implOf(self), false);
}

NSSize viewWillResize(id self, SEL, id window, NSSize proposed)
{
    return WindowNotifications::willResize(ContentView::implOf(self), window, proposed);
}

BOOL viewIsFlipped(id, SEL)
{
    return YES;
}

BOOL answerYes(id, SEL)
{
    return YES;
}

BOOL answerYesTo(id, SEL, id)
{
    return YES;
}

// The class whose superclass implementations [super ...] reaches.
Class superclassOf()
{
    return ContentView::viewClass();
}

void passToSuperclass(id self, const char* selectorName, id event)
{
    objc::sendSuper<void>(self, superclassOf(), selectorName, event);
}

BAS::Point toInt(NSPoint point)
{
    return {int32_t(std::trunc(point.x)), int32_t(std::trunc(point.y))};
}

NSPoint locationInView(id self, id event)
{
    NSPoint const inWindow = objc::send<NSPoint>(event, "locationInWindow");
    return objc::send<NSPoint>(self, "convertPoint:fromView:", inWindow, id(nil));
}

uint64_t modifierFlagsOf(id event)
{
    return objc::send<uint64_t>(event, "modifierFlags");
}

uint32_t modifiersOf(uint64_t flags)
{
    return DETAIL::Keys::macOSModifiersToFEN(uint32_t(flags));
}

bool isHighResolution()
{
    Application* application = Application::getApplication();
    return application != nullptr && application->isHighResolution();
}

// The view, the event and its position, for a drag that may start from it.
DragViewData& dragViewData()
{
    static DragViewData s_data;
    return s_data;
}

void recordDragViewData(id self, id event)
{
    NSPoint const location = locationInView(self, event);
    DragViewData& data = dragViewData();
    if (data.event != event) {
        if (event != nil)
            objc::send<id>(event, "retain");
        if (data.event != nil)
            objc::send<void>(data.event, "release");
    }
    data.view = self;
    data.event = event;
    data.x = location.x;
    data.y = location.y;
}

// A view going away leaves no record behind that a later drag could use.
void forgetDragViewData(id self)
{
    DragViewData& data = dragViewData();
    if (data.view != self)
        return;
    if (data.event != nil)
        objc::send<void>(data.event, "release");
    data.view = nil;
    data.event = nil;
    data.x = data.y = 0;
}

bool provideDragViewData(DragViewData*& data)
{
    if (dragViewData().view == nil)
        return false;
    data = &dragViewData();
    return true;
}

bool sendMouse(WindowImplBase* impl, unsigned code, BAS::Point position, uint32_t modifiers)
{
    MouseEventData data;
    data.position = position;
    data.modifiers = modifiers;
    return impl->sendEvent(code, &data, false);
}

bool sendButton(WindowImplBase* impl, BAS::Point position, uint64_t flags, int button, int state)
{
    // A left button with Control held is the right button.
    if (button == eMouseButton::Left && (flags & platform::keyboard::kModifierControl)) {
        button = eMouseButton::Right;
        flags &= ~uint64_t(platform::keyboard::kModifierControl);
    }
    MouseButtonEventData data;
    data.position = position;
    data.modifiers = modifiersOf(flags);
    data.button = button;
    data.state = state;
    return impl->sendEvent(eMouseEvent::MouseButton, &data, false);
}

void pressButton(id self, id event, int button, const char* selectorName)
{
    recordDragViewData(self, event);
    BAS::Point const position = toInt(locationInView(self, event));
    if (!ContentView::handleMouseButtonEventWithPosition(self, event, position, button, eMouseButtonState::Down))
        passToSuperclass(self, selectorName, event);
}

void viewMouseDown(id self, SEL, id event)
{
    pressButton(self, event, eMouseButton::Left, "mouseDown:");
}

void viewRightMouseDown(id self, SEL, id event)
{
    pressButton(self, event, eMouseButton::Right, "rightMouseDown:");
}

void viewOtherMouseDown(id self, SEL, id event)
{
    if (objc::send<long>(event, "buttonNumber") != 2) {
        passToSuperclass(self, "otherMouseDown:", event);
        return;
    }
    pressButton(self, event, eMouseButton::Middle, "otherMouseDown:");
}

void releaseButton(id self, id event, int button, const char* selectorName)
{
    recordDragViewData(self, event);
    WindowImplBase* impl = ContentView::implOf(self);
    uint64_t const flags = modifierFlagsOf(event);
    if (impl != nullptr && sendButton(impl, toInt(locationInView(self, event)), flags, button, eMouseButtonState::Up))
        return;
    passToSuperclass(self, selectorName, event);
}

void viewMouseUp(id self, SEL, id event)
{
    releaseButton(self, event, eMouseButton::Left, "mouseUp:");
}

void viewRightMouseUp(id self, SEL, id event)
{
    releaseButton(self, event, eMouseButton::Right, "rightMouseUp:");
}

void viewOtherMouseUp(id self, SEL, id event)
{
    if (objc::send<long>(event, "buttonNumber") != 2) {
        passToSuperclass(self, "otherMouseUp:", event);
        return;
    }
    releaseButton(self, event, eMouseButton::Middle, "otherMouseUp:");
}

// Motion with or without a button held; false when not handled.
bool handleMotion(id self, id event, unsigned code)
{
    WindowImplBase* impl = ContentView::implOf(self);
    if (impl == nullptr)
        return false;
    uint32_t const modifiers = modifiersOf(modifierFlagsOf(event));
    if (impl->isRelativeMouse()) {
        recordDragViewData(self, event);
        MouseRelativeMoveEventData relative;
        relative.position = toInt(locationInView(self, event));
        relative.modifiers = modifiers;
        relative.deltaX = objc::send<double>(event, "deltaX");
        relative.deltaY = objc::send<double>(event, "deltaY");
        impl->sendEvent(eMouseEvent::MouseRelativeMove, &relative, false);
    }
    recordDragViewData(self, event);
    return sendMouse(impl, code, toInt(locationInView(self, event)), modifiers);
}

void viewMouseMoved(id self, SEL, id event)
{
    if (!handleMotion(self, event, eMouseEvent::MouseMove))
        passToSuperclass(self, "mouseMoved:", event);
}

void viewMouseDragged(id self, SEL sel, id event)
{
    if (!ContentView::handleMouseDragEvent(self, event))
        passToSuperclass(self, sel_getName(sel), event);
}

void enterOrLeave(id self, id event, unsigned code)
{
    WindowImplBase* impl = ContentView::implOf(self);
    if (impl == nullptr || DragDropManager::s_bIsDragInProgress)
        return;
    sendMouse(impl, code, toInt(locationInView(self, event)), modifiersOf(modifierFlagsOf(event)));
}

void viewMouseEntered(id self, SEL, id event)
{
    enterOrLeave(self, event, eMouseEvent::MouseEnter);
}

void viewMouseExited(id self, SEL, id event)
{
    enterOrLeave(self, event, eMouseEvent::MouseLeave);
}

void viewScrollWheel(id self, SEL, id event)
{
    WindowImplBase* impl = ContentView::implOf(self);
    if (impl == nullptr)
        return;
    MouseWheelEventData wheel;
    wheel.position = toInt(locationInView(self, event));
    wheel.modifiers = modifiersOf(modifierFlagsOf(event));
    struct Axis {
        const char* selector;
        int32_t axis;
    };
    for (Axis const& a : {Axis{"deltaX", 0}, Axis{"deltaY", 1}}) {
        double const delta = objc::send<double>(event, a.selector);
        if (delta == 0.0)
            continue;
        wheel.delta = int32_t(std::trunc(delta));
        wheel.axis = a.axis;
        impl->sendEvent(eMouseEvent::MouseWheel, &wheel, false);
    }
}

BOOL viewWantsDefaultClipping(id, SEL)
{
    return Lib::s_bCocoaDrawRectUnion ? YES : NO;
}

void paintInto(WindowImplBase* impl, CGContextRef cgContext, NSRect const* clip)
{
    DeviceContext* dc = impl->attachDCTo(cgContext);
    float const scale = isHighResolution() ? impl->getBackingScaleFactor() : 1.0f;
    dc->setBackingScaleFactor(scale, scale);
    if (clip != nullptr)
        CGContextClipToRect(cgContext, *clip);
    PaintEventData paint;
    paint.dc = dc;
    impl->sendEvent(eWindowEvent::Paint, &paint, false);
    impl->detachDC();
}

// One Paint for the whole dirty area, or one clipped Paint per rectangle
// being drawn; the platform draws one rectangle per call.
void viewDrawRect(id self, SEL, NSRect rect)
{
    WindowImplBase* impl = ContentView::implOf(self);
    if (impl == nullptr)
        return;
    id context = objc::send<id>(objc::ObjectRuntime::lookUpClass("NSGraphicsContext"), "currentContext");
    if (context == nil)
        return;
    auto* cgContext = static_cast<CGContextRef>(objc::send<void*>(context, "CGContext"));
    paintInto(impl, cgContext, Lib::s_bCocoaDrawRectUnion ? nullptr : &rect);
}

void sendSizeChanged(id self)
{
    if (WindowImplBase* impl = ContentView::implOf(self)) {
        SizeEventData data;
        impl->sendEvent(eWindowEvent::SizeChanged, &data, false);
    }
}

void viewSetFrameSize(id self, SEL, NSSize size)
{
    objc::sendSuper<void>(self, superclassOf(), "setFrameSize:", size);
    sendSizeChanged(self);
}

// Observer of the view's own frame and bounds changes.
void viewFrameDidChange(id self, SEL, id)
{
    sendSizeChanged(self);
}

void observeOwnFrame(id view)
{
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    for (const char* name : {"NSViewBoundsDidChangeNotification", "NSViewFrameDidChangeNotification"})
        center.addObserver(view, objc::selector("frameDidChanged:"), name, view);
}

void viewDidChangeBackingProperties(id self, SEL)
{
    WindowImplBase* impl = ContentView::implOf(self);
    if (impl == nullptr || !isHighResolution() || impl->getNativeWindow() == nil)
        return;
    ScaleEventData data;
    data.scale = float(objc::send<NSSize>(self, "convertSizeToBacking:", NSMakeSize(1, 1)).width);
    impl->sendEvent(eWindowEvent::BackingScaleChanged, &data, false);
}

void viewCursorUpdate(id self, SEL, id event)
{
    WindowImplBase* impl = ContentView::implOf(self);
    if (impl != nullptr && impl->getCurrentCursor() != nullptr) {
        CursorManager::setSystemCursor(impl->getCurrentCursor());
        return;
    }
    passToSuperclass(self, "cursorUpdate:", event);
}

void viewSetFrameOrigin(id self, SEL, NSPoint origin)
{
    objc::sendSuper<void>(self, superclassOf(), "setFrameOrigin:", origin);
    if (WindowImplBase* impl = ContentView::implOf(self)) {
        EventData none;
        impl->sendEvent(eWindowEvent::Moved, &none, false);
    }
}

BOOL viewIsOpaque(id self, SEL)
{
    WindowImplBase* impl = ContentView::implOf(self);
    return impl != nullptr && !impl->getWindow().hasAlphaBlending() ? YES : NO;
}

// Enter, exit, motion and cursor updates over the visible part of the view,
// while the application is active, also during drags.
void addTrackingArea(id view, double width, double height)
{
    constexpr unsigned long kOptions = 0x647;
    id area = objc::send<id>(objc::NSObject::alloc(objc::ObjectRuntime::lookUpClass("NSTrackingArea")),
                             "initWithRect:options:owner:userInfo:", NSMakeRect(0, 0, width, height), kOptions, view,
                             id(nil));
    if (area == nil)
        return;
    objc::send<void>(view, "addTrackingArea:", area);
    objc::send<void>(area, "release");
}

// The global mouse monitor: presses and releases of the left and right
// buttons and the wheel (the platform's event types 1 to 4 and 22).
constexpr unsigned long long kInterceptedEvents = 0x40001E;
constexpr unsigned long kLeftMouseDown = 1, kLeftMouseUp = 2, kRightMouseDown = 3, kRightMouseUp = 4;

id eventMonitorOf(id view)
{
    return BAS::OBJC::getIvarPtr(view, "pEventMonitor");
}

void removeEventMonitor(id view)
{
    id monitor = eventMonitorOf(view);
    if (monitor == nil)
        return;
    objc::send<void>(objc::ObjectRuntime::lookUpClass("NSEvent"), "removeMonitor:", monitor);
    BAS::OBJC::setIvarPtr(view, "pEventMonitor", nil);
}

// An event of another window of the application is taken by this view at
// (-1, -1) and kept from its own window; the view's own events and those
// arriving after it was detached go their normal way.
id interceptMouse(id view, id event)
{
    WindowImplBase* impl = ContentView::implOf(view);
    if (impl == nullptr || objc::send<id>(event, "window") == objc::send<id>(view, "window"))
        return event;
    BAS::Point const outside{-1, -1};
    unsigned long const type = objc::send<unsigned long>(event, "type");
    int const button = type == kRightMouseDown || type == kRightMouseUp ? eMouseButton::Right : eMouseButton::Left;
    if (type == kLeftMouseDown || type == kRightMouseDown)
        ContentView::handleMouseButtonEventWithPosition(view, event, outside, button, eMouseButtonState::Down);
    else if (type == kLeftMouseUp || type == kRightMouseUp)
        sendButton(impl, outside, modifierFlagsOf(event), button, eMouseButtonState::Up);
    return nil;
}

void viewSetAlwaysInterceptMouse(id self, SEL, BOOL on)
{
    if (on == NO) {
        removeEventMonitor(self);
        return;
    }
    if (eventMonitorOf(self) != nil)
        return;
    std::function<id(id)> const handler = [self](id event) { return interceptMouse(self, event); };
    id monitor = objc::send<id>(objc::ObjectRuntime::lookUpClass("NSEvent"),
                                "addLocalMonitorForEventsMatchingMask:handler:", kInterceptedEvents, &handler);
    BAS::OBJC::setIvarPtr(self, "pEventMonitor", monitor);
}

// Drags coming in: the plain-text and file-list types and this process's
// internal payloads.
void registerDraggedTypes(id view)
{
    const void* types[] = {NSStringPboardType, NSFilenamesPboardType,
                           InternalClipBoardFormat::FormatHandle().getType()};
    CFArrayRef list = CFArrayCreate(nullptr, types, 3, &kCFTypeArrayCallBacks);
    objc::send<void>(view, "registerForDraggedTypes:", list);
    CFRelease(list);
}

// The pasteboard a drag's data is on (a new reference); null when it
// cannot be opened.
PasteboardRef openDraggingPasteboard(id sender)
{
    id pasteboard = objc::send<id>(sender, "draggingPasteboard");
    NSString* name = objc::send<NSString*>(pasteboard, "name");
    PasteboardRef opened = nullptr;
    if (name == nullptr || PasteboardCreate(name, &opened) != noErr)
        return nullptr;
    return opened;
}

unsigned long viewDraggingEntered(id self, SEL, id sender)
{
    return ContentView::handleDragDropEvent(self, sender, true);
}

void viewDraggingExited(id, SEL, id)
{
    DragDropLeavedEventData leave;
    DragDropManager::handleDragLeavedEvent(&leave);
}

BOOL viewPerformDragOperation(id self, SEL, id sender)
{
    return ContentView::handleDragDropEvent(self, sender, false) != 0 ? YES : NO;
}

// What a drag started from this view may do, written by the drag source.
unsigned long viewDraggingSourceOperationMask(id, SEL, BOOL)
{
    return (unsigned long)dragViewData().sourceOperationMask;
}

void viewDraggedImageEnded(id, SEL, id, NSPoint, unsigned long operation)
{
    DragDropManager::handleDragFinishedEvent(DragDropSupport::dropResultFromOperation(operation));
}

BOOL viewIgnoreModifierKeysWhileDragging(id, SEL)
{
    return dragViewData().allowedEffectCount < 2 ? YES : NO;
}

void viewDealloc(id self, SEL)
{
    removeEventMonitor(self);
    platform::NotificationCenter::defaultCenter().removeObserver(self);
    forgetDragViewData(self);
    if (WindowImplBase* impl = ContentView::implOf(self)) {
        // Still attached: the window reports to nobody, and is closed.
        id window = impl->getNativeWindow();
        if (window != nil && objc::send<id>(window, "delegate") == self)
            objc::send<void>(window, "setDelegate:", id(nil));
        WindowNotifications::willClose(impl, [self] { ContentView::detach(self); });
    }
    ContentView::deleteTextInputState(self);
    objc::sendSuper<void>(self, superclassOf(), "dealloc");
}

struct RunTimeClass {
    BAS::OBJC::ClassFactory factory{s_viewClass};

    RunTimeClass()
    {
        if (!factory.generateUniqueClass("CVCocoaView", "NSView"))
            return;
        factory.addMemberVar("pImpl", sizeof(void*), 3, "^v");
        factory.addMemberVar("pEventMonitor", sizeof(void*), 3, "@");
        factory.addMemberVar("pTextInputState", sizeof(void*), 3, "^v");
        factory.addMethod(objc::selector("isFlipped"), objc::toIMP(&viewIsFlipped), "C@:");
        factory.addMethod(objc::selector("dealloc"), objc::toIMP(&viewDealloc), "v@:");
        factory.addMethod(objc::selector("wantsDefaultClipping"), objc::toIMP(&viewWantsDefaultClipping), "C@:");
        for (const char* name : {"acceptsFirstResponder", "becomeFirstResponder", "canBecomeKeyView"})
            factory.addMethod(objc::selector(name), objc::toIMP(&answerYes), "C@:");
        factory.addMethod(objc::selector("acceptsFirstMouse:"), objc::toIMP(&answerYesTo), "C@:@");
        factory.addMethod(objc::selector("isOpaque"), objc::toIMP(&viewIsOpaque), "C@:");
        factory.addMethod(objc::selector("drawRect:"), objc::toIMP(&viewDrawRect),
                          "v@:{CGRect={CGPoint=dd}{CGSize=dd}}");
        factory.addMethod(objc::selector("setFrameSize:"), objc::toIMP(&viewSetFrameSize), "v@:{CGSize=dd}");
        factory.addMethod(objc::selector("setFrameOrigin:"), objc::toIMP(&viewSetFrameOrigin), "v@:{CGPoint=dd}");
        factory.addMethod(objc::selector("frameDidChanged:"), objc::toIMP(&viewFrameDidChange), "v@:@");
        factory.addMethod(objc::selector("viewDidChangeBackingProperties"),
                          objc::toIMP(&viewDidChangeBackingProperties), "v@:");
        factory.addMethod(objc::selector("setAlwaysInterceptMouse:"), objc::toIMP(&viewSetAlwaysInterceptMouse),
                          "v@:C");
        struct Handler {
            const char* name;
            void (*function)(id, SEL, id);
        };
        for (Handler const& h :
             {Handler{"mouseDown:", &viewMouseDown}, Handler{"rightMouseDown:", &viewRightMouseDown},
              Handler{"otherMouseDown:", &viewOtherMouseDown}, Handler{"mouseUp:", &viewMouseUp},
              Handler{"rightMouseUp:", &viewRightMouseUp}, Handler{"otherMouseUp:", &viewOtherMouseUp},
              Handler{"mouseMoved:", &viewMouseMoved}, Handler{"mouseDragged:", &viewMouseDragged},
              Handler{"rightMouseDragged:", &viewMouseDragged}, Handler{"otherMouseDragged:", &viewMouseDragged},
              Handler{"mouseEntered:", &viewMouseEntered}, Handler{"mouseExited:", &viewMouseExited},
              Handler{"scrollWheel:", &viewScrollWheel}})
            factory.addMethod(objc::selector(h.name), objc::toIMP(h.function), "v@:@");
        factory.addMethod(objc::selector("cursorUpdate:"), objc::toIMP(&viewCursorUpdate), "v@:@");
        factory.addMethod(objc::selector("windowShouldClose:"), objc::toIMP(&viewShouldClose), "C@:@");
        factory.addMethod(objc::selector("windowWillClose:"), objc::toIMP(&viewWillClose), "v@:@");
        factory.addMethod(objc::selector("windowDidBecomeMain:"), objc::toIMP(&viewDidBecomeMain), "v@:@");
        factory.addMethod(objc::selector("windowDidResignMain:"), objc::toIMP(&viewDidResignMain), "v@:@");
        factory.addMethod(objc::selector("windowDidBecomeKey:"), objc::toIMP(&viewDidBecomeKey), "v@:@");
        factory.addMethod(objc::selector("windowDidResignKey:"), objc::toIMP(&viewDidResignKey), "v@:@");
        factory.addMethod(objc::selector("windowWillResize:toSize:"), objc::toIMP(&viewWillResize),
                          "{CGSize=dd}@:@{CGSize=dd}");
        addDragMethods();
        ContentView::addKeyboardMethods(factory);
        factory.doRegister();
    }

    void addDragMethods()
    {
        for (const char* name : {"draggingEntered:", "draggingUpdated:"})
            factory.addMethod(objc::selector(name), objc::toIMP(&viewDraggingEntered), "Q@:@");
        factory.addMethod(objc::selector("draggingExited:"), objc::toIMP(&viewDraggingExited), "v@:@");
        factory.addMethod(objc::selector("performDragOperation:"), objc::toIMP(&viewPerformDragOperation), "C@:@");
        factory.addMethod(objc::selector("draggingSourceOperationMaskForLocal:"),
                          objc::toIMP(&viewDraggingSourceOperationMask), "Q@:C");
        factory.addMethod(objc::selector("draggedImage:endedAt:operation:"), objc::toIMP(&viewDraggedImageEnded),
                          "v@:@{CGPoint=dd}Q");
        factory.addMethod(objc::selector("ignoreModifierKeysWhileDragging"),
                          objc::toIMP(&viewIgnoreModifierKeysWhileDragging), "C@:");
    }
};

RunTimeClass& runTimeClass()
{
    static RunTimeClass s_class;
    return s_class;
}

} // namespace

Class ContentView::viewClass()
{
    runTimeClass();
    return s_viewClass;
}

id ContentView::create(WindowImplBase* impl, double width, double height)
{
    if (viewClass() == nullptr)
        return nil;
    id view = objc::send<id>(objc::NSObject::alloc(viewClass()), "initWithFrame:", NSMakeRect(0, 0, width, height));
    if (view == nil)
        return nil;
    BAS::OBJC::setIvarPtr(view, "pImpl", reinterpret_cast<id>(impl));
    createTextInputState(view);
    DragDropManager::s_pfnGetDragViewData = &provideDragViewData;
    registerDraggedTypes(view);
    addTrackingArea(view, width, height);
    observeOwnFrame(view);
    return view;
}

bool ContentView::handleMouseButtonEventWithPosition(id view, id event, BAS::Point position, int button, int state)
{
    WindowImplBase* impl = implOf(view);
    if (impl == nullptr)
        return false;
    if (state == eMouseButtonState::Down) {
        if (button == impl->getLastMouseButtonDown())
            state = objc::send<long>(event, "clickCount") % 2 == 1 ? eMouseButtonState::Down
                                                                   : eMouseButtonState::DoubleClick;
        impl->setLastMouseButtonDown(button);
    }
    return sendButton(impl, position, modifierFlagsOf(event), button, state);
}

bool ContentView::handleMouseDragEvent(id view, id event)
{
    return handleMotion(view, event, eMouseEvent::MouseDrag);
}

WindowImplBase* ContentView::implOf(id view)
{
    return reinterpret_cast<WindowImplBase*>(BAS::OBJC::getIvarPtr(view, "pImpl"));
}

void ContentView::detach(id view)
{
    BAS::OBJC::setIvarPtr(view, "pImpl", nil);
    removeEventMonitor(view);
}

unsigned long ContentView::handleDragDropEvent(id view, id sender, bool request)
{
    WindowImplBase* impl = implOf(view);
    if (impl == nullptr)
        return 0;
    NSPoint const inWindow = objc::send<NSPoint>(sender, "draggingLocation");
    BAS::Point const position = toInt(objc::send<NSPoint>(view, "convertPoint:fromView:", inWindow, id(nil)));
    PasteboardRef pasteboard = openDraggingPasteboard(sender);
    if (pasteboard == nullptr)
        return 0;
    ExchangeData exchange(pasteboard);
    CFRelease(pasteboard);
    if (request) {
        DragDropRequestEventData data;
        data.position = position;
        data.modifiers = InputState::getSyncModifierKeys();
        data.data = &exchange;
        data.allowedEffects = uint32_t(DragDropSupport::effectsFromOperationMask(
            objc::send<unsigned long>(sender, "draggingSourceOperationMask")));
        WindowBase* window = &impl->getWindow();
        if (!DragDropManager::handleDragRequestEvent(window, &data, window))
            return 0;
        return DragDropSupport::operationFromEffect(data.dropEffect);
    }
    DragDropReceiveEventData data;
    data.position = position;
    data.modifiers = InputState::getSyncModifierKeys();
    data.data = &exchange;
    if (!DragDropManager::handleDragReceiveEvent(&data))
        return 0;
    return DragDropSupport::operationFromEffect(data.dropEffect);
}

} // namespace COCOA
} // namespace FEN
} // namespace CV
