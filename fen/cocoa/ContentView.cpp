#include "FEN/COCOA/ContentView.h"

#include "BAS/ClassFactory.h"
#include "BAS/ObjCIvar.h"
#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/COCOA/WindowNotifications.h"
#include "FEN/Application.h"
#include "FEN/WindowBase.h"
#include "FEN/DETAIL/Keys.h"
#include "FEN/DeviceContext.h"
#include "FEN/DragDropManager.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"

#include <cmath>

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

// The platform's Control modifier flag.
constexpr uint64_t kControlFlag = 1u << 18;

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
    if (button == eMouseButton::Left && (flags & kControlFlag)) {
        button = eMouseButton::Right;
        flags &= ~kControlFlag;
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
    if (impl != nullptr && sendButton(impl, toInt(locationInView(self, event)),
                                      button == eMouseButton::Right ? flags & ~kControlFlag : flags, button,
                                      eMouseButtonState::Up))
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
    struct Axis { const char* selector; int32_t axis; };
    for (Axis const& a : {Axis{"deltaX", 0}, Axis{"deltaY", 1}}) {
        double const delta = objc::send<double>(event, a.selector);
        if (delta == 0.0)
            continue;
        wheel.delta = int32_t(std::trunc(delta));
        wheel.axis = a.axis;
        impl->sendEvent(eMouseEvent::MouseWheel, &wheel, false);
    }
}

void viewDrawRect(id self, SEL, NSRect)
{
    WindowImplBase* impl = ContentView::implOf(self);
    if (impl == nullptr)
        return;
    id context = objc::send<id>(objc::ObjectRuntime::lookUpClass("NSGraphicsContext"), "currentContext");
    if (context == nil)
        return;
    DeviceContext* dc = impl->attachDCTo(objc::send<void*>(context, "CGContext"));
    float const scale = isHighResolution() ? impl->getBackingScaleFactor() : 1.0f;
    dc->setBackingScaleFactor(scale, scale);
    PaintEventData paint;
    paint.dc = dc;
    impl->sendEvent(eWindowEvent::Paint, &paint, false);
    impl->detachDC();
}

void viewSetFrameSize(id self, SEL, NSSize size)
{
    objc::sendSuper<void>(self, superclassOf(), "setFrameSize:", size);
    if (WindowImplBase* impl = ContentView::implOf(self)) {
        SizeEventData data;
        impl->sendEvent(eWindowEvent::SizeChanged, &data, false);
    }
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
                             "initWithRect:options:owner:userInfo:", NSMakeRect(0, 0, width, height), kOptions,
                             view, id(nil));
    if (area == nil)
        return;
    objc::send<void>(view, "addTrackingArea:", area);
    objc::send<void>(area, "release");
}

void viewDealloc(id self, SEL)
{
    forgetDragViewData(self);
    objc::sendSuper<void>(self, superclassOf(), "dealloc");
}

struct RunTimeClass {
    BAS::OBJC::ClassFactory factory{s_viewClass};

    RunTimeClass()
    {
        if (!factory.generateUniqueClass("CVCocoaView", "NSView"))
            return;
        factory.addMemberVar("pImpl", sizeof(void*), 3, "^v");
        factory.addMethod(objc::selector("isFlipped"), objc::toIMP(&viewIsFlipped), "C@:");
        factory.addMethod(objc::selector("dealloc"), objc::toIMP(&viewDealloc), "v@:");
        for (const char* name : {"wantsDefaultClipping", "acceptsFirstResponder", "becomeFirstResponder",
                                 "canBecomeKeyView"})
            factory.addMethod(objc::selector(name), objc::toIMP(&answerYes), "C@:");
        factory.addMethod(objc::selector("acceptsFirstMouse:"), objc::toIMP(&answerYesTo), "C@:@");
        factory.addMethod(objc::selector("isOpaque"), objc::toIMP(&viewIsOpaque), "C@:");
        factory.addMethod(objc::selector("drawRect:"), objc::toIMP(&viewDrawRect), "v@:{CGRect={CGPoint=dd}{CGSize=dd}}");
        factory.addMethod(objc::selector("setFrameSize:"), objc::toIMP(&viewSetFrameSize), "v@:{CGSize=dd}");
        factory.addMethod(objc::selector("setFrameOrigin:"), objc::toIMP(&viewSetFrameOrigin), "v@:{CGPoint=dd}");
        struct Handler { const char* name; void (*function)(id, SEL, id); };
        for (Handler const& h : {Handler{"mouseDown:", &viewMouseDown}, Handler{"rightMouseDown:", &viewRightMouseDown},
                                 Handler{"otherMouseDown:", &viewOtherMouseDown}, Handler{"mouseUp:", &viewMouseUp},
                                 Handler{"rightMouseUp:", &viewRightMouseUp}, Handler{"otherMouseUp:", &viewOtherMouseUp},
                                 Handler{"mouseMoved:", &viewMouseMoved}, Handler{"mouseDragged:", &viewMouseDragged},
                                 Handler{"rightMouseDragged:", &viewMouseDragged},
                                 Handler{"otherMouseDragged:", &viewMouseDragged},
                                 Handler{"mouseEntered:", &viewMouseEntered}, Handler{"mouseExited:", &viewMouseExited},
                                 Handler{"scrollWheel:", &viewScrollWheel}})
            factory.addMethod(objc::selector(h.name), objc::toIMP(h.function), "v@:@");
        factory.addMethod(objc::selector("windowShouldClose:"), objc::toIMP(&viewShouldClose), "C@:@");
        factory.addMethod(objc::selector("windowWillClose:"), objc::toIMP(&viewWillClose), "v@:@");
        factory.addMethod(objc::selector("windowDidBecomeMain:"), objc::toIMP(&viewDidBecomeMain), "v@:@");
        factory.addMethod(objc::selector("windowDidResignMain:"), objc::toIMP(&viewDidResignMain), "v@:@");
        factory.addMethod(objc::selector("windowDidBecomeKey:"), objc::toIMP(&viewDidBecomeKey), "v@:@");
        factory.addMethod(objc::selector("windowDidResignKey:"), objc::toIMP(&viewDidResignKey), "v@:@");
        factory.addMethod(objc::selector("windowWillResize:toSize:"), objc::toIMP(&viewWillResize),
                          "{CGSize=dd}@:@{CGSize=dd}");
        factory.doRegister();
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
    DragDropManager::s_pfnGetDragViewData = &provideDragViewData;
    addTrackingArea(view, width, height);
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
}

} // namespace COCOA
} // namespace FEN
} // namespace CV
