#include "platform/appkit/NSApplication.h"

#include "platform/notifications/Notification.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"
#include "platform/runloop/MainLoop.h"

#include <cstdlib>
#include <string>

id NSApp = nil;

namespace platform::appkit {

namespace {

using objc::ivar;
using objc::NSObject;

bool s_terminating = false;

std::function<void(int)>& processExit()
{
    static std::function<void(int)> s_exit = [](int status) { std::exit(status); };
    return s_exit;
}

// Sends selector to the delegate when it answers it, with a notification
// named after the event.
void tellDelegate(id self, const char* selectorName, const char* notificationName)
{
    id delegate = ivar<id>(self, "_delegate");
    if (delegate == nil || !objc::respondsTo(delegate, objc::selector(selectorName)))
        return;
    id notification = Notification::create(notificationName, self, nullptr);
    objc::send<void>(delegate, selectorName, notification);
    NSObject::release(notification);
}

id sharedApplication(id cls, SEL)
{
    if (NSApp == nil)
        NSApp = NSObject::allocInit(reinterpret_cast<Class>(cls));
    return NSApp;
}

void setDelegate(id self, SEL, id delegate)
{
    ivar<id>(self, "_delegate") = delegate;
}

id delegateOf(id self, SEL)
{
    return ivar<id>(self, "_delegate");
}

void terminate(id self, SEL, id)
{
    if (s_terminating)
        return;
    id delegate = ivar<id>(self, "_delegate");
    if (delegate != nil && objc::respondsTo(delegate, objc::selector("applicationShouldTerminate:"))) {
        if (objc::send<unsigned long>(delegate, "applicationShouldTerminate:", self) != NSTerminateNow)
            return;
    }
    s_terminating = true;
    tellDelegate(self, "applicationWillTerminate:", "NSApplicationWillTerminateNotification");
    processExit()(0);
}

void run(id self, SEL)
{
    if (ivar<BOOL>(self, "_running"))
        return;
    ivar<BOOL>(self, "_running") = YES;
    if (!ivar<BOOL>(self, "_launched")) {
        ivar<BOOL>(self, "_launched") = YES;
        tellDelegate(self, "applicationWillFinishLaunching:", "NSApplicationWillFinishLaunchingNotification");
        tellDelegate(self, "applicationDidFinishLaunching:", "NSApplicationDidFinishLaunchingNotification");
    }
    if (!s_terminating && ivar<BOOL>(self, "_running"))
        MainLoop::instance().run();
    ivar<BOOL>(self, "_running") = NO;
}

void stop(id self, SEL, id)
{
    if (ivar<BOOL>(self, "_running"))
        MainLoop::instance().quit();
    ivar<BOOL>(self, "_running") = NO;
}

BOOL isRunning(id self, SEL)
{
    return ivar<BOOL>(self, "_running");
}

void setMainMenu(id self, SEL, id menu)
{
    id old = ivar<id>(self, "_mainMenu");
    ivar<id>(self, "_mainMenu") = NSObject::retain(menu);
    NSObject::release(old);
}

id mainMenu(id self, SEL)
{
    return ivar<id>(self, "_mainMenu");
}

id keyWindow(id self, SEL)
{
    return ivar<id>(self, "_keyWindow");
}

void sendEvent(id, SEL, id) {}

Class registerApplicationClass()
{
    return objc::StandInClass("NSApplication", "NSObject")
        .ivar<id>("_delegate")
        .ivar<id>("_mainMenu")
        .ivar<id>("_keyWindow")
        .ivar<BOOL>("_running")
        .ivar<BOOL>("_launched")
        .classMethod("sharedApplication", &sharedApplication)
        .method("setDelegate:", &setDelegate)
        .method("delegate", &delegateOf)
        .method("run", &run)
        .method("stop:", &stop)
        .method("terminate:", &terminate)
        .method("isRunning", &isRunning)
        .method("setMainMenu:", &setMainMenu)
        .method("mainMenu", &mainMenu)
        .method("keyWindow", &keyWindow)
        .method("sendEvent:", &sendEvent)
        .registerClass();
}

id standardUserDefaults(id cls, SEL)
{
    static id s_defaults = NSObject::allocInit(reinterpret_cast<Class>(cls));
    return s_defaults;
}

void registerDefaults(id, SEL, const void*) {}

Class registerUserDefaultsClass()
{
    return objc::StandInClass("NSUserDefaults", "NSObject")
        .classMethod("standardUserDefaults", &standardUserDefaults)
        .method("registerDefaults:", &registerDefaults)
        .registerClass();
}

// Registered before the ordinary static initialisers, so classes made
// from them at run time find their superclass.
__attribute__((constructor(102))) void registerEarly()
{
    NSApplicationClass();
    NSApplication::userDefaultsClass();
}

} // namespace

Class NSApplicationClass()
{
    static Class s_class = registerApplicationClass();
    return s_class;
}

Class NSApplication::userDefaultsClass()
{
    static Class s_class = registerUserDefaultsClass();
    return s_class;
}

void NSApplication::setProcessExit(std::function<void(int)> exitFunction)
{
    processExit() = exitFunction ? std::move(exitFunction) : [](int status) { std::exit(status); };
}

void NSApplication::resetForTesting()
{
    if (NSApp != nil) {
        setMainMenu(NSApp, nullptr, nil);
        NSObject::release(NSApp);
    }
    NSApp = nil;
    s_terminating = false;
}

} // namespace platform::appkit
