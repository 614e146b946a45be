#include "FrameworkTestSupport.h"

#include "FEN/Application.h"
#include "FEN/ApplicationInstanceSingleton.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/External.h"
#include "FEN/MainWindow.h"
#include "FEN/PowerManager.h"
#include "platform/headless/TestDriver.h"
#include "platform/runloop/MainLoop.h"

#include <VarantoTest/TemporaryFolder.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace CV::FEN;
using CV::FEN::TEST::AttachedApplication;

// An application that answers MayQuit from a flag and logs what reaches it.
class QuitApp : public Application {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        log.push_back(code);
        if (code == eApplicationEvent::MayQuit) {
            static_cast<AnswerEventData*>(data)->answer = mayQuit;
            return true;
        }
        return Application::onEvent(code, data);
    }
    void onSystemSleep() override { log.push_back(1); }
    void onSystemWake() override { log.push_back(0); }
    bool mayQuit = true;
    std::vector<unsigned> log;
};

// A main window that takes the commands it is told to.
class CommandWindow : public MainWindow {
public:
    bool onEvent(unsigned code, EventData* data) override
    {
        received.push_back(code);
        if (code == eCommandEvent::CommandExecute && static_cast<CommandEventData*>(data)->command == takes)
            return true;
        return MainWindow::onEvent(code, data);
    }
    int takes = 0;
    std::vector<unsigned> received;
};

TEST(Application, IsTheModulesApplicationOnlyWhileAttached)
{
    EXPECT_EQ(Application::getApplication(), nullptr);
    {
        AttachedApplication<QuitApp> app;
        EXPECT_EQ(Application::getApplication(), app.get());
        EXPECT_EQ(app->getHostName(), "Standalone");
        EXPECT_EQ(app->getHostVersion(), 0);
        EXPECT_EQ(app->run(), -1);
        EXPECT_EQ(EventTimerManager::getSingleton(), &app->getEventTimerManager());
        app->setMasterTimerTimeout(20);
        EXPECT_EQ(app->getMasterTimerTimeout(), 20u);
        app->setApplicationTitle(nullptr);
        EXPECT_EQ(app->getApplicationTitle(), "");
    }
    EXPECT_EQ(Application::getApplication(), nullptr);
    EXPECT_EQ(EventTimerManager::getSingleton(), nullptr);
}

TEST(Application, CommandsReachTheMainWindowFirstOtherEventsOnlyTheApplication)
{
    AttachedApplication<QuitApp> app;
    CommandWindow window;
    window.takes = 40000;
    app->setMainWindow(&window);

    CommandEventData taken(40000), other(40001);
    EXPECT_TRUE(app->sendEvent(eCommandEvent::CommandExecute, &taken));
    EXPECT_FALSE(app->sendEvent(eCommandEvent::CommandExecute, &other));
    KeyEventData key;
    EXPECT_FALSE(app->sendEvent(eKeyEvent::KeyDown, &key));
    EXPECT_EQ(window.received, (std::vector<unsigned>{1200, 1200}));
    EXPECT_EQ(app->log, (std::vector<unsigned>{1200, 1100}));
    app->setMainWindow(nullptr);
}

TEST(Application, QuitAsksMayQuitAndIsHandledEvenWhenRefused)
{
    AttachedApplication<QuitApp> app;
    CommandWindow window;
    app->setMainWindow(&window);
    CommandEventData quit(eStdCommand::Quit);

    app->mayQuit = false;
    EXPECT_TRUE(app->sendEvent(eCommandEvent::CommandExecute, &quit));
    EXPECT_FALSE(app->isQuitting());
    EXPECT_EQ(app->getMainWindow(), &window);

    app->mayQuit = true;
    EXPECT_TRUE(app->sendEvent(eCommandEvent::CommandExecute, &quit));
    EXPECT_TRUE(app->isQuitting());
    EXPECT_EQ(app->getMainWindow(), nullptr);
    EXPECT_EQ(app->log, (std::vector<unsigned>{1200, 10002, 1200, 10002}));
}

TEST(Application, MainWindowTurnsClosingIntoApplicationRequests)
{
    AttachedApplication<QuitApp> app;
    CommandWindow window;
    app->setMainWindow(&window);

    AnswerEventData shouldClose;
    app->mayQuit = false;
    EXPECT_TRUE(window.sendEvent(eWindowEvent::ShouldClose, &shouldClose));
    EXPECT_FALSE(shouldClose.answer);
    app->mayQuit = true;
    shouldClose.answer = true;
    EXPECT_TRUE(window.sendEvent(eWindowEvent::ShouldClose, &shouldClose));
    EXPECT_TRUE(shouldClose.answer);

    DragEventData drag;
    EXPECT_FALSE(window.sendEvent(eDragDropEvent::DragRequest, &drag)); // offered to the application
    EXPECT_EQ(app->log, (std::vector<unsigned>{10002, 10002, 1300}));

    EventData none;
    EXPECT_TRUE(window.sendEvent(eWindowEvent::Closed, &none));
    EXPECT_TRUE(app->isQuitting());
    // Closing again while quitting posts no second quit.
    EXPECT_FALSE(window.sendEvent(eWindowEvent::Closed, &none));
}

TEST(Application, DestroyingTheMainWindowObjectClearsTheApplicationsPointer)
{
    AttachedApplication<QuitApp> app;
    auto* window = new CommandWindow;
    app->setMainWindow(window);
    delete window;
    EXPECT_EQ(app->getMainWindow(), nullptr);
    CommandEventData command(1);
    EXPECT_FALSE(app->sendEvent(eCommandEvent::CommandExecute, &command));
}

TEST(Application, WindowListKeepsOrderWithoutDuplicates)
{
    AttachedApplication<QuitApp> app;
    CommandWindow a, b;
    Application::addWindow(&a);
    Application::addWindow(&b);
    Application::addWindow(&a);
    EXPECT_EQ(Application::getWindows(), (std::list<Window*>{&a, &b}));
    Application::removeWindow(&a);
    Application::removeWindow(&a);
    EXPECT_EQ(Application::getWindows(), (std::list<Window*>{&b}));
    app->setMainWindow(&b);
    // Windows without a native window are only taken off the list.
    Application::destroyAllWindows();
    EXPECT_TRUE(Application::getWindows().empty());
    EXPECT_EQ(app->getMainWindow(), nullptr);
}

TEST(Application, SetMenuLoadsTheShortcutsIntoTheAcceleratorTable)
{
    AttachedApplication<QuitApp> app;
    HMenu::s_mapCommandShortcuts[0x20000051] = 7;
    app->setMenu(HMenuBar());
    EXPECT_EQ(app->getAcceleratorManager().getCommand(0x20000051), 7);
    EXPECT_EQ(app->getAcceleratorManager().getCommand(0x20000052), 0);
    HMenu::s_mapCommandShortcuts.clear();
}

TEST(Application, ExecuteOnMainThreadRunsTheFunctionOnceThereAndIgnoresAnEmptyOne)
{
    AttachedApplication<QuitApp> app;
    app->executeOnMainThread(std::function<void()>());
    int calls = 0;
    bool onMain = false;
    std::thread([&] {
        app->executeOnMainThread([&] {
            ++calls;
            onMain = platform::MainLoop::isMainThread();
        });
    }).join();
    EXPECT_TRUE(platform::MainLoop::instance().runUntil([&] { return calls > 0; }, std::chrono::seconds(5)));
    platform::MainLoop::instance().runPending();
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(onMain);
}

TEST(Application, PowerNotificationsReachTheApplicationWhichLetsTheSystemSleep)
{
    platform::headless::TestDriver driver;
    AttachedApplication<QuitApp> app;
    EXPECT_EQ(driver.sleep(), std::optional<bool>(true));
    driver.wake();
    EXPECT_EQ(app->log, (std::vector<unsigned>{1, 0}));
    EXPECT_TRUE(app->getPowerManager().isSleepAllowed());
}

TEST(ApplicationInstanceSingleton, SecondCopyFindsTheLockOfTheFirst)
{
    const std::string folder = testing::TempDir() + "instance-lock";
    std::filesystem::create_directories(folder);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    EXPECT_FALSE(ApplicationInstanceSingleton::hasConflictingInstance("", ApplicationInstanceSingleton::eUser));

    const std::string name = "com.example.other/copy";
    const std::string path = ApplicationInstanceSingleton::lockFilePath(name);
    EXPECT_EQ(path, folder + "/com.example.other_copy.lock");
    // Another copy holds the lock.
    int other = ::open(path.c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    EXPECT_TRUE(ApplicationInstanceSingleton::hasConflictingInstance(name, ApplicationInstanceSingleton::eUser));
    ::close(other);

    // This copy takes it and keeps it, not to be inherited by programs it starts.
    EXPECT_FALSE(ApplicationInstanceSingleton::hasConflictingInstance(name, ApplicationInstanceSingleton::eUser));
    EXPECT_FALSE(ApplicationInstanceSingleton::hasConflictingInstance(name, ApplicationInstanceSingleton::eUser));
    other = ::open(path.c_str(), O_RDWR);
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
    bool cloexec = false;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (std::filesystem::read_symlink(entry.path(), error) == path)
            cloexec = (::fcntl(std::stoi(entry.path().filename()), F_GETFD) & FD_CLOEXEC) != 0;
    }
    EXPECT_TRUE(cloexec);

    EXPECT_EQ(ApplicationInstanceSingleton::channelPath(name), folder + "/com.example.other_copy.socket");

    // Without a runtime folder: lock and socket in a folder of the user's own
    // in the temporary folder.
    unsetenv("XDG_RUNTIME_DIR");
    CV::test::TemporaryFolder temporary("instance-temporary");
    const char* oldTemporary = std::getenv("TMPDIR");
    const std::string restored = oldTemporary != nullptr ? oldTemporary : "";
    setenv("TMPDIR", temporary.string().c_str(), 1);
    setenv("XDG_CACHE_HOME", temporary.at("cache").c_str(), 1);
    const std::string own = temporary.at("id-" + std::to_string(geteuid()));
    EXPECT_EQ(ApplicationInstanceSingleton::lockFilePath("id"), own + "/single-instance.lock");
    EXPECT_EQ(ApplicationInstanceSingleton::channelPath("id"), own + "/activation.socket");
    oldTemporary != nullptr ? setenv("TMPDIR", restored.c_str(), 1) : unsetenv("TMPDIR");
    unsetenv("XDG_CACHE_HOME");
}

TEST(External, OpenURLHandsOnlyURLsWithASchemeToTheDesktopsHandler)
{
    // A folder of this run's own: test programs of other builds may run
    // beside this one.
    CV::test::TemporaryFolder scratch("fake-xdg-open");
    const std::string folder = scratch.string();
    const std::string record = folder + "/received";
    {
        std::ofstream script(folder + "/xdg-open");
        script << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '" << record << "'\n";
    }
    std::filesystem::permissions(folder + "/xdg-open", std::filesystem::perms::owner_all);
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (folder + ":" + oldPath).c_str(), 1);

    struct Case {
        const char* url;
        bool opened;
    };
    const Case cases[] = {
        {"https://example.com/kb?q=a b&c='d'", true},
        {"mailto:someone@example.com", true},
        {"-x", false},
        {"--help", false},
        {"example.com/no-scheme", false},
        {"", false},
        {"1http://digit.first", false},
        {"http://line\nbreak", false},
    };
    std::string expected;
    for (const Case& c : cases) {
        EXPECT_EQ(External::openURL(c.url), c.opened) << c.url;
        if (c.opened) {
            expected += std::string(c.url) + "\n";
            // Wait for the handler to have written (it is not waited for).
            for (int i = 0; i < 500; ++i) {
                std::ifstream in(record);
                std::stringstream text;
                text << in.rdbuf();
                if (text.str() == expected)
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
    }
    EXPECT_FALSE(External::openURL(nullptr));
    std::ifstream in(record);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), expected);

    setenv("PATH", "/nonexistent", 1);
    EXPECT_FALSE(External::openURL("https://example.com"));
    setenv("PATH", oldPath.c_str(), 1);
}

} // namespace
