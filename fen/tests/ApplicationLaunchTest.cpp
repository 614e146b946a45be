// The whole road of a framework program through the platform's application
// object, each case in a child process: launch, the module's start-up, the
// quit protocol and the termination.
#include "FrameworkTestSupport.h"

#include "FEN/Application.h"
#include "FEN/ApplicationInstanceSingleton.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/Lib.h"
#include "platform/appkit/NSApplication.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"
#include "platform/runloop/MainLoop.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

namespace {

using namespace CV::FEN;
using CV::FEN::TEST::TestModule;
using platform::appkit::NSApplication;
namespace objc = platform::objc;

void say(const char* text)
{
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
}

class LaunchApp : public Application {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        if (code == eApplicationEvent::MayQuit) {
            static_cast<AnswerEventData*>(data)->answer = mayQuit;
            say(mayQuit ? "may quit" : "vetoed");
            return true;
        }
        return Application::onEvent(code, data);
    }
    bool mayQuit = true;
};

// The launcher's delegate, as a program on the framework has one.
struct Delegate {
    static Class cls()
    {
        static Class s_class = objc::StandInClass("FenTestAppDelegate", "NSObject")
                                   .ivar<BOOL>("isInitialized")
                                   .method("applicationWillFinishLaunching:", &willFinishLaunching)
                                   .method("applicationShouldTerminate:", &shouldTerminate)
                                   .method("applicationWillTerminate:", &willTerminate)
                                   .registerClass();
        return s_class;
    }
    static void willFinishLaunching(id self, SEL, id)
    {
        if (!DETAIL::AppModuleStartup::init()) {
            objc::send<void>(NSApp, "terminate:", id(nil));
            return;
        }
        objc::ivar<BOOL>(self, "isInitialized") = YES;
    }
    static unsigned long shouldTerminate(id self, SEL, id)
    {
        Application* application = Application::getApplication();
        if (application == nullptr || !objc::ivar<BOOL>(self, "isInitialized") || application->isQuitting())
            return platform::appkit::NSTerminateNow;
        CommandEventData quit(eStdCommand::Quit);
        application->sendEvent(eCommandEvent::CommandExecute, &quit);
        return application->isQuitting() ? platform::appkit::NSTerminateNow : platform::appkit::NSTerminateCancel;
    }
    static void willTerminate(id self, SEL, id)
    {
        Application::destroyAllWindows();
        DETAIL::AppModuleStartup::deInit();
        objc::ivar<BOOL>(self, "isInitialized") = NO;
        say("terminated");
    }
};

// Starts the framework, attaches a LaunchApp and then runs whenRunning on
// the loop; the platform's application runs until it terminates.
void launch(std::function<bool()> startUp, std::function<void(LaunchApp&)> whenRunning)
{
    TestModule& module = TestModule::instance();
    module.onInit = [startUp, whenRunning, &module] {
        if (startUp && !startUp())
            return false;
        if (!Lib::init(Lib::kVersion, Lib::kFlavour))
            return false;
        auto* app = new LaunchApp;
        if (!module.attachApplication(app))
            return false;
        platform::MainLoop::instance().post([app, whenRunning] { whenRunning(*app); });
        say("launched");
        return true;
    };
    module.onDeInit = [&module](bool) {
        module.destroyApplication();
        Lib::deInit();
        say("shut down");
    };
    id application = objc::send<id>(platform::appkit::NSApplicationClass(), "sharedApplication");
    objc::send<void>(application, "setDelegate:", objc::NSObject::allocInit(Delegate::cls()));
    objc::send<void>(application, "run");
    say("loop ended without termination");
}

TEST(ApplicationLaunchDeathTest, PostedQuitTerminatesWithStatusZero)
{
    EXPECT_EXIT(launch(nullptr, [](LaunchApp& app) { app.postQuit(); }), testing::ExitedWithCode(0),
                "launched\nshut down\nterminated\n");
}

TEST(ApplicationLaunchDeathTest, VetoedQuitKeepsRunningAndASecondAllowedRequestQuits)
{
    EXPECT_EXIT(launch(nullptr,
                       [](LaunchApp& app) {
                           app.mayQuit = false;
                           objc::send<void>(NSApp, "terminate:", id(nil));
                           say(app.isQuitting() ? "quitting" : "still running");
                           app.mayQuit = true;
                           objc::send<void>(NSApp, "terminate:", id(nil));
                       }),
                testing::ExitedWithCode(0), "launched\nvetoed\nstill running\nmay quit\nshut down\nterminated\n");
}

TEST(ApplicationLaunchDeathTest, SecondCopyEndsItsStartUpQuietly)
{
    const std::string folder = testing::TempDir() + "launch-lock";
    std::filesystem::create_directories(folder);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    // The first copy runs and holds its lock.
    const int first = ::open(ApplicationInstanceSingleton::lockFilePath("com.example.launch").c_str(),
                             O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    ASSERT_EQ(::flock(first, LOCK_EX | LOCK_NB), 0);
    EXPECT_EXIT(launch(
                    [] {
                        return !ApplicationInstanceSingleton::hasConflictingInstance(
                            "com.example.launch", ApplicationInstanceSingleton::eUser);
                    },
                    [](LaunchApp&) { say("second copy runs"); }),
                testing::ExitedWithCode(0), "^shut down\nterminated\n");
    ::close(first);
    unsetenv("XDG_RUNTIME_DIR");
}

TEST(ApplicationLaunch, SharedApplicationIsMadeByTheClassAskedFirstAndTerminatesOnce)
{
    // The program's own application class asks first.
    Class subclass = objc::StandInClass("FenTestStandaloneApplication", "NSApplication").registerClass();
    int exits = 0;
    NSApplication::setProcessExit([&](int status) {
        EXPECT_EQ(status, 0);
        ++exits;
    });
    id application = objc::send<id>(subclass, "sharedApplication");
    EXPECT_EQ(object_getClass(application), subclass);
    EXPECT_EQ(objc::send<id>(platform::appkit::NSApplicationClass(), "sharedApplication"), application);
    // A termination that returns (here: the process does not end) runs once.
    objc::send<void>(application, "terminate:", id(nil));
    objc::send<void>(application, "terminate:", id(nil));
    EXPECT_EQ(exits, 1);
    NSApplication::setProcessExit(nullptr);
    NSApplication::resetForTesting();
}

} // namespace
