// The updater as a user meets it: the staged program started on an X
// server of the test's own with a simulated keyboard, driven from outside
// with the mouse, the keyboard and the window manager's close request, its
// pages and texts read back through the state channel.
#include "UpdaterState.h"
#include "WindowSystemDriver.h"

#include <VarantoTest/ChildProcess.h>
#include <VarantoTest/DesktopUnavailable.h>
#include <VarantoTest/PrivateXServer.h>
#include <VarantoTest/TemporaryFolder.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

// Xlib's macros (None, Bool, ...) after every other header.
#include <VarantoTest/ForeignXWindow.h>

namespace CV::desktop_test {
namespace {

using namespace std::chrono_literals;
using UpdaterProcess = test::ChildProcess;

constexpr char const* kTitle = "Varanto MK2 Firmware Updater";
constexpr char const* kExecutable = VARANTO_BUNDLE_DIR "/Contents/MacOS/" VARANTO_APP_EXECUTABLE;
constexpr char const* kActionButton = "FirmwareUpdaterButtonAction";
constexpr char const* kQuitButton = "FirmwareUpdaterButtonQuit";
constexpr char const* kInfoLabel = "FirmwareUpdaterInfoPanelLabel";
// The window's content area, at the bottom of the window below the menu bar.
constexpr int kContentWidth = 627;
constexpr int kContentHeight = 335;

enum Page { NoDeviceConnected = 0, UpdateAvailable = 2, Updating = 3, UpdateSuccessful = 5, UpdateFailed = 6 };
// Application events.
enum : unsigned { kAppActivated = 10000, kAppDeactivated = 10001, kOpenFile = 10003 };

std::string demoKeyboard()
{
    std::ifstream in(VARANTO_SOURCE_DIR "/usx2/sim/demo.sim");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class WholeRoadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_display = std::make_unique<test::PrivateXServer>(); }
    static void TearDownTestSuite() { s_display.reset(); }

    void SetUp() override
    {
        if (!s_display->running())
            VARANTO_DESKTOP_UNAVAILABLE() << s_display->failure();
        desktop = std::make_unique<WindowSystemDriver>(*s_display);
        ASSERT_TRUE(desktop->connected());
        // Each test has a runtime folder of its own (the single-instance
        // lock lives there) and starts in an empty working folder.
        runtime = folder.folder("runtime");
        ::chmod(runtime.c_str(), 0700);
        working = folder.folder("working");
    }

    std::unique_ptr<UpdaterProcess> start(std::string const& keyboards, std::string const& name = "updater",
                                          std::string const& program = kExecutable,
                                          std::vector<std::string> const& arguments = {})
    {
        std::string const simulation = folder.write(name + ".sim", keyboards);
        statePath = folder.at(name + "-state.json");
        UpdaterProcess::Setup setup;
        setup.program = program;
        setup.arguments = arguments;
        setup.workingFolder = working;
        setup.environment = {{"DISPLAY", s_display->display()},
                             {"XDG_RUNTIME_DIR", runtime},
                             {"VARANTO_PLATFORM_BACKEND", "desktop"},
                             {"VARANTO_USB_SIMULATION", simulation},
                             {"VARANTO_STATE_CHANNEL", statePath}};
        setup.outputFile = folder.at(name + ".log");
        setup.stopGrace = 5s;
        return std::make_unique<UpdaterProcess>(setup);
    }

    std::optional<UpdaterState> waitForState(std::function<bool(UpdaterState const&)> const& wanted,
                                             std::chrono::milliseconds limit)
    {
        auto const deadline = std::chrono::steady_clock::now() + limit;
        std::optional<UpdaterState> state;
        do {
            state = UpdaterState::read(statePath);
            if (state && wanted(*state))
                return state;
            std::this_thread::sleep_for(50ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return std::nullopt;
    }

    std::optional<UpdaterState> waitForPage(int page, std::chrono::milliseconds limit)
    {
        return waitForState([page](UpdaterState const& state) { return state.page() == page; }, limit);
    }

    // Clicks the middle of a shown widget, found by id in the last state.
    void clickWidget(WindowSystemDriver::WindowId window, std::string const& id)
    {
        auto const state = UpdaterState::read(statePath);
        ASSERT_TRUE(state);
        WidgetState const* widget = state->find(id);
        ASSERT_NE(widget, nullptr) << id;
        ASSERT_TRUE(widget->shown) << id;
        int width = 0, height = 0;
        ASSERT_TRUE(desktop->sizeOf(window, width, height));
        ASSERT_TRUE(desktop->click(window, widget->centreX(), height - kContentHeight + widget->centreY()));
    }

    static std::string valueStyled(UpdaterState const& state, std::string const& style)
    {
        for (auto const& widget : state.widgets())
            if (widget.style == style)
                return widget.text;
        return "<missing>";
    }

    // The step the progress wheel shows.
    static std::string wheelStep(UpdaterState const& state)
    {
        WidgetState const* wheel = state.find("FirmwareUpdaterSpinningProgressWheel");
        if (wheel == nullptr || wheel->attributes.count("step") == 0)
            return "<missing>";
        return wheel->attributes.at("step");
    }

    // The updater's window, once it shows; 0 when the process ends first or
    // the window does not appear.
    WindowSystemDriver::WindowId mainWindow(UpdaterProcess& updater)
    {
        auto const deadline = std::chrono::steady_clock::now() + 20s;
        while (updater.running() && std::chrono::steady_clock::now() < deadline) {
            if (WindowSystemDriver::WindowId const window = desktop->waitForWindow(kTitle, 200ms))
                return window;
        }
        ADD_FAILURE() << "the window did not appear";
        return 0;
    }

    // A dialog the updater shows above its window.
    WindowSystemDriver::WindowId waitForDialog(WindowSystemDriver::WindowId window)
    {
        auto const deadline = std::chrono::steady_clock::now() + 10s;
        do {
            auto const others = desktop->otherWindows(window);
            if (!others.empty())
                return others.back();
            std::this_thread::sleep_for(50ms);
        } while (std::chrono::steady_clock::now() < deadline);
        return 0;
    }

    static std::unique_ptr<test::PrivateXServer> s_display;
    test::TemporaryFolder folder{"varanto-desktop"};
    std::unique_ptr<WindowSystemDriver> desktop;
    std::string runtime, working, statePath;
};

std::unique_ptr<test::PrivateXServer> WholeRoadTest::s_display;

TEST_F(WholeRoadTest, WindowAppearsTitledWithAFixedContentArea)
{
    auto updater = start(demoKeyboard());
    WindowSystemDriver::WindowId const window = mainWindow(*updater);
    ASSERT_NE(window, 0u) << updater->output();
    EXPECT_EQ(desktop->titleOf(window), kTitle);
    // The menu bar above the content area; the window is fixed at its
    // whole size.
    int width = 0, height = 0;
    ASSERT_TRUE(desktop->sizeOf(window, width, height));
    EXPECT_EQ(width, kContentWidth);
    EXPECT_GT(height, kContentHeight);
    int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
    ASSERT_TRUE(desktop->sizeLimitsOf(window, minWidth, minHeight, maxWidth, maxHeight)) << "no size limits: resizable";
    EXPECT_EQ(minWidth, kContentWidth);
    EXPECT_EQ(maxWidth, kContentWidth);
    EXPECT_EQ(minHeight, height);
    EXPECT_EQ(maxHeight, height);
}

// The menu entry's StartupWMClass is the executable's name; started through
// a link of another name (as bin/ holds), the window keeps that class.
TEST_F(WholeRoadTest, TheWindowClassIsTheMenuEntrysHoweverTheProgramIsStarted)
{
    std::string const link = folder.at("varanto-mk2-firmware-updater");
    ASSERT_EQ(::symlink(kExecutable, link.c_str()), 0);
    auto updater = start(demoKeyboard(), "updater", link);
    WindowSystemDriver::WindowId const window = mainWindow(*updater);
    ASSERT_NE(window, 0u) << updater->output();
    EXPECT_EQ(desktop->classOf(window), std::string(VARANTO_APP_EXECUTABLE) + "/" + VARANTO_APP_EXECUTABLE);
}

TEST_F(WholeRoadTest, UpdatesTheDemoKeyboardToTheNewestFirmware)
{
    auto updater = start(demoKeyboard());
    WindowSystemDriver::WindowId const window = mainWindow(*updater);
    ASSERT_NE(window, 0u) << updater->output();
    auto const available = waitForPage(UpdateAvailable, 20s);
    ASSERT_TRUE(available) << updater->output();
    EXPECT_EQ(available->textOf(kActionButton), "UPDATE");
    EXPECT_EQ(valueStyled(*available, "FirmwareUpdaterInstalledFirmwareRevisionValue"), "0.5.8");

    clickWidget(window, kActionButton);
    ASSERT_TRUE(waitForPage(Updating, 10s)) << updater->output();
    auto const done = waitForPage(UpdateSuccessful, 60s);
    ASSERT_TRUE(done) << updater->output();
    EXPECT_EQ(valueStyled(*done, "FirmwareUpdaterInstalledFirmwareRevisionValue"), "0.5.9");
    EXPECT_EQ(valueStyled(*done, "FirmwareUpdaterNewestFirmwareRevisionValue"), "0.5.9");
    EXPECT_NE(done->textOf(kInfoLabel).find("was successfully updated"), std::string::npos);
    EXPECT_EQ(done->textOf(kQuitButton), "FINISH");

    clickWidget(window, kQuitButton);
    EXPECT_EQ(updater->waitForExit(20s), 0) << updater->output();
}

TEST_F(WholeRoadTest, AKeyboardThatArrivesLateIsFoundByRescan)
{
    auto updater = start(demoKeyboard() + "arrivesAfter = 3s\n");
    WindowSystemDriver::WindowId const window = mainWindow(*updater);
    ASSERT_NE(window, 0u) << updater->output();
    auto const empty = waitForPage(NoDeviceConnected, 20s);
    ASSERT_TRUE(empty) << updater->output();
    EXPECT_EQ(empty->textOf(kActionButton), "RESCAN");
    EXPECT_EQ(valueStyled(*empty, "FirmwareUpdaterInstalledFirmwareRevisionValue"), "-");

    auto const deadline = std::chrono::steady_clock::now() + 30s;
    std::optional<UpdaterState> found;
    while (!found && std::chrono::steady_clock::now() < deadline) {
        clickWidget(window, kActionButton);
        found = waitForPage(UpdateAvailable, 1s);
    }
    ASSERT_TRUE(found) << updater->output();
    EXPECT_EQ(valueStyled(*found, "FirmwareUpdaterSerialNumberValue"), "DEMO-SELA-0001");
}

TEST_F(WholeRoadTest, AFailureAtABlockShowsTheFailurePageWithItsErrorNumber)
{
    auto updater = start(demoKeyboard() + "stallAtBlock = 3\n");
    WindowSystemDriver::WindowId const window = mainWindow(*updater);
    ASSERT_NE(window, 0u) << updater->output();
    ASSERT_TRUE(waitForPage(UpdateAvailable, 20s)) << updater->output();
    clickWidget(window, kActionButton);
    auto const failed = waitForPage(UpdateFailed, 60s);
    ASSERT_TRUE(failed) << updater->output();
    EXPECT_NE(failed->textOf(kInfoLabel).find("(error -2)"), std::string::npos) << failed->textOf(kInfoLabel);
    EXPECT_EQ(failed->find("FirmwareUpdaterInfoPanel")->attributes.at("background"), "error");
}

TEST_F(WholeRoadTest, ControlQIsTheQuitCommand)
{
    auto updater = start(demoKeyboard());
    WindowSystemDriver::WindowId const window = mainWindow(*updater);
    ASSERT_NE(window, 0u) << updater->output();
    ASSERT_TRUE(waitForPage(UpdateAvailable, 20s)) << updater->output();
    ASSERT_TRUE(desktop->pressKeys(window, "ctrl+q"));
    auto const status = updater->waitForExit(20s);
    ASSERT_TRUE(status) << "did not end: " << updater->output();
    EXPECT_EQ(*status, 0) << updater->output();
}

// The state channel's commands reach the application the same way on the
// desktop as headless: a click on FINISH/QUIT through the probe ends it.
TEST_F(WholeRoadTest, TheStateProbesClickWorksOnTheDesktopToo)
{
    auto updater = start("");
    ASSERT_NE(mainWindow(*updater), 0u) << updater->output();
    ASSERT_TRUE(waitForPage(NoDeviceConnected, 20s)) << updater->output();
    std::ofstream(statePath + ".command") << "click " << kQuitButton << "\n";
    auto const status = updater->waitForExit(20s);
    ASSERT_TRUE(status) << "did not end: " << updater->output();
    EXPECT_EQ(*status, 0) << updater->output();
}

TEST_F(WholeRoadTest, AQuitDuringTheUpdateIsConfirmedAndWaitsForTheWorker)
{
    // A slow keyboard, so that the update is still writing when the window
    // is closed.
    auto updater = start(demoKeyboard() + "busyTime = 200ms\nbusyPollTimeout = 200\n");
    WindowSystemDriver::WindowId const window = mainWindow(*updater);
    ASSERT_NE(window, 0u) << updater->output();
    ASSERT_TRUE(waitForPage(UpdateAvailable, 20s)) << updater->output();
    clickWidget(window, kActionButton);
    ASSERT_TRUE(waitForPage(Updating, 10s)) << updater->output();

    // No: the question goes and the update goes on.
    desktop->requestClose(window);
    WindowSystemDriver::WindowId dialog = waitForDialog(window);
    ASSERT_NE(dialog, 0u) << "no quit question: " << updater->output();
    ASSERT_TRUE(desktop->pressKeys(dialog, "Return"));
    // The question goes and the wheel turns on, on the updating page. After
    // a Yes the quit would have said that it waits for the update before the
    // wheel turned again.
    std::string stepWithoutQuestion;
    auto const goesOn = waitForState(
        [&](UpdaterState const& state) {
            if (!desktop->otherWindows(window).empty() || state.page() != Updating)
                return false;
            if (stepWithoutQuestion.empty())
                stepWithoutQuestion = wheelStep(state);
            return wheelStep(state) != stepWithoutQuestion;
        },
        10s);
    ASSERT_TRUE(goesOn) << "the question stayed or the update stood still: " << updater->output();
    EXPECT_TRUE(updater->running()) << updater->output();
    EXPECT_EQ(updater->output().find("waiting for the firmware update to end"), std::string::npos) << updater->output();

    // Yes: the process ends, after the worker has ended.
    desktop->requestClose(window);
    dialog = waitForDialog(window);
    ASSERT_NE(dialog, 0u) << updater->output();
    ASSERT_TRUE(desktop->pressKeys(dialog, "shift+Tab Return"));
    auto const status = updater->waitForExit(60s);
    ASSERT_TRUE(status) << "did not end: " << updater->output();
    EXPECT_EQ(*status, 0) << updater->output();
    std::string const said = updater->output();
    auto const waiting = said.find("waiting for the firmware update to end");
    auto const ended = said.find("the firmware update ended");
    EXPECT_NE(waiting, std::string::npos) << said;
    EXPECT_NE(ended, std::string::npos) << said;
    EXPECT_LT(waiting, ended) << said;
}

TEST_F(WholeRoadTest, ASecondCopySaysTheUpdaterIsAlreadyRunningAndEnds)
{
    auto first = start(demoKeyboard(), "first");
    WindowSystemDriver::WindowId const window = mainWindow(*first);
    ASSERT_NE(window, 0u) << first->output();

    auto second = start(demoKeyboard(), "second");
    auto const status = second->waitForExit(20s);
    ASSERT_TRUE(status) << "the second copy is still running";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(second->output(), "Varanto MK2 Firmware Updater is already running.\n");
    EXPECT_TRUE(desktop->otherWindows(window).empty()) << "the second copy showed a window";
    EXPECT_TRUE(first->running());
}

// A document named on the command line is opened once at the start, and
// the launch activates the application; the focus leaving the window for
// another program deactivates it, the focus coming back (as a click gives
// it) activates it again.
TEST_F(WholeRoadTest, ADocumentArgumentIsOpenedOnceAndAnotherProgramsFocusDeactivatesTheApplication)
{
    auto updater = start("", "updater", kExecutable, {folder.write("notes.txt", "notes")});
    WindowSystemDriver::WindowId const window = mainWindow(*updater);
    ASSERT_NE(window, 0u) << updater->output();
    auto heard = [this](std::vector<unsigned> const& events) {
        return waitForState([&](UpdaterState const& state) { return state.applicationEvents() == events; }, 30s)
            .has_value();
    };
    auto said = [this, &updater] {
        std::string text;
        if (auto const state = UpdaterState::read(statePath))
            for (unsigned const code : state->applicationEvents())
                text += std::to_string(code) + " ";
        return "events heard: " + text + "\n" + updater->output();
    };

    std::vector<unsigned> events{kOpenFile, kAppActivated};
    ASSERT_TRUE(heard(events)) << said();

    test::ForeignXWindow other(s_display->display());
    ASSERT_TRUE(other.shown());
    for (unsigned const expected : {kAppDeactivated, kAppActivated, kAppDeactivated}) {
        if (expected == kAppActivated)
            other.giveFocusTo(window);
        else
            other.takeFocus();
        events.push_back(expected);
        ASSERT_TRUE(heard(events)) << said();
    }
}

} // namespace
} // namespace CV::desktop_test
