// The keyboard focus as a user who launches the updater expects it, with
// and without a window manager: the window takes the focus from another
// program at the start (its keys work at once), and a second launch says
// that the updater is already running and brings the first one's window
// back to the front with the focus, restoring it when it was minimised.
#include "WindowSystemDriver.h"

#include <VarantoTest/ChildProcess.h>
#include <VarantoTest/DesktopUnavailable.h>
#include <VarantoTest/PrivateXServer.h>
#include <VarantoTest/TemporaryFolder.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

// Xlib's macros (None, Bool, ...) after every other header.
#include <VarantoTest/ForeignXWindow.h>

#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace CV::desktop_test {
namespace {

using namespace std::chrono_literals;
using test::ChildProcess;

constexpr char const* kTitle = "Varanto MK2 Firmware Updater";
constexpr char const* kExecutable = VARANTO_BUNDLE_DIR "/Contents/MacOS/" VARANTO_APP_EXECUTABLE;
constexpr char const* kAlreadyRunning = "Varanto MK2 Firmware Updater is already running.\n";
constexpr auto kLimit = 30s;

std::string demoKeyboard()
{
    std::ifstream in(VARANTO_SOURCE_DIR "/usx2/sim/demo.sim");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The program's path when it is on the search path; empty when not.
std::string programOnPath(std::string const& name)
{
    char const* path = std::getenv("PATH");
    std::istringstream folders(path != nullptr ? path : "");
    for (std::string folder; std::getline(folders, folder, ':');)
        if (!folder.empty() && ::access((folder + "/" + name).c_str(), X_OK) == 0)
            return folder + "/" + name;
    return {};
}

bool waitFor(std::function<bool()> const& done, std::chrono::milliseconds limit = kLimit)
{
    auto const deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// The test's own look at the X server: windows by title anywhere in the
// tree (a window manager puts them into frames of its own), the keyboard
// focus and a window's last user time.
class XLook {
public:
    explicit XLook(test::PrivateXServer const& server)
        : m_display(XOpenDisplay(server.display().c_str()))
        , m_windows(server)
    {
        if (m_display == nullptr)
            return;
        // Startup-notification messages go to the root window.
        XSelectInput(m_display, DefaultRootWindow(m_display), PropertyChangeMask);
        m_clock = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
        XSelectInput(m_display, m_clock, PropertyChangeMask);
    }
    ~XLook()
    {
        if (m_display != nullptr)
            XCloseDisplay(m_display);
    }
    XLook(XLook const&) = delete;
    XLook& operator=(XLook const&) = delete;

    bool connected() const { return m_display != nullptr && m_windows.connected(); }

    // The shown window with this title; 0 when there is none.
    Window findWindow(std::string const& title) { return findBelow(DefaultRootWindow(m_display), title); }

    Window focus()
    {
        Window focused = 0;
        int revert = 0;
        XGetInputFocus(m_display, &focused, &revert);
        return focused;
    }

    // Whether the focus is on window or inside it.
    bool hasFocus(Window window)
    {
        for (Window at = focus(); at != 0 && at != PointerRoot;) {
            if (at == window)
                return true;
            Window root = 0, parent = 0;
            Window* children = nullptr;
            unsigned count = 0;
            if (!XQueryTree(m_display, at, &root, &parent, &children, &count))
                return false;
            if (children != nullptr)
                XFree(children);
            at = parent == root ? 0 : parent;
        }
        return false;
    }

    // _NET_WM_USER_TIME of the window (or of the window it names for it);
    // none when it has none.
    std::optional<unsigned long> userTime(Window window)
    {
        Window const timeWindow = cardinal(window, "_NET_WM_USER_TIME_WINDOW", XA_WINDOW).value_or(0);
        if (timeWindow != 0)
            if (std::optional<unsigned long> const time = cardinal(timeWindow, "_NET_WM_USER_TIME", XA_CARDINAL))
                return time;
        return cardinal(window, "_NET_WM_USER_TIME", XA_CARDINAL);
    }

    // The X server's time now.
    unsigned long serverTime()
    {
        Atom const property = XInternAtom(m_display, "VARANTO_TEST_CLOCK", False);
        unsigned char const nothing = 0;
        XChangeProperty(m_display, m_clock, property, XA_STRING, 8, PropModeReplace, &nothing, 0);
        XEvent event;
        XWindowEvent(m_display, m_clock, PropertyChangeMask, &event);
        return event.xproperty.time;
    }

    // Whether a startup-notification message "remove" with this id has
    // come (the launcher's busy feedback for that launch ends).
    bool heardStartupRemoved(std::string const& id)
    {
        Atom const begin = XInternAtom(m_display, "_NET_STARTUP_INFO_BEGIN", False);
        Atom const more = XInternAtom(m_display, "_NET_STARTUP_INFO", False);
        XEvent event;
        while (XCheckTypedEvent(m_display, ClientMessage, &event)) {
            XClientMessageEvent const& message = event.xclient;
            if (message.format != 8 || (message.message_type != begin && message.message_type != more))
                continue;
            std::string& text = m_startupMessages[message.window];
            if (message.message_type == begin)
                text.clear();
            std::size_t length = 0;
            while (length < 20 && message.data.b[length] != '\0')
                ++length;
            text.append(message.data.b, length);
            if (length < 20) {
                m_startupDone.push_back(text);
                text.clear();
            }
        }
        for (std::string const& done : m_startupDone)
            if (done.rfind("remove:", 0) == 0 &&
                (done.find("ID=\"" + id + "\"") != std::string::npos || done.find("ID=" + id) != std::string::npos))
                return true;
        return false;
    }

    // The ICCCM state the window manager gave the window (WM_STATE):
    // NormalState, IconicState, or WithdrawnState when it has none.
    long wmState(Window window)
    {
        Atom const property = XInternAtom(m_display, "WM_STATE", False);
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        long state = WithdrawnState;
        if (XGetWindowProperty(m_display, window, property, 0, 2, False, property, &type, &format, &count, &after,
                               &data) == Success &&
            data != nullptr && type == property && format == 32 && count >= 1)
            state = *reinterpret_cast<long const*>(data);
        if (data != nullptr)
            XFree(data);
        return state;
    }

    // Asks the window manager to minimise the window, as its title bar's
    // button does (ICCCM WM_CHANGE_STATE).
    void minimise(Window window)
    {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(m_display, "WM_CHANGE_STATE", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = IconicState;
        XSendEvent(m_display, DefaultRootWindow(m_display), False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &event);
        XFlush(m_display);
    }

    // Whether a window manager has taken the screen and manages new
    // windows: one that maps a window of ours (it may miss the first
    // requests while it starts, so the window is mapped again).
    bool windowManagerRuns()
    {
        Window const root = DefaultRootWindow(m_display);
        if (!cardinal(root, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW))
            return false;
        Window const probe = XCreateSimpleWindow(m_display, root, 0, 0, 10, 10, 0, 0, 0);
        XSelectInput(m_display, probe, StructureNotifyMask);
        XMapWindow(m_display, probe);
        XSync(m_display, False);
        bool mapped = false;
        for (int look = 0; look < 25 && !mapped; ++look) {
            std::this_thread::sleep_for(20ms);
            XEvent event;
            mapped = XCheckTypedWindowEvent(m_display, probe, MapNotify, &event);
        }
        XDestroyWindow(m_display, probe);
        XSync(m_display, False);
        return mapped;
    }

private:
    Window findBelow(Window parent, std::string const& title)
    {
        Window root = 0, above = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_display, parent, &root, &above, &children, &count))
            return 0;
        Window found = 0;
        for (unsigned i = 0; i < count && found == 0; ++i) {
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(m_display, children[i], &attributes) || attributes.map_state != IsViewable)
                continue;
            found = m_windows.titleOf(children[i]) == title ? children[i] : findBelow(children[i], title);
        }
        if (children != nullptr)
            XFree(children);
        return found;
    }

    std::optional<unsigned long> cardinal(Window window, char const* property, Atom wanted)
    {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        std::optional<unsigned long> value;
        if (XGetWindowProperty(m_display, window, XInternAtom(m_display, property, False), 0, 1, False, wanted, &type,
                               &format, &count, &after, &data) == Success &&
            data != nullptr && type == wanted && format == 32 && count == 1)
            value = *reinterpret_cast<unsigned long const*>(data);
        if (data != nullptr)
            XFree(data);
        return value;
    }

    Display* m_display = nullptr;
    WindowSystemDriver m_windows; // reads the titles
    Window m_clock = 0;
    std::map<Window, std::string> m_startupMessages;
    std::vector<std::string> m_startupDone;
};

enum class Desktop { WithoutWindowManager, WithWindowManager };

std::string nameOf(::testing::TestParamInfo<Desktop> const& info)
{
    return info.param == Desktop::WithWindowManager ? "WithWindowManager" : "WithoutWindowManager";
}

void PrintTo(Desktop desktop, std::ostream* out)
{
    *out << (desktop == Desktop::WithWindowManager ? "openbox" : "no window manager");
}

class LaunchFocusTest : public ::testing::TestWithParam<Desktop> {
protected:
    void SetUp() override
    {
        server = std::make_unique<test::PrivateXServer>();
        if (!server->running())
            VARANTO_DESKTOP_UNAVAILABLE() << server->failure();
        look = std::make_unique<XLook>(*server);
        ASSERT_TRUE(look->connected());
        if (GetParam() == Desktop::WithWindowManager)
            startWindowManager();
        // The single-instance lock and the socket beside it live here.
        runtime = folder.folder("runtime");
        ::chmod(runtime.c_str(), 0700);
        working = folder.folder("working");
        other = std::make_unique<test::ForeignXWindow>(server->display());
        ASSERT_TRUE(other->shown());
        other->takeFocus();
        ASSERT_TRUE(waitFor([&] { return look->focus() == other->window(); }));
    }

    void startWindowManager()
    {
        std::string const program = programOnPath("openbox");
        if (program.empty())
            VARANTO_DESKTOP_UNAVAILABLE() << "openbox is not installed";
        ChildProcess::Setup setup;
        setup.program = program;
        setup.arguments = {"--sm-disable"};
        setup.workingFolder = folder.string();
        setup.environment = {{"DISPLAY", server->display()}};
        setup.outputFile = folder.at("openbox.log");
        windowManager = std::make_unique<ChildProcess>(setup);
        ASSERT_TRUE(waitFor([&] { return look->windowManagerRuns(); })) << windowManager->output();
    }

    // startupId: the launcher's startup-notification id, if any.
    std::unique_ptr<ChildProcess> start(std::string const& name, std::string const& startupId = "")
    {
        ChildProcess::Setup setup;
        setup.program = kExecutable;
        setup.workingFolder = working;
        setup.environment = {{"DISPLAY", server->display()},
                             {"XDG_RUNTIME_DIR", runtime},
                             {"VARANTO_PLATFORM_BACKEND", "desktop"},
                             {"VARANTO_USB_SIMULATION", folder.write(name + ".sim", demoKeyboard())},
                             {"DESKTOP_STARTUP_ID", startupId}};
        setup.outputFile = folder.at(name + ".out");
        setup.errorFile = folder.at(name + ".err");
        setup.stopGrace = 5s;
        return std::make_unique<ChildProcess>(setup);
    }

    // The updater's window, once shown; 0 when it does not show.
    Window windowOf(ChildProcess& updater)
    {
        Window window = 0;
        waitFor([&] { return !updater.running() || (window = look->findWindow(kTitle)) != 0; });
        return window;
    }

    test::TemporaryFolder folder{"varanto-focus"};
    std::unique_ptr<test::PrivateXServer> server;
    std::unique_ptr<XLook> look;
    std::unique_ptr<ChildProcess> windowManager;
    std::unique_ptr<test::ForeignXWindow> other;
    std::string runtime, working;
};

TEST_P(LaunchFocusTest, TheWindowTakesTheFocusFromAnotherProgramAtTheStart)
{
    auto updater = start("updater");
    Window const window = windowOf(*updater);
    ASSERT_NE(window, 0u) << updater->errors();
    EXPECT_TRUE(waitFor([&] { return look->hasFocus(window); }))
        << "the focus is on " << look->focus() << ", the window is " << window << ", the other program's "
        << other->window();
    std::optional<unsigned long> const userTime = look->userTime(window);
    ASSERT_TRUE(userTime) << "no _NET_WM_USER_TIME";
    EXPECT_NE(*userTime, 0u);
}

// A launcher's startup notification: the window's last user time is the
// launch's, and the notification is completed.
TEST_P(LaunchFocusTest, TheLaunchersStartupNotificationGivesTheTimeAndIsCompleted)
{
    std::string const id = "focus-test-1_TIME" + std::to_string(look->serverTime());
    auto updater = start("updater", id);
    Window const window = windowOf(*updater);
    ASSERT_NE(window, 0u) << updater->errors();
    EXPECT_TRUE(waitFor([&] { return look->hasFocus(window); }));
    EXPECT_EQ(look->userTime(window), std::stoul(id.substr(id.rfind("_TIME") + 5)));
    EXPECT_TRUE(waitFor([&] { return look->heardStartupRemoved(id); }));
}

TEST_P(LaunchFocusTest, ASecondLaunchSaysSoAndTheFirstWindowComesBackWithTheFocus)
{
    auto first = start("first");
    Window const window = windowOf(*first);
    ASSERT_NE(window, 0u) << first->errors();
    ASSERT_TRUE(waitFor([&] { return look->hasFocus(window); })) << first->errors();
    other->takeFocus();
    ASSERT_TRUE(waitFor([&] { return look->focus() == other->window(); }));

    // The second launch's startup notification ends with the first's
    // window coming forward: the second copy shows none.
    std::string const id = "focus-test-2_TIME" + std::to_string(look->serverTime());
    auto second = start("second", id);
    std::optional<int> const status = second->waitForExit(kLimit);
    ASSERT_TRUE(status) << "the second copy is still running";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(second->errors(), kAlreadyRunning);
    EXPECT_EQ(second->output(), "");
    EXPECT_TRUE(waitFor([&] { return look->hasFocus(window); }))
        << "the focus is on " << look->focus() << ", the first's window is " << window;
    EXPECT_TRUE(waitFor([&] { return look->heardStartupRemoved(id); }));
    EXPECT_EQ(look->userTime(window), std::stoul(id.substr(id.rfind("_TIME") + 5)));
    EXPECT_TRUE(first->running());
}

// Minimising needs a window manager.
TEST_P(LaunchFocusTest, ASecondLaunchRestoresAMinimisedWindowWithTheFocus)
{
    if (GetParam() == Desktop::WithoutWindowManager)
        GTEST_SKIP() << "without a window manager no window can be minimised";
    auto first = start("first");
    Window const window = windowOf(*first);
    ASSERT_NE(window, 0u) << first->errors();
    ASSERT_TRUE(waitFor([&] { return look->hasFocus(window); })) << first->errors();
    look->minimise(window);
    ASSERT_TRUE(waitFor([&] { return look->wmState(window) == IconicState && !look->hasFocus(window); }))
        << "the window manager did not minimise the window";

    auto second = start("second");
    std::optional<int> const status = second->waitForExit(kLimit);
    ASSERT_TRUE(status) << "the second copy is still running";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(second->errors(), kAlreadyRunning);
    EXPECT_TRUE(waitFor([&] { return look->wmState(window) == NormalState; }))
        << "WM_STATE is " << look->wmState(window) << " (1 normal, 3 iconic)";
    EXPECT_TRUE(waitFor([&] { return look->hasFocus(window); }))
        << "the focus is on " << look->focus() << ", the first's window is " << window;
    EXPECT_TRUE(first->running());
}

INSTANTIATE_TEST_SUITE_P(Desktops, LaunchFocusTest,
                         ::testing::Values(Desktop::WithoutWindowManager, Desktop::WithWindowManager), nameOf);

} // namespace
} // namespace CV::desktop_test
