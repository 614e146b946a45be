#include "updater/app/CVCocoaAppDelegate.h"

#include "BAS/Assertion.h"
#include "BAS/FileName.h"
#include "BAS/URI.h"
#include "FEN/AppModule.h"
#include "FEN/Application.h"
#include "FEN/CLI.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "platform/appkit/NSApplication.h"
#include "platform/cf/CFDictionary.h"
#include "platform/cf/CFNumber.h"
#include "platform/cf/CFString.h"
#include "platform/cf/CFURL.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"
#include "updater/app/CVCocoaStandaloneApplication.h"
#include "updater/app/FirmwareUpdaterApp.h"
#include "updater/app/VarantoMK2UpdaterAppModule.h"

namespace CV {

namespace {

namespace objc = platform::objc;
using FEN::Application;

BOOL& isInitialized(id self)
{
    return objc::ivar<BOOL>(self, "isInitialized");
}

// The application of the current module, once start-up made one.
Application* runningApplication()
{
    return FEN::AppModule::getCurrentModule() != nullptr ? Application::getApplication() : nullptr;
}

// Keeps the character palette out of the Edit menu, for this run only.
void registerDefaults()
{
    CFStringRef key = CFStringCreateWithCString(nullptr, "NSDisabledCharacterPaletteMenuItem", kCFStringEncodingUTF8);
    int const yes = 1;
    CFNumberRef value = CFNumberCreate(nullptr, kCFNumberIntType, &yes);
    const void* keys[] = {key};
    const void* values[] = {value};
    CFDictionaryRef defaults =
        CFDictionaryCreate(nullptr, keys, values, 1, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    id userDefaults = objc::send<id>(platform::appkit::NSApplication::userDefaultsClass(), "standardUserDefaults");
    objc::send<void>(userDefaults, "registerDefaults:", static_cast<const void*>(defaults));
    CFRelease(defaults);
    CFRelease(value);
    CFRelease(key);
}

id init(id self, SEL selector)
{
    self = objc::sendSuper<id>(self, CVCocoaAppDelegate::theClass(), selector);
    if (self == nil)
        return nil;
    registerDefaults();
    id application = objc::send<id>(CVCocoaStandaloneApplication::theClass(), "sharedApplication");
    objc::send<void>(application, "setDelegate:", self);
    return self;
}

void applicationWillFinishLaunching(id self, SEL, id)
{
    BAS::Assertion::setSilent(true);
    if (!FEN::DETAIL::AppModuleStartup::init()) {
        objc::send<void>(NSApp, "terminate:", id(nil));
        return;
    }
    BAS::Assertion::setSilent(false);
    isInitialized(self) = YES;
}

void applicationDidFinishLaunching(id, SEL, id) { }

unsigned long applicationShouldTerminate(id self, SEL, id)
{
    Application* application = runningApplication();
    if (application == nullptr || !isInitialized(self) || application->isQuitting())
        return platform::appkit::NSTerminateNow;
    FEN::CommandEventData quit(FEN::eStdCommand::Quit);
    application->sendEvent(FEN::eCommandEvent::CommandExecute, &quit);
    return application->isQuitting() ? platform::appkit::NSTerminateNow : platform::appkit::NSTerminateCancel;
}

// The update worker writes into the wizard's result and uses the logic's
// device: it has to end before the windows and the module go.
void waitForUpdateWorker()
{
    if (auto* module = dynamic_cast<VarantoMK2UpdaterAppModule*>(FEN::AppModule::getCurrentModule()))
        module->waitForUpdateWorker();
}

void applicationWillTerminate(id self, SEL, id)
{
    waitForUpdateWorker();
    Application::destroyAllWindows();
    BAS::Assertion::setSilent(true);
    FEN::DETAIL::AppModuleStartup::deInit();
    isInitialized(self) = NO;
}

void sendToApplication(unsigned code)
{
    if (Application* application = runningApplication()) {
        FEN::EventData nothing;
        application->sendEvent(code, &nothing);
    }
}

void applicationDidBecomeActive(id, SEL, id)
{
    sendToApplication(FEN::eApplicationEvent::AppActivated);
}

void applicationDidResignActive(id, SEL, id)
{
    sendToApplication(FEN::eApplicationEvent::AppDeactivated);
}

bool fileNameOf(CFStringRef path, BAS::FileName& file)
{
    CFURLRef url = CFURLCreateWithFileSystemPath(nullptr, path, kCFURLPOSIXPathStyle, false);
    if (url == nullptr)
        return false;
    BAS::URI uri(url);
    CFRelease(url);
    return uri.getFileName(file);
}

BOOL applicationOpenFile(id, SEL, id, CFStringRef path)
{
    BAS::FileName file;
    if (path == nullptr || !fileNameOf(path, file))
        return NO;
    if (Application* application = runningApplication()) {
        FEN::FileEventData data;
        data.file = &file;
        return application->sendEvent(FEN::eApplicationEvent::OpenFile, &data) ? YES : NO;
    }
    FEN::CLI::setCommandLineFile(file);
    return YES;
}

} // namespace

Class CVCocoaAppDelegate::theClass()
{
    static Class const s_class = objc::StandInClass("CVCocoaAppDelegate", objc::NSObject::rootClass())
                                     .ivar<BOOL>("isInitialized")
                                     .method("init", &init)
                                     .method("applicationWillFinishLaunching:", &applicationWillFinishLaunching)
                                     .method("applicationDidFinishLaunching:", &applicationDidFinishLaunching)
                                     .method("applicationShouldTerminate:", &applicationShouldTerminate)
                                     .method("applicationWillTerminate:", &applicationWillTerminate)
                                     .method("applicationDidBecomeActive:", &applicationDidBecomeActive)
                                     .method("applicationDidResignActive:", &applicationDidResignActive)
                                     .method("application:openFile:", &applicationOpenFile)
                                     .registerClass();
    return s_class;
}

id CVCocoaAppDelegate::create()
{
    return objc::NSObject::allocInit(theClass());
}

void CVCocoaAppDelegate::terminateWithoutQuestion()
{
    if (NSApp == nil || platform::appkit::NSApplication::isTerminating())
        return;
    if (auto* application = dynamic_cast<FirmwareUpdaterApp*>(runningApplication()))
        application->quitWithoutQuestion();
    objc::send<void>(NSApp, "terminate:", id(nil));
}

} // namespace CV
