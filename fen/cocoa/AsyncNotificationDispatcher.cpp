#include "FEN/COCOA/AsyncNotificationDispatcher.h"

#include "BAS/ClassFactory.h"
#include "BAS/ObjCIvar.h"
#include "FEN/AsyncEventTargetImpl.h"
#include "platform/notifications/Notification.h"
#include "platform/notifications/NotificationCenter.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/runloop/MainLoop.h"

#include <atomic>

namespace CV {
namespace FEN {
namespace COCOA {

namespace {

namespace objc = platform::objc;

objc_class* s_notificationClass = nullptr;
objc_class* s_dispatcherClass = nullptr;

// Main thread only (start and stop); the flag is read on any thread.
std::atomic<bool> s_started{false};
id s_dispatcher = nil;
std::string s_notificationName;

id initWithCodeAndDest(id self, SEL, uint32_t code, uint32_t dest)
{
    BAS::OBJC::setIvarUInt32(self, "theCode", code);
    BAS::OBJC::setIvarUInt32(self, "theDest", dest);
    return objc::sendSuper<id>(self, s_notificationClass, objc::selector("init"));
}

void dispatchEventMethod(id, SEL, id object)
{
    if (object == nil)
        return;
    if (s_started.load())
        AsyncEventTargetImpl::dispatchEvent(BAS::OBJC::getIvarUInt32(object, "theCode"),
                                            BAS::OBJC::getIvarUInt32(object, "theDest"));
    // The receiver's share, handed over by the poster.
    objc::NSObject::release(object);
}

void receiveEvent(id self, SEL, id notification)
{
    id object = platform::Notification::object(notification);
    if (object == nil)
        return;
    if (!s_started.load()) {
        objc::NSObject::release(object);
        return;
    }
    if (platform::MainLoop::isMainThread())
        dispatchEventMethod(self, objc::selector("dispatchEvent:"), object);
    else
        objc::send<void>(self,
                         "performSelectorOnMainThread:withObject:waitUntilDone:", objc::selector("dispatchEvent:"),
                         object, BOOL(NO));
}

struct RunTimeClasses {
    BAS::OBJC::ClassFactory notification{s_notificationClass};
    BAS::OBJC::ClassFactory dispatcher{s_dispatcherClass};

    RunTimeClasses()
    {
        objc::NSObject::rootClass();
        if (notification.generateUniqueClass("ComCalvarineAsyncNotification", "NSObject")) {
            notification.addMemberVar("theCode", sizeof(uint32_t), 2, "I");
            notification.addMemberVar("theDest", sizeof(uint32_t), 2, "I");
            notification.addMethod(objc::selector("initWithCode:andDest:"), objc::toIMP(&initWithCodeAndDest), "@@:II");
            notification.doRegister();
        }
        if (dispatcher.generateUniqueClass("ComCalvarineAsyncNotificationDispatcher", "NSObject")) {
            dispatcher.addMethod(objc::selector("receiveEvent:"), objc::toIMP(&receiveEvent), "v@:@");
            dispatcher.addMethod(objc::selector("dispatchEvent:"), objc::toIMP(&dispatchEventMethod), "v@:@");
            dispatcher.doRegister();
        }
    }
};

RunTimeClasses& runTimeClasses()
{
    static RunTimeClasses s_classes;
    return s_classes;
}

// Registered at static initialisation.
const bool s_registered = (runTimeClasses(), true);

} // namespace

void AsyncNotificationDispatcher::start()
{
    if (s_started.load() || dispatcherClass() == nullptr)
        return;
    s_dispatcher = objc::NSObject::allocInit(dispatcherClass());
    s_notificationName = notificationName();
    s_started.store(true);
    platform::NotificationCenter::defaultCenter().addObserver(s_dispatcher, objc::selector("receiveEvent:"),
                                                              s_notificationName, nil);
}

void AsyncNotificationDispatcher::stop()
{
    if (!s_started.exchange(false))
        return;
    platform::NotificationCenter::defaultCenter().removeObserver(s_dispatcher);
    objc::NSObject::release(s_dispatcher);
    s_dispatcher = nil;
    s_notificationName.clear();
}

bool AsyncNotificationDispatcher::isStarted()
{
    return s_started.load();
}

Class AsyncNotificationDispatcher::notificationClass()
{
    runTimeClasses();
    return s_notificationClass;
}

Class AsyncNotificationDispatcher::dispatcherClass()
{
    runTimeClasses();
    return s_dispatcherClass;
}

std::string AsyncNotificationDispatcher::notificationName()
{
    Class cls = dispatcherClass();
    return cls != nullptr ? std::string(class_getName(cls)) + "Notification" : std::string();
}

} // namespace COCOA
} // namespace FEN
} // namespace CV
