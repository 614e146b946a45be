// The module's start and shut-down, each case in a fresh child process: the
// libraries in order, stopping at the first failure, what a failed start
// leaves for the shut-down, and the one wait for a running update.
#include "updater/app/VarantoMK2UpdaterAppModule.h"

#include "BAS/Message.h"
#include "FEN/Application.h"
#include "FEN/ApplicationInstanceSingleton.h"
#include "FEN/StandaloneWindow.h"
#include "TOV/Widget.h"
#include "TOV/Window.h"
#include "VarantoTest/TemporaryFolder.h"
#include "platform/headless/TestDriver.h"
#include "platform/runloop/MainLoop.h"
#include "updater/app/FirmwareUpdaterConfig.h"
#include "updater/app/probe/StateProbe.h"
#include "updater/upgrade/VarantoMK2UpdaterUpgradeLogic.h"
#include "usx2/dfu/DFUDevice.h"
#include "usx2/usb/USBDeviceInfo.h"
#include "usx2/util/Sleeper.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <set>
#include <string>

namespace CV::test {
namespace {

using Library = VarantoMK2UpdaterAppModule::Library;

void say(std::string const& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
}

void showBoxesOnStandardError()
{
    BAS::Message::s_showMessageFunctor = [](BAS::CharSequence<char> const& text, BAS::Message::eType,
                                            BAS::Message::eButton, BAS::Message::eIcon, const char*) {
        say("[box] " + text.str() + "|");
        return BAS::Message::eButtonOK;
    };
}

Library library(std::string name, bool starts)
{
    return Library{"",
                   [name, starts] {
                       say("start " + name);
                       return starts;
                   },
                   [name] { say("stop " + name); }};
}

// The standard libraries, each start and stop said on standard error.
std::vector<Library> tracedStandardLibraries()
{
    std::vector<Library> libraries = VarantoMK2UpdaterAppModule::standardLibraries();
    for (Library& entry : libraries) {
        std::string const name = entry.name;
        entry.init = [name, init = entry.init] {
            say("start " + name);
            return init();
        };
        entry.deInit = [name, deInit = entry.deInit] {
            say("stop " + name);
            deInit();
        };
    }
    return libraries;
}

class VarantoMK2UpdaterAppModuleDeathTest : public testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

void startWithAFailingSecondLibrary()
{
    showBoxesOnStandardError();
    std::vector<Library> libraries{library("first", true), library("second", false), library("third", true)};
    libraries[1].name = "second library";
    VarantoMK2UpdaterAppModule module(std::move(libraries));
    module.init();
    say("went on");
}

// The updater's lock is held elsewhere: the application's start fails.
void startAsASecondCopyAndShutDown(std::string const& runtime)
{
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("VARANTO_USB_SIMULATION", "/dev/null", 1);
    std::string const lock =
        FEN::ApplicationInstanceSingleton::lockFilePath("VarantoMK2Updater-5C1E7A93-2B4D-4F60-9A8E-13D7C2B6F048");
    int const first = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (first < 0 || ::flock(first, LOCK_EX | LOCK_NB) != 0)
        std::exit(3);
    VarantoMK2UpdaterAppModule module(tracedStandardLibraries());
    say(module.init() ? "started" : "not started");
    FirmwareUpdaterConfig const* config = module.getConfig();
    say(config->m_strWindowTitle + " | " + config->m_strVersion);
    USX2::USBDeviceInfo info;
    std::string installed = "-", newest;
    bool available = true;
    config->m_fnGetDeviceInfo(info, installed, newest, available);
    say("newest " + newest + (available ? " available" : " not available"));
    say(config->m_fnIsUpdateRunning() ? "running" : "idle");
    module.deInit(false);
    say(module.getConfig() == nullptr && module.getUpgradeLogic() == nullptr ? "all gone" : "left over");
    std::exit(0);
}

TEST_F(VarantoMK2UpdaterAppModuleDeathTest, AFailingLibraryStopsTheStartUndoesTheOthersAndEndsWithItsMessage)
{
    EXPECT_EXIT(
        startWithAFailingSecondLibrary(), testing::ExitedWithCode(1),
        "^start first\nstart second\nstop first\n\\[box\\] Error updater/app/VarantoMK2UpdaterAppModule:[0-9]+\n\n"
        "The second library could not be started\\.\\|\n");
}

// A second copy: the application's start fails (it says that the updater
// runs already and, as the lock's holder takes no request, that it did not
// answer), the configuration and the logic exist until the shut-down,
// which stops the libraries in reverse.
TEST_F(VarantoMK2UpdaterAppModuleDeathTest, AFailedApplicationStartLeavesAConfigurationBoundToTheLogicForTheShutDown)
{
    TemporaryFolder runtime{"updater-module-runtime"};
    EXPECT_EXIT(startAsASecondCopyAndShutDown(runtime.string()), testing::ExitedWithCode(0),
                "^start core library\nstart application framework\nstart widget library\n"
                "Varanto MK2 Firmware Updater is already running\\.\n"
                "Varanto MK2 Firmware Updater is running but did not answer; its window was not brought forward\\.\n"
                "not started\n"
                "Varanto MK2 Firmware Updater \\| 1\\.4\\.0 \\(R205\\)\nnewest 0\\.5\\.9 not available\nidle\n"
                "stop widget library\nstop application framework\nstop core library\nall gone\n");
}

// A Sela keyboard one version behind whose blocks keep it busy: the write
// takes a few seconds.
constexpr const char* kSlowKeyboard = "[device]\nmodel = sela\nserial = SLOW\nbcdDevice = 0x0058\n"
                                      "updatedBcdDevice = 0x0059\ndfuAttributes = 0x0D\ndfuTransferSize = 4096\n"
                                      "dfuMode.bcdDevice = 0x0100\ndetachDelay = 200ms\nreturnDelay = 200ms\n"
                                      "manifestTime = 200ms\nbusyTime = 20ms\nbusyPollTimeout = 20\n";

std::string stepOf(TOV::Widget const& wheel)
{
    for (auto const& [name, value] : wheel.getAttributes())
        if (name.string() == "step")
            return value;
    return "";
}

// The child works in `folder` on the simulated bus of `simulation`, with
// the staged skin found in the working folder as the module looks for it.
void workOnTheSimulatedBusIn(std::string const& folder, std::string const& simulation)
{
    std::string const skin = folder + "/skin";
    if (::symlink(VARANTO_BUNDLE_DIR "/Contents/Resources/skin", skin.c_str()) != 0 || ::chdir(folder.c_str()) != 0)
        std::exit(2);
    std::string const runtime = folder + "/runtime";
    ::mkdir(runtime.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("VARANTO_USB_SIMULATION", simulation.c_str(), 1);
}

TOV::Widget& rootWidget()
{
    auto* pane = dynamic_cast<TOV::Window<FEN::StandaloneWindow>*>(FEN::Application::getWindows().front());
    return *pane->getRoot();
}

// Clicks UPDATE and answers Yes to the quit question: the update runs.
void startTheUpdateAndQuit(platform::headless::TestDriver& driver, VarantoMK2UpdaterAppModule& module)
{
    TOV::Widget const* action = StateProbe::findWidget(rootWidget(), "FirmwareUpdaterButtonAction");
    TOV::Widget const* wheel = StateProbe::findWidget(rootWidget(), "FirmwareUpdaterSpinningProgressWheel");
    driver.click(
        *driver.windows().front(),
        {action->getAbsPos().x + action->getSize().x / 2.0, action->getAbsPos().y + action->getSize().y / 2.0});
    if (!wheel->isActive())
        std::exit(4);
    module.getConfig()->m_fnApplicationCloseRequest(); // what a Yes to the question does
}

// Headless in virtual time: UPDATE, then a Yes to the quit question and the
// shut-down's wait for the worker, while a timer of the loop notes the
// wheel's steps and whether the window repainted what it was asked to.
void waitForTheWriteWhileTheWindowGoesOn(std::string const& folder, std::string const& simulation)
{
    workOnTheSimulatedBusIn(folder, simulation);
    platform::headless::TestDriver driver;
    VarantoMK2UpdaterAppModule module;
    if (!module.init() || driver.windows().size() != 1)
        std::exit(3);
    platform::headless::HeadlessWindow& window = *driver.windows().front();
    TOV::Widget const* wheel = StateProbe::findWidget(rootWidget(), "FirmwareUpdaterSpinningProgressWheel");
    startTheUpdateAndQuit(driver, module);

    std::set<std::string> steps;
    int repaints = 0;
    platform::MainLoop& loop = platform::MainLoop::instance();
    auto const look = loop.addTimer(std::chrono::milliseconds(40), true, [&] {
        steps.insert(stepOf(*wheel));
        if (!window.needsDisplay()) {
            ++repaints;
            window.invalidate({{0, 0, 10, 10}});
        }
    });
    bool const ended = module.waitForUpdateWorker();
    loop.cancelTimer(look);
    say(ended ? "ended" : "still running");
    say(steps.size() > 2 ? "the wheel turned" : "the wheel stood still");
    say(repaints > 2 ? "the window repainted" : "the window stood still");
    FEN::Application::destroyAllWindows();
    module.deInit(true);
    std::exit(0);
}

TEST_F(VarantoMK2UpdaterAppModuleDeathTest, TheWaitForARunningUpdateKeepsTheWheelTurningAndTheWindowRepainting)
{
    TemporaryFolder folder{"updater-module-wait"};
    std::string const simulation = folder.at("slow.sim");
    std::ofstream(simulation) << kSlowKeyboard;
    EXPECT_EXIT(
        waitForTheWriteWhileTheWindowGoesOn(folder.string(), simulation), testing::ExitedWithCode(0),
        "waiting for the firmware update to end\n.*the firmware update ended: the keyboard took the new firmware\n"
        "ended\nthe wheel turned\nthe window repainted\n");
}

// The keyboard's waits in real time, except those of the update worker,
// which are held until the test lets the worker go.
class HeldWorkerSleeper : public USX2::Sleeper {
public:
    void sleepFor(Duration duration) override
    {
        if (!platform::MainLoop::isMainThread()) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_released.wait(lock, [this] { return m_free; });
        }
        USX2::Sleeper::system().sleepFor(duration);
    }

    Duration now() const override { return USX2::Sleeper::system().now(); }

    void release()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_free = true;
        m_released.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_free = false;
};

// Who starts the shut-down: the platform's delegate waits for the worker
// and destroys the windows before the module goes, or the module goes at
// once.
enum class ShutDown { ByTheDelegate, ByTheModuleAlone };

// Headless with the shut-down's wait in virtual time: UPDATE, a Yes to the
// quit question, and the shut-down while the worker is held past the
// wait's bound. A timer of the loop notes whether the application, its
// configuration and its window were there whenever the loop ran; the logic
// the module left to the worker is taken back once the worker has been let
// go.
void shutDownWhileTheWorkerOverrunsTheWait(std::string const& folder, std::string const& simulation, ShutDown shutDown)
{
    workOnTheSimulatedBusIn(folder, simulation);
    platform::headless::TestDriver driver;
    HeldWorkerSleeper sleeper;
    VarantoMK2UpdaterAppModule module(VarantoMK2UpdaterAppModule::standardLibraries(),
                                      {&sleeper, &driver.loop().clock()});
    if (!module.init() || driver.windows().size() != 1)
        std::exit(3);
    VarantoMK2UpdaterUpgradeLogic* logic = module.getUpgradeLogic();
    // A bound of half a minute rather than twenty minutes: the wait runs the
    // loop through it twenty milliseconds at a time.
    logic->device().setDeadlines(std::chrono::seconds(1), std::chrono::seconds(1));
    startTheUpdateAndQuit(driver, module);

    int loopRunsWithAllStanding = 0, loopRunsWithout = 0;
    auto const allStanding = [&] {
        return module.getApplication() != nullptr && module.getConfig() != nullptr && !driver.windows().empty();
    };
    platform::MainLoop& loop = platform::MainLoop::instance();
    auto const look = loop.addTimer(std::chrono::milliseconds(40), true,
                                    [&] { ++(allStanding() ? loopRunsWithAllStanding : loopRunsWithout); });
    std::chrono::nanoseconds const bound((logic->workerDeadlineFromNow() - boost::chrono::steady_clock::now()).count());
    auto const started = driver.elapsed();
    if (shutDown == ShutDown::ByTheDelegate) {
        say(module.waitForUpdateWorker() ? "ended" : "still running");
        FEN::Application::destroyAllWindows();
    }
    module.deInit(true);
    auto const took = driver.elapsed() - started;
    loop.cancelTimer(look);

    auto const slack = std::chrono::seconds(1);
    say(loopRunsWithAllStanding > 0 && loopRunsWithout == 0 ? "the loop ran only with all standing"
                                                            : "the loop ran after the tear-down began");
    say(took > bound - slack && took < bound + slack ? "the shut-down took one bound"
                                                     : "the shut-down took " + std::to_string(took.count()) +
                " ns of a bound of " + std::to_string(bound.count()) + " ns");
    sleeper.release();
    say(logic->waitForWorker(boost::chrono::seconds(60)) ? "the worker ended" : "the worker still runs");
    delete logic;
    std::exit(0);
}

// How often `text` occurs in what the child said.
MATCHER_P2(Says, text, times, std::string("says \"") + text + "\" " + std::to_string(times) + " time(s)")
{
    int found = 0;
    for (auto at = arg.find(text); at != std::string::npos; at = arg.find(text, at + 1))
        ++found;
    return found == times;
}

TEST_F(VarantoMK2UpdaterAppModuleDeathTest, AWorkerThatOverrunsTheWaitIsWaitedForOnceWithinOneBound)
{
    struct Case {
        const char* name;
        ShutDown shutDown;
        const char* said;
    } const cases[] = {
        {"by the delegate", ShutDown::ByTheDelegate, "still running\n.*"},
        {"by the module alone", ShutDown::ByTheModuleAlone, ""},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryFolder folder{"updater-module-overrun"};
        std::string const simulation = folder.at("slow.sim");
        std::ofstream(simulation) << kSlowKeyboard;
        EXPECT_EXIT(shutDownWhileTheWorkerOverrunsTheWait(folder.string(), simulation, c.shutDown),
                    testing::ExitedWithCode(0),
                    testing::AllOf(Says("waiting for the firmware update to end", 1),
                                   Says("the firmware update did not end in time", 1),
                                   testing::ContainsRegex(std::string("waiting for the firmware update to end\n.*"
                                                                      "the firmware update did not end in time\n.*") +
                                                          c.said +
                                                          "the loop ran only with all standing\n"
                                                          "the shut-down took one bound\n"
                                                          ".*the worker ended\n")));
    }
}

} // namespace
} // namespace CV::test
