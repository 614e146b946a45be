#include "FEN/COCOA/EventTimerManagerMacosBridge.h"

#include "BAS/ClassFactory.h"
#include "BAS/ObjCIvar.h"
#include "platform/appkit/NSTimer.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

namespace CV {
namespace FEN {
namespace COCOA {

namespace {

namespace objc = platform::objc;

objc_class* s_timerCallbackClass = nullptr;

EventTimerManagerMacosBridge* bridgeOf(id self)
{
    return reinterpret_cast<EventTimerManagerMacosBridge*>(BAS::OBJC::getIvarPtr(self, "bridge"));
}

// A one-shot platform timer in every run-loop mode with self as target.
id scheduleTimer(id self)
{
    const double seconds = BAS::OBJC::getIvarFloat(self, "interval");
    id timer = objc::send<id>(platform::appkit::NSTimer::timerClass(),
                              "timerWithTimeInterval:target:selector:userInfo:repeats:", double(seconds), self,
                              objc::selector("onTimer:"), id(nil), BOOL(NO));
    id runLoop = objc::send<id>(platform::appkit::NSTimer::runLoopClass(), "currentRunLoop");
    objc::send<void>(runLoop, "addTimer:forMode:", timer, NSRunLoopCommonModes);
    BAS::OBJC::setIvarPtr(self, "timer", timer);
    return timer;
}

void invalidateTimer(id self)
{
    if (id timer = BAS::OBJC::getIvarPtr(self, "timer")) {
        objc::send<void>(timer, "invalidate");
        BAS::OBJC::setIvarPtr(self, "timer", nil);
    }
}

id initWithBridge(id self, SEL, id bridge, id periodMs)
{
    self = objc::sendSuper<id>(self, s_timerCallbackClass, objc::selector("init"));
    if (self == nil)
        return nil;
    const auto period = *reinterpret_cast<const std::chrono::milliseconds*>(periodMs);
    BAS::OBJC::setIvarPtr(self, "bridge", bridge);
    BAS::OBJC::setIvarFloat(self, "interval", float(period.count()) / 1000.0f);
    scheduleTimer(self);
    return self;
}

void detach(id self, SEL)
{
    invalidateTimer(self);
    BAS::OBJC::setIvarPtr(self, "bridge", nil);
}

void onTimer(id self, SEL, id)
{
    if (bridgeOf(self) == nullptr)
        return;
    invalidateTimer(self);
    scheduleTimer(self);
    // A subscriber may end the last subscription, which releases this
    // object: keep it for the call.
    objc::NSObject::retain(self);
    if (EventTimerManagerMacosBridge* bridge = bridgeOf(self))
        bridge->notifySubscribers();
    objc::NSObject::release(self);
}

struct RunTimeClass {
    BAS::OBJC::ClassFactory factory{s_timerCallbackClass};

    RunTimeClass()
    {
        objc::NSObject::rootClass();
        if (!factory.generateUniqueClass("ComCalvarineCocoaNSTimerCallback", "NSObject"))
            return;
        factory.addMemberVar("bridge", sizeof(void*), 3, "^v");
        factory.addMemberVar("timer", sizeof(void*), 3, "^v");
        factory.addMemberVar("interval", sizeof(float), 2, "f");
        factory.addMethod(objc::selector("initWithEventTimerManagerMacosBridge:"), objc::toIMP(&initWithBridge),
                          "@@:^v^v");
        factory.addMethod(objc::selector("detach"), objc::toIMP(&detach), "v@:");
        factory.addMethod(objc::selector("onTimer:"), objc::toIMP(&onTimer), "v@:@");
        factory.doRegister();
    }
};

RunTimeClass& runTimeClass()
{
    static RunTimeClass s_class;
    return s_class;
}

const bool s_registered = (runTimeClass(), true);

} // namespace

EventTimerManagerMacosBridge::EventTimerManagerMacosBridge(EventTimerManager& manager)
    : AbstractEventTimerManagerOsBridge(manager)
{
}

EventTimerManagerMacosBridge::~EventTimerManagerMacosBridge()
{
    deinstall();
}

Class EventTimerManagerMacosBridge::timerCallbackClass()
{
    runTimeClass();
    return s_timerCallbackClass;
}

void EventTimerManagerMacosBridge::install(std::chrono::milliseconds period)
{
    if (m_timerObject != nil || timerCallbackClass() == nullptr)
        return;
    id object = objc::NSObject::alloc(timerCallbackClass());
    m_timerObject = objc::send<id>(
        object, "performSelector:withObject:withObject:", objc::selector("initWithEventTimerManagerMacosBridge:"),
        reinterpret_cast<id>(this), reinterpret_cast<id>(&period));
}

void EventTimerManagerMacosBridge::deinstall()
{
    if (m_timerObject == nil)
        return;
    objc::send<void>(m_timerObject, "detach");
    objc::NSObject::release(m_timerObject);
    m_timerObject = nil;
}

} // namespace COCOA
} // namespace FEN
} // namespace CV
