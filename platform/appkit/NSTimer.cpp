#include "platform/appkit/NSTimer.h"

#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"
#include "platform/runloop/MainLoop.h"

#include <chrono>
#include <cmath>

const CFStringRef NSDefaultRunLoopMode = platform::cf::String::createFromUTF8("kCFRunLoopDefaultMode");
const CFStringRef NSRunLoopCommonModes = platform::cf::String::createFromUTF8("kCFRunLoopCommonModes");
const CFStringRef NSModalPanelRunLoopMode = platform::cf::String::createFromUTF8("NSModalPanelRunLoopMode");
const CFStringRef NSEventTrackingRunLoopMode = platform::cf::String::createFromUTF8("NSEventTrackingRunLoopMode");

namespace platform::appkit {

namespace {

using objc::ivar;
using objc::NSObject;

id makeTimer(double seconds, id target, SEL action, id userInfo, BOOL repeats)
{
    id timer = NSObject::allocInit(NSTimer::timerClass());
    ivar<double>(timer, "_interval") = seconds;
    ivar<id>(timer, "_target") = NSObject::retain(target);
    ivar<SEL>(timer, "_selector") = action;
    ivar<id>(timer, "_userInfo") = NSObject::retain(userInfo);
    ivar<BOOL>(timer, "_repeats") = repeats;
    ivar<BOOL>(timer, "_valid") = YES;
    return timer;
}

id timerWith(id, SEL, double seconds, id target, SEL action, id userInfo, BOOL repeats)
{
    return NSObject::autorelease(makeTimer(seconds, target, action, userInfo, repeats));
}

void addTimerForMode(id self, SEL, id timer, CFStringRef mode);

id scheduledTimerWith(id, SEL, double seconds, id target, SEL action, id userInfo, BOOL repeats)
{
    id timer = timerWith(nil, nullptr, seconds, target, action, userInfo, repeats);
    addTimerForMode(objc::send<id>(NSTimer::runLoopClass(), "mainRunLoop"), nullptr, timer, NSDefaultRunLoopMode);
    return timer;
}

void invalidate(id self, SEL)
{
    if (!ivar<BOOL>(self, "_valid"))
        return;
    ivar<BOOL>(self, "_valid") = NO;
    const MainLoop::TimerId scheduled = ivar<MainLoop::TimerId>(self, "_scheduled");
    ivar<MainLoop::TimerId>(self, "_scheduled") = 0;
    id target = ivar<id>(self, "_target");
    id userInfo = ivar<id>(self, "_userInfo");
    ivar<id>(self, "_target") = nil;
    ivar<id>(self, "_userInfo") = nil;
    NSObject::release(target);
    NSObject::release(userInfo);
    if (scheduled != 0) {
        MainLoop::instance().cancelTimer(scheduled);
        NSObject::release(self); // the run loop's reference
    }
}

BOOL isValid(id self, SEL)
{
    return ivar<BOOL>(self, "_valid");
}

void fire(id self, SEL)
{
    if (!ivar<BOOL>(self, "_valid"))
        return;
    NSObject::retain(self);
    objc::send<void>(ivar<id>(self, "_target"), ivar<SEL>(self, "_selector"), self);
    if (!ivar<BOOL>(self, "_repeats"))
        invalidate(self, nullptr);
    NSObject::release(self);
}

double timeInterval(id self, SEL)
{
    return ivar<double>(self, "_interval");
}

id userInfoOf(id self, SEL)
{
    return ivar<id>(self, "_userInfo");
}

void deallocTimer(id self, SEL sel)
{
    invalidate(self, nullptr);
    objc::sendSuper<void>(self, NSTimer::timerClass(), sel);
}

id mainRunLoop(id, SEL)
{
    static id s_loop = NSObject::allocInit(NSTimer::runLoopClass());
    return s_loop;
}

void addTimerForMode(id, SEL, id timer, CFStringRef mode)
{
    if (timer == nil || !ivar<BOOL>(timer, "_valid") || ivar<MainLoop::TimerId>(timer, "_scheduled") != 0)
        return;
    const double seconds = std::max(ivar<double>(timer, "_interval"), 0.0);
    const auto interval = std::chrono::nanoseconds(std::llround(seconds * 1e9));
    NSObject::retain(timer);
    ivar<MainLoop::TimerId>(timer, "_scheduled") = MainLoop::instance().addTimer(
        interval, ivar<BOOL>(timer, "_repeats") != NO, [timer] { fire(timer, nullptr); }, NSTimer::modesNamed(mode));
}

CFStringRef currentMode(id, SEL)
{
    switch (MainLoop::instance().currentMode()) {
    case RunLoopMode::ModalPanel: return NSModalPanelRunLoopMode;
    case RunLoopMode::EventTracking: return NSEventTrackingRunLoopMode;
    default: return NSDefaultRunLoopMode;
    }
}

Class registerTimerClass()
{
    return objc::StandInClass("NSTimer", "NSObject")
        .ivar<double>("_interval")
        .ivar<id>("_target")
        .ivar<SEL>("_selector")
        .ivar<id>("_userInfo")
        .ivar<BOOL>("_repeats")
        .ivar<BOOL>("_valid")
        .ivar<MainLoop::TimerId>("_scheduled")
        .classMethod("timerWithTimeInterval:target:selector:userInfo:repeats:", &timerWith)
        .classMethod("scheduledTimerWithTimeInterval:target:selector:userInfo:repeats:", &scheduledTimerWith)
        .method("invalidate", &invalidate)
        .method("isValid", &isValid)
        .method("fire", &fire)
        .method("timeInterval", &timeInterval)
        .method("userInfo", &userInfoOf)
        .method("dealloc", &deallocTimer)
        .registerClass();
}

Class registerRunLoopClass()
{
    return objc::StandInClass("NSRunLoop", "NSObject")
        .classMethod("mainRunLoop", &mainRunLoop)
        .classMethod("currentRunLoop", &mainRunLoop)
        .method("addTimer:forMode:", &addTimerForMode)
        .method("currentMode", &currentMode)
        .registerClass();
}

bool sameName(CFStringRef a, CFStringRef b)
{
    return a != nullptr && b != nullptr && CFEqual(a, b);
}

} // namespace

Class NSTimer::timerClass()
{
    static Class s_class = registerTimerClass();
    return s_class;
}

Class NSTimer::runLoopClass()
{
    static Class s_class = registerRunLoopClass();
    return s_class;
}

RunLoopModes NSTimer::modesNamed(CFStringRef name)
{
    if (sameName(name, NSRunLoopCommonModes))
        return RunLoopModes::all();
    if (sameName(name, NSModalPanelRunLoopMode))
        return RunLoopMode::ModalPanel;
    if (sameName(name, NSEventTrackingRunLoopMode))
        return RunLoopMode::EventTracking;
    return RunLoopMode::Default;
}

} // namespace platform::appkit
