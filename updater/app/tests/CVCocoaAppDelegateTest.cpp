// The platform classes of the start-up: the delegate's answers before an
// application exists, a file opened that early, and key-ups with Command
// taken straight to the key window by the application class.
#include "updater/app/CVCocoaAppDelegate.h"

#include "BAS/Lib.h"
#include "FEN/CLI.h"
#include "platform/appkit/NSApplication.h"
#include "platform/appkit/NSEvent.h"
#include "platform/appkit/NSWindow.h"
#include "platform/cf/CFString.h"
#include "platform/headless/TestDriver.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"
#include "platform/peer/InputEvents.h"
#include "updater/app/CVCocoaStandaloneApplication.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace CV::test {
namespace {

namespace objc = platform::objc;
using platform::headless::TestDriver;

class CVCocoaAppDelegateTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(BAS::Lib::init(BAS::makeFileTypeMacMagic('Q', 'V', 'T', '2'), "TEST", BAS::Lib::kVersion,
                                   BAS::Lib::kFlavour));
        delegate = CVCocoaAppDelegate::create();
    }
    void TearDown() override
    {
        objc::NSObject::release(delegate);
        platform::appkit::NSApplication::resetForTesting();
        FEN::CLI::s_file.clear();
        BAS::Lib::deInit();
    }

    TestDriver driver;
    id delegate = nil;
};

TEST_F(CVCocoaAppDelegateTest, InitMakesTheApplicationOfItsOwnClassWithTheDelegateInstalled)
{
    ASSERT_NE(NSApp, nil);
    EXPECT_EQ(object_getClass(NSApp), CVCocoaStandaloneApplication::theClass());
    EXPECT_EQ(objc::send<id>(NSApp, "delegate"), delegate);
}

TEST_F(CVCocoaAppDelegateTest, ATerminationBeforeStartUpIsAnsweredAtOnce)
{
    EXPECT_EQ(objc::send<unsigned long>(delegate, "applicationShouldTerminate:", NSApp),
              platform::appkit::NSTerminateNow);
}

TEST_F(CVCocoaAppDelegateTest, AFileOpenedBeforeAnApplicationExistsIsKeptForTheCommandLine)
{
    CFStringRef path = CFStringCreateWithCString(nullptr, "/tmp/firmware notes.txt", kCFStringEncodingUTF8);
    EXPECT_EQ(objc::send<BOOL>(delegate, "application:openFile:", NSApp, path), YES);
    CFRelease(path);
    EXPECT_EQ(FEN::CLI::s_file, "Computer:tmp:firmware notes.txt");
}

// A window that counts the key-ups it is sent.
struct CountingWindow {
    static Class cls()
    {
        static Class const s_class = objc::StandInClass("UpdaterTestKeyWindow", platform::appkit::NSWindowClass())
                                         .method("sendEvent:", &sendEvent)
                                         .registerClass();
        return s_class;
    }
    static void sendEvent(id self, SEL selector, id event)
    {
        if (platform::appkit::eventRecord(event).type == platform::appkit::NSEventTypeKeyUp)
            ++keyUps;
        objc::sendSuper<void>(self, cls(), selector, event);
    }
    static inline int keyUps = 0;
};

TEST_F(CVCocoaAppDelegateTest, AKeyUpWithCommandGoesStraightToTheKeyWindow)
{
    id window =
        objc::send<id>(objc::NSObject::alloc(CountingWindow::cls()),
                       "initWithContentRect:styleMask:backing:defer:", NSMakeRect(0, 0, 200, 100), 1ul, 2ul, BOOL(NO));
    objc::send<void>(window, "makeKeyAndOrderFront:", id(nil));
    int monitored = 0;
    std::function<id(id)> const monitor = [&monitored](id event) {
        if (platform::appkit::eventRecord(event).type == platform::appkit::NSEventTypeKeyUp)
            ++monitored;
        return event;
    };
    id token = objc::send<id>(platform::appkit::NSEventClass(), "addLocalMonitorForEventsMatchingMask:handler:", ~0ull,
                              &monitor);
    auto& peer = driver.peerOf(window);

    CountingWindow::keyUps = 0;
    driver.keyUp(peer, platform::headless::kVK_ANSI_Q, "q", platform::keyboard::kModifierCommand);
    EXPECT_EQ(CountingWindow::keyUps, 1);
    EXPECT_EQ(monitored, 0) << "the platform's own handling is passed by";

    driver.keyUp(peer, platform::headless::kVK_ANSI_Q, "q");
    EXPECT_EQ(CountingWindow::keyUps, 2);
    EXPECT_EQ(monitored, 1) << "without Command the platform's path";

    objc::send<void>(platform::appkit::NSEventClass(), "removeMonitor:", token);
    objc::send<void>(window, "close"); // released when closed
}

} // namespace
} // namespace CV::test
