#include "platform/appkit/NSApplication.h"
#include "platform/keyboard/ModifierFlags.h"

#include "platform/appkit/MenuBarBridge.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSMenu.h"
#include "platform/appkit/NSResponder.h"
#include "platform/appkit/NSWindow.h"
#include "platform/backend/Backend.h"
#include "platform/cf/CFString.h"
#include "platform/notifications/Notification.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"
#include "platform/peer/InputEvents.h"
#include "platform/runloop/MainLoop.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

id NSApp = nil;

namespace platform::appkit {

namespace {

using objc::ivar;
using objc::NSObject;

bool s_terminating = false;
// Whether one of the application's windows has the keyboard focus, as last
// told to the delegate, and whether a look at it waits for the idle loop.
bool s_active = false;
bool s_activationCheckPending = false;

// The documents named on the command line, not yet handed to the delegate.
std::vector<std::string>& documentsToOpen()
{
    static std::vector<std::string> s_documents;
    return s_documents;
}

struct ModalSession {
    id window;
    bool stopped = false;
    long code = NSModalResponseStop;
};

std::vector<ModalSession*>& modalSessions()
{
    static std::vector<ModalSession*> s_sessions;
    return s_sessions;
}

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
    if (NSApp == nil) {
        NSApp = NSObject::allocInit(reinterpret_cast<Class>(cls));
        setDefaultActionTarget(NSApp);
    }
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

// Hands each document of the command line to the delegate once, as an
// absolute path.
void openDocuments(id self)
{
    std::vector<std::string> documents;
    documents.swap(documentsToOpen());
    id delegate = ivar<id>(self, "_delegate");
    if (delegate == nil || !objc::respondsTo(delegate, objc::selector("application:openFile:")))
        return;
    for (const std::string& document : documents) {
        std::error_code error;
        const std::filesystem::path path = std::filesystem::absolute(document, error);
        CFStringRef text =
            CFStringCreateWithCString(nullptr, (error ? document : path.string()).c_str(), kCFStringEncodingUTF8);
        if (text == nullptr)
            continue;
        objc::send<BOOL>(delegate, "application:openFile:", self, text);
        CFRelease(text);
    }
}

id windowWhere(const char* question)
{
    for (id window : allWindows())
        if (objc::send<BOOL>(window, question))
            return window;
    return nil;
}

id firstKeyCapableWindowWhere(const char* question)
{
    for (id window : allWindows())
        if (objc::send<BOOL>(window, question) && objc::send<BOOL>(window, "canBecomeKeyWindow"))
            return window;
    return nil;
}

// Whether an activation may restore a minimised window.
enum class Minimised { Stay, Restore };

// The window that takes the focus when the application is activated: the
// key window, else the first shown window that can become key, else (when
// minimised ones may be restored) the first minimised one.
id windowToActivate(Minimised minimised)
{
    if (id key = windowWhere("isKeyWindow"))
        return key;
    if (id shown = firstKeyCapableWindowWhere("isVisible"))
        return shown;
    return minimised == Minimised::Restore ? firstKeyCapableWindowWhere("isMiniaturized") : nil;
}

void activateWindow(const std::string& startupId, Minimised minimised = Minimised::Stay)
{
    if (s_terminating)
        return;
    id window = windowToActivate(minimised);
    if (peer::WindowPeer* peer = window != nil ? windowPeer(window) : nullptr)
        peer->activate(startupId);
}

// The launch by the user activates the application: unless one of its
// windows took the focus already, the front one is made key.
void activateAtLaunch()
{
    if (s_terminating || windowWhere("isKeyWindow") != nil)
        return;
    activateWindow(Backend::current().takeLaunchStartupId());
}

void run(id self, SEL)
{
    if (ivar<BOOL>(self, "_running"))
        return;
    ivar<BOOL>(self, "_running") = YES;
    if (!ivar<BOOL>(self, "_launched")) {
        ivar<BOOL>(self, "_launched") = YES;
        tellDelegate(self, "applicationWillFinishLaunching:", "NSApplicationWillFinishLaunchingNotification");
        openDocuments(self);
        tellDelegate(self, "applicationDidFinishLaunching:", "NSApplicationDidFinishLaunchingNotification");
        activateAtLaunch();
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
    installMenuBar(menu);
}

id mainMenu(id self, SEL)
{
    return ivar<id>(self, "_mainMenu");
}

id keyWindow(id, SEL)
{
    return windowWhere("isKeyWindow");
}

id mainWindow(id, SEL)
{
    return windowWhere("isMainWindow");
}

bool acceptsDuringModal(id window)
{
    const std::vector<ModalSession*>& modal = modalSessions();
    if (modal.empty() || window == nil || window == modal.back()->window)
        return true;
    return objc::send<BOOL>(window, "isKindOfClass:", NSPanelClass()) && objc::send<BOOL>(window, "worksWhenModal");
}

bool offerKeyEquivalent(id self, id event, const EventRecord& record)
{
    if (record.type != NSEventTypeKeyDown ||
        !(record.modifierFlags & (keyboard::kModifierCommand | keyboard::kModifierControl)))
        return false;
    if (record.window && objc::send<BOOL>(record.window, "performKeyEquivalent:", event))
        return true;
    id menu = ivar<id>(self, "_mainMenu");
    return menu && objc::send<BOOL>(menu, "performKeyEquivalent:", event);
}

void sendEvent(id self, SEL, id event)
{
    if (s_terminating)
        return;
    event = runLocalMonitors(event);
    if (event == nil)
        return;
    const EventRecord& record = eventRecord(event);
    if (!acceptsDuringModal(record.window))
        return;
    id previous = ivar<id>(self, "_currentEvent");
    ivar<id>(self, "_currentEvent") = event;
    if (!offerKeyEquivalent(self, event, record) && record.window)
        objc::send<void>(record.window, "sendEvent:", event);
    ivar<id>(self, "_currentEvent") = previous;
}

id currentEvent(id self, SEL)
{
    return ivar<id>(self, "_currentEvent");
}

long runModalForWindow(id, SEL, id window)
{
    ModalSession session{window};
    modalSessions().push_back(&session);
    objc::send<void>(window, "makeKeyAndOrderFront:", id(nil));
    while (!session.stopped)
        MainLoop::instance().runUntil([&] { return session.stopped; }, std::chrono::hours(24), RunLoopMode::ModalPanel);
    modalSessions().pop_back();
    return session.code;
}

void stopModalWithCode(id, SEL, long code)
{
    if (modalSessions().empty())
        return;
    modalSessions().back()->stopped = true;
    modalSessions().back()->code = code;
}

void stopModal(id self, SEL)
{
    stopModalWithCode(self, nullptr, NSModalResponseStop);
}
void abortModal(id self, SEL)
{
    stopModalWithCode(self, nullptr, NSModalResponseAbort);
}
id modalWindow(id, SEL)
{
    return modalSessions().empty() ? nil : modalSessions().back()->window;
}

void hide(id self, SEL, id)
{
    ivar<BOOL>(self, "_hidden") = YES;
    for (id window : allWindows())
        objc::send<void>(window, "orderOut:", id(nil));
}

void unhide(id self, SEL, id)
{
    ivar<BOOL>(self, "_hidden") = NO;
    for (id window : allWindows())
        objc::send<void>(window, "orderFront:", id(nil));
}

BOOL isHidden(id self, SEL)
{
    return ivar<BOOL>(self, "_hidden");
}

// The focus may only be passing from one of the application's windows to
// another: the delegate hears of a change once the loop is idle.
void checkActivation()
{
    s_activationCheckPending = false;
    if (NSApp == nil)
        return;
    const bool active = windowWhere("isKeyWindow") != nil || Backend::current().dialogHasFocus();
    if (active == s_active)
        return;
    s_active = active;
    if (active)
        tellDelegate(NSApp, "applicationDidBecomeActive:", "NSApplicationDidBecomeActiveNotification");
    else
        tellDelegate(NSApp, "applicationDidResignActive:", "NSApplicationDidResignActiveNotification");
}
void ignore(id, SEL, id) { }
void activate(id, SEL, BOOL)
{
    activateWindow({});
}
BOOL isActive(id, SEL)
{
    return keyWindow(nil, nullptr) ? YES : NO;
}

Class registerApplicationClass()
{
    return objc::StandInClass("NSApplication", NSResponderClass())
        .ivar<id>("_delegate")
        .ivar<id>("_mainMenu")
        .ivar<id>("_currentEvent")
        .ivar<BOOL>("_running")
        .ivar<BOOL>("_launched")
        .ivar<BOOL>("_hidden")
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
        .method("mainWindow", &mainWindow)
        .method("sendEvent:", &sendEvent)
        .method("currentEvent", &currentEvent)
        .method("runModalForWindow:", &runModalForWindow)
        .method("stopModal", &stopModal)
        .method("stopModalWithCode:", &stopModalWithCode)
        .method("abortModal", &abortModal)
        .method("modalWindow", &modalWindow)
        .method("hide:", &hide)
        .method("unhide:", &unhide)
        .method("unhideAllApplications:", &unhide)
        .method("hideOtherApplications:", &ignore)
        .method("isHidden", &isHidden)
        .method("setAppleMenu:", &ignore)
        .method("setWindowsMenu:", &ignore)
        .method("setServicesMenu:", &ignore)
        .method("activateIgnoringOtherApps:", &activate)
        .method("isActive", &isActive)
        .registerClass();
}

id standardUserDefaults(id cls, SEL)
{
    static id s_defaults = NSObject::allocInit(reinterpret_cast<Class>(cls));
    return s_defaults;
}

void registerDefaults(id, SEL, const void*) { }

Class registerUserDefaultsClass()
{
    return objc::StandInClass("NSUserDefaults", NSObject::rootClass())
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

bool NSApplication::isTerminating()
{
    return s_terminating;
}

void NSApplication::setLaunchArguments(int argc, char** argv)
{
    documentsToOpen().clear();
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == nullptr || argv[i][0] == '\0')
            continue;
        if (!optionsEnded && std::strcmp(argv[i], "--") == 0)
            optionsEnded = true;
        else if (optionsEnded || argv[i][0] != '-' || argv[i][1] == '\0')
            documentsToOpen().push_back(argv[i]);
    }
}

void NSApplication::activateForLaunch(const std::string& startupId)
{
    activateWindow(startupId, Minimised::Restore);
}

void NSApplication::keyWindowChanged()
{
    if (s_activationCheckPending)
        return;
    s_activationCheckPending = true;
    MainLoop::instance().post(&checkActivation);
}

void NSApplication::resetForTesting()
{
    if (NSApp != nil) {
        setMainMenu(NSApp, nullptr, nil);
        setDefaultActionTarget(nil);
        NSObject::release(NSApp);
    }
    NSApp = nil;
    s_terminating = false;
    s_active = false;
    documentsToOpen().clear();
}

} // namespace platform::appkit
