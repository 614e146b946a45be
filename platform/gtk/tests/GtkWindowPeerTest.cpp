// The desktop window on a private X server: what it shows (read back from
// the screen), the input xdotool sends through the X server, size hints and
// close requests as a window manager sends them.
#include "DesktopBackendSession.h"

#include "platform/backend/Backend.h"
#include "platform/gtk/GtkWindowPeer.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Xlib's macros (None, Bool, ...) after every other header.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>

namespace {

using namespace platform;
using desktop_test::DesktopBackendSession;
using desktop_test::pumpUntil;
using desktop_test::Screenshot;
using desktop_test::sendCloseRequest;
using platform::gtk::GtkWindowPeer;

std::string hex(std::uint64_t value)
{
    char text[24];
    std::snprintf(text, sizeof text, "%#llx", static_cast<unsigned long long>(value));
    return text;
}

// A window's clients that write down what reaches them and paint what a
// test asks for.
class RecordingClient : public peer::WindowClient, public peer::ViewInputClient {
public:
    std::vector<std::string> log;
    std::function<void(CGContextRef, double width, double height)> painter;
    peer::Size size;
    bool allowClose = true;
    double minimumWidth = 0;
    std::function<void()> onClosed;
    int draws = 0;
    bool focused = false;

    // The entries that start with prefix, in order.
    std::vector<std::string> entries(const std::string& prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& entry : log)
            if (entry.compare(0, prefix.size(), prefix) == 0)
                found.push_back(entry);
        return found;
    }

    void windowMoved(peer::Point) override { log.push_back("moved"); }
    peer::Size windowWillResize(peer::Size proposed) override
    {
        log.push_back("will-resize " + std::to_string(int(proposed.width)) + "x" +
                      std::to_string(int(proposed.height)));
        return peer::Size{std::max(proposed.width, minimumWidth), proposed.height};
    }
    void windowResized(peer::Size content) override
    {
        size = content;
        log.push_back("resized " + std::to_string(int(content.width)) + "x" + std::to_string(int(content.height)));
    }
    bool windowShouldClose() override
    {
        log.push_back("should-close");
        return allowClose;
    }
    void windowClosed() override
    {
        log.push_back("closed");
        if (onClosed)
            onClosed();
    }
    void windowFocusChanged(bool isFocused) override { focused = isFocused; }
    void windowMinimizedChanged(bool) override { }
    void windowBackingScaleChanged(double scale) override { log.push_back("scale " + std::to_string(int(scale))); }
    void draw(CGContextRef context, const peer::Rect&) override
    {
        ++draws;
        if (painter)
            painter(context, size.width, size.height);
    }

    void mouseButton(const peer::MouseButtonInput& input) override
    {
        log.push_back(std::string(input.down ? "down " : "up ") + std::to_string(input.button) + " x" +
                      std::to_string(input.clickCount) + " " + hex(input.modifiers));
    }
    void mouseMotion(const peer::MouseMotionInput& input) override
    {
        if (input.buttons)
            log.push_back("drag " + std::to_string(input.buttons));
    }
    void mouseCrossing(bool entered, peer::Point, std::uint64_t) override
    {
        log.push_back(entered ? "enter" : "leave");
    }
    void wheel(const peer::WheelInput& input) override
    {
        log.push_back("wheel " + std::to_string(int(input.deltaX)) + " " + std::to_string(int(input.deltaY)));
    }
    void key(const peer::KeyInput& input) override
    {
        log.push_back(std::string(input.down ? "keydown " : "keyup ") + std::to_string(input.keyCode) + " '" +
                      input.characters + "' '" + input.charactersIgnoringModifiers + "' " + hex(input.modifiers));
    }
    void modifiersChanged(std::uint64_t modifiers) override { log.push_back("flags " + hex(modifiers)); }
    void text(const peer::TextInput& input) override
    {
        log.push_back((input.committed ? "text '" : "marked '") + input.text + "'");
    }
};

// Red everywhere, a green 20x10 block at the top-left and a blue 30x15
// block at the bottom-right (in the top-down view a user has).
void paintKnownPicture(CGContextRef context, double width, double height)
{
    CGContextSetRGBFillColor(context, 1, 0, 0, 1);
    CGContextFillRect(context, CGRectMake(0, 0, width, height));
    CGContextSetRGBFillColor(context, 0, 1, 0, 1);
    CGContextFillRect(context, CGRectMake(0, height - 10, 20, 10));
    CGContextSetRGBFillColor(context, 0, 0, 1, 1);
    CGContextFillRect(context, CGRectMake(width - 30, 0, 30, 15));
}

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

class DesktopWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!DesktopBackendSession::instance().ready())
            VARANTO_DESKTOP_UNAVAILABLE() << DesktopBackendSession::instance().failure();
    }
    void TearDown() override { m_peer.reset(); }

    GtkWindowPeer& open(peer::Rect content, bool resizable = true)
    {
        peer::WindowSpec spec;
        spec.content = content;
        spec.resizable = resizable;
        m_client.size = peer::Size{content.width, content.height};
        m_peer = Backend::current().createWindow(spec, peer::WindowClients{&m_client, &m_client, nullptr});
        return dynamic_cast<GtkWindowPeer&>(*m_peer);
    }

    // Shows the window with the focus and waits until it is on the screen,
    // painted and focused.
    void showAndWait(GtkWindowPeer& window)
    {
        window.show(true);
        ASSERT_TRUE(pumpUntil([&] { return m_client.draws > 0 && m_client.focused; }))
            << "draws " << m_client.draws << ", focused " << m_client.focused;
        gdk_display_sync(gdk_display_get_default());
    }

    // Runs xdotool and then the loop until the client has count entries
    // starting with prefix.
    ::testing::AssertionResult xdotool(std::vector<std::string> arguments, const std::string& prefix, std::size_t count)
    {
        const int status = DesktopBackendSession::instance().server().run(CV::test::xdotool::command({arguments}));
        if (status != 0)
            return ::testing::AssertionFailure() << "xdotool exited with " << status;
        if (!pumpUntil([&] { return m_client.entries(prefix).size() >= count; })) {
            ::testing::AssertionResult failure = ::testing::AssertionFailure();
            failure << "only " << m_client.entries(prefix).size() << " '" << prefix << "' entries in:";
            for (const std::string& entry : m_client.log)
                failure << "\n  " << entry;
            return failure;
        }
        return ::testing::AssertionSuccess();
    }

    static peer::Point originOnScreen(const GtkWindowPeer& window)
    {
        int x = 0, y = 0;
        gdk_window_get_origin(gtk_widget_get_window(window.contentArea()), &x, &y);
        return peer::Point{double(x), double(y)};
    }

    // xdotool's words that move the pointer to (x, y) in the content.
    static std::vector<std::string> moveTo(const GtkWindowPeer& window, double x, double y)
    {
        const peer::Point origin = originOnScreen(window);
        return CV::test::xdotool::moveTo(int(origin.x + x), int(origin.y + y));
    }

    static std::vector<std::string> join(std::vector<std::string> first, const std::vector<std::string>& second)
    {
        first.insert(first.end(), second.begin(), second.end());
        return first;
    }

    RecordingClient m_client;
    std::unique_ptr<peer::WindowPeer> m_peer;
};

using GtkWindowPeerTest = DesktopWindowTest;

class GtkWindowPeerScaledTest : public DesktopWindowTest {
protected:
    void SetUp() override
    {
        DesktopWindowTest::SetUp();
        if (!IsSkipped())
            DesktopBackendSession::setScale(2);
    }
    void TearDown() override
    {
        DesktopWindowTest::TearDown();
        if (DesktopBackendSession::instance().ready())
            DesktopBackendSession::setScale(1);
    }
};

TEST_F(GtkWindowPeerTest, ShowsThePaintedPictureUprightWhereTheContentIs)
{
    GtkWindowPeer& window = open(peer::Rect{100, 80, 300, 200});
    m_client.painter = paintKnownPicture;
    showAndWait(window);
    EXPECT_EQ(originOnScreen(window), (peer::Point{100, 80}));
    EXPECT_EQ(window.backingScale(), 1.0);

    Screenshot shot(100, 80, 300, 200);
    ASSERT_TRUE(shot.valid());
    shot.save("gtk-window-peer-scale1.png");
    EXPECT_EQ(shot.pixel(5, 5), kGreen);
    EXPECT_EQ(shot.pixel(19, 9), kGreen);
    EXPECT_EQ(shot.pixel(20, 5), kRed);
    EXPECT_EQ(shot.pixel(5, 10), kRed);
    EXPECT_EQ(shot.pixel(150, 100), kRed);
    EXPECT_EQ(shot.pixel(299, 199), kBlue);
    EXPECT_EQ(shot.pixel(270, 185), kBlue);
    EXPECT_EQ(shot.pixel(269, 199), kRed);
}

TEST_F(GtkWindowPeerTest, RepaintsOnlyWhatWasInvalidatedAndKeepsTheRest)
{
    GtkWindowPeer& window = open(peer::Rect{60, 60, 200, 100});
    m_client.painter = paintKnownPicture;
    showAndWait(window);

    // Now the client paints everything blue, but only the left half is
    // invalid: the right half keeps the earlier picture.
    m_client.painter = [](CGContextRef context, double width, double height) {
        CGContextSetRGBFillColor(context, 0, 0, 1, 1);
        CGContextFillRect(context, CGRectMake(0, 0, width, height));
    };
    const int before = m_client.draws;
    window.invalidate({peer::Rect{0, 0, 100, 100}});
    ASSERT_TRUE(pumpUntil([&] { return m_client.draws > before; }));
    gdk_display_sync(gdk_display_get_default());
    ASSERT_TRUE(pumpUntil([&] { return Screenshot(60, 60, 200, 100).pixel(50, 50) == kBlue; }));
    Screenshot shot(60, 60, 200, 100);
    EXPECT_EQ(shot.pixel(5, 5), kBlue);
    EXPECT_EQ(shot.pixel(150, 50), kRed);
}

TEST_F(GtkWindowPeerTest, AFixedWindowHasExactlyItsContentSizeAndSaysSoToTheWindowManager)
{
    GtkWindowPeer& window = open(peer::Rect{20, 20, 627, 335}, false);
    showAndWait(window);
    EXPECT_EQ(gtk_widget_get_allocated_width(window.contentArea()), 627);
    EXPECT_EQ(gtk_widget_get_allocated_height(window.contentArea()), 335);
    EXPECT_EQ(window.contentFrame(), (peer::Rect{20, 20, 627, 335}));

    const std::optional<desktop_test::SizeLimits> limits = desktop_test::sizeLimits(window.window());
    ASSERT_TRUE(limits);
    EXPECT_EQ(limits->minWidth, 627);
    EXPECT_EQ(limits->maxWidth, 627);
    EXPECT_EQ(limits->minHeight, 335);
    EXPECT_EQ(limits->maxHeight, 335);
}

TEST_F(GtkWindowPeerTest, MovesAndResizesFromOutsideAreReportedAndTheClientHasItsSay)
{
    GtkWindowPeer& window = open(peer::Rect{40, 40, 400, 200});
    m_client.minimumWidth = 300;
    m_client.painter = paintKnownPicture;
    showAndWait(window);
    const std::string xid = std::to_string(gdk_x11_window_get_xid(gtk_widget_get_window(window.window())));

    ASSERT_TRUE(xdotool({"windowmove", "--sync", xid, "120", "90"}, "moved", 1));
    EXPECT_EQ(window.contentFrame(), (peer::Rect{120, 90, 400, 200}));

    // Too narrow for the client: it asks for its minimum width instead.
    ASSERT_TRUE(xdotool({"windowsize", xid, "200", "150"}, "resized", 1));
    EXPECT_EQ(m_client.entries("will-resize").front(), "will-resize 200x150");
    EXPECT_EQ(m_client.entries("resized"), (std::vector<std::string>{"resized 300x150"}));
    EXPECT_EQ(window.contentFrame(), (peer::Rect{120, 90, 300, 150}));
    EXPECT_EQ(window.backingScale(), 1.0);

    // The new size is painted whole.
    ASSERT_TRUE(pumpUntil([&] { return Screenshot(120, 90, 300, 150).pixel(299, 149) == kBlue; }));
    Screenshot shot(120, 90, 300, 150);
    EXPECT_EQ(shot.pixel(5, 5), kGreen);
    EXPECT_EQ(shot.pixel(150, 75), kRed);
}

TEST_F(GtkWindowPeerTest, ClicksAreCountedByTheToolkitsDoubleClickSettings)
{
    GtkWindowPeer& window = open(peer::Rect{40, 40, 300, 200});
    showAndWait(window);
    // A generous double-click time: the test must not depend on speed.
    g_object_set(gtk_widget_get_settings(window.contentArea()), "gtk-double-click-time", 5000,
                 "gtk-double-click-distance", 5, nullptr);

    ASSERT_TRUE(xdotool(join(moveTo(window, 50, 40), CV::test::xdotool::click(1, 2)), "up", 2));
    // Far from the first: a new series; then the right button.
    ASSERT_TRUE(xdotool(join(moveTo(window, 150, 120), {"click", "1", "click", "3"}), "up", 4));
    EXPECT_EQ(m_client.entries("down"),
              (std::vector<std::string>{"down 0 x1 0", "down 0 x2 0", "down 0 x1 0", "down 1 x1 0"}));
    EXPECT_EQ(m_client.entries("up"), (std::vector<std::string>{"up 0 x1 0", "up 0 x2 0", "up 0 x1 0", "up 1 x1 0"}));
    EXPECT_EQ(m_client.entries("enter").size(), 1u);
}

TEST_F(GtkWindowPeerTest, WheelTurnsDragsAndCrossingsArriveInThePlatformsTerms)
{
    GtkWindowPeer& window = open(peer::Rect{40, 40, 300, 200});
    showAndWait(window);

    // Buttons 4 and 5 turn the wheel up and down, 6 and 7 left and right.
    ASSERT_TRUE(
        xdotool(join(moveTo(window, 100, 100), {"click", "4", "click", "5", "click", "6", "click", "7"}), "wheel", 4));
    EXPECT_EQ(m_client.entries("wheel"),
              (std::vector<std::string>{"wheel 0 1", "wheel 0 -1", "wheel 1 0", "wheel -1 0"}));

    ASSERT_TRUE(xdotool({"mousedown", "1", "mousemove_relative", "--sync", "10", "5", "mouseup", "1"}, "up", 1));
    EXPECT_FALSE(m_client.entries("drag 1").empty());

    ASSERT_TRUE(xdotool({"mousemove", "--sync", "2", "2"}, "leave", 1));
}

TEST_F(GtkWindowPeerTest, KeysCarryVirtualKeyCodesCharactersAndModifierFlags)
{
    GtkWindowPeer& window = open(peer::Rect{40, 40, 300, 200});
    showAndWait(window);

    ASSERT_TRUE(xdotool({"keydown", "ctrl", "key", "q", "keyup", "ctrl"}, "flags", 2));
    EXPECT_EQ(m_client.log,
              (std::vector<std::string>{"flags 0x100000", "keydown 12 'q' 'q' 0x100000", "keyup 12 'q' 'q' 0x100000",
                                        "flags 0"}));
    m_client.log.clear();

    ASSERT_TRUE(xdotool({"key", "shift+a", "Return", "BackSpace", "Up"}, "keyup", 4));
    const std::vector<std::string> downs = m_client.entries("keydown");
    ASSERT_EQ(downs.size(), 4u);
    EXPECT_EQ(downs[0], "keydown 0 'A' 'A' 0x20000");
    EXPECT_EQ(downs[1], "keydown 36 '\r' '\r' 0");
    EXPECT_EQ(downs[2], "keydown 51 '\x7f' '\x7f' 0");
    EXPECT_EQ(downs[3], "keydown 126 '\xef\x9c\x80' '\xef\x9c\x80' 0xa00000"); // U+F700, numeric pad + function
}

// Puts a key symbol on a key the server's keyboard leaves empty, for as
// long as it lives, and waits until the toolkit knows of it.
class ExtraKey {
public:
    explicit ExtraKey(KeySym symbol)
        : m_display(gdk_x11_display_get_xdisplay(gdk_display_get_default()))
    {
        int first = 0, last = 0, perCode = 0;
        XDisplayKeycodes(m_display, &first, &last);
        KeySym* map = XGetKeyboardMapping(m_display, KeyCode(first), last - first + 1, &perCode);
        for (int code = last; code >= first && !m_code; --code) {
            bool empty = true;
            for (int i = 0; i < perCode; ++i)
                empty = empty && map[(code - first) * perCode + i] == NoSymbol;
            if (empty)
                m_code = code;
        }
        XFree(map);
        if (!m_code)
            return;
        KeySym symbols[] = {symbol};
        XChangeKeyboardMapping(m_display, m_code, 1, symbols, 1);
        XSync(m_display, False);
        m_ready = pumpUntil([symbol] {
            GdkKeymapKey* keys = nullptr;
            gint count = 0;
            const bool known = gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gdk_display_get_default()),
                                                                 guint(symbol), &keys, &count);
            g_free(keys);
            return known;
        });
    }
    ~ExtraKey()
    {
        if (!m_code)
            return;
        KeySym none[] = {NoSymbol};
        XChangeKeyboardMapping(m_display, m_code, 1, none, 1);
        XSync(m_display, False);
    }
    ExtraKey(const ExtraKey&) = delete;
    ExtraKey& operator=(const ExtraKey&) = delete;

    bool ready() const { return m_ready; }

private:
    Display* m_display;
    int m_code = 0;
    bool m_ready = false;
};

TEST_F(GtkWindowPeerTest, ADeadAccentComposesWithTheNextKeyIntoCommittedText)
{
    GtkWindowPeer& window = open(peer::Rect{40, 40, 300, 200});
    showAndWait(window);
    ExtraKey deadAcute(XStringToKeysym("dead_acute"));
    ASSERT_TRUE(deadAcute.ready());

    // The accent shows as marked text; the letter commits the composed one.
    ASSERT_TRUE(xdotool({"key", "dead_acute", "e"}, "text", 1));
    EXPECT_EQ(m_client.log,
              (std::vector<std::string>{"keydown 65535 '' '' 0", "marked '\xC2\xB4'", "keyup 65535 '' '' 0",
                                        "keydown 14 '' 'e' 0", "marked ''", "text '\xC3\xA9'"}));

    // Afterwards keys give their own characters again.
    ASSERT_TRUE(xdotool({"key", "e"}, "keydown", 3));
    EXPECT_EQ(m_client.entries("keydown").back(), "keydown 14 'e' 'e' 0");
}

TEST_F(GtkWindowPeerTest, ACloseRequestAsksTheClientAndAVetoKeepsTheWindow)
{
    GtkWindowPeer& window = open(peer::Rect{40, 40, 300, 200});
    showAndWait(window);

    m_client.allowClose = false;
    sendCloseRequest(window.window());
    ASSERT_TRUE(pumpUntil([&] { return !m_client.entries("should-close").empty(); }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(m_client.entries("closed").empty());

    // The client lets go of the window as it hears of the close, inside
    // the toolkit's handling of the request.
    m_client.allowClose = true;
    m_client.onClosed = [this] {
        EXPECT_FALSE(m_peer->isVisible());
        m_peer.reset();
    };
    sendCloseRequest(window.window());
    ASSERT_TRUE(pumpUntil([&] { return !m_client.entries("closed").empty(); }));
    EXPECT_EQ(m_client.entries("should-close").size(), 2u);
    EXPECT_EQ(m_peer, nullptr);
}

TEST_F(GtkWindowPeerTest, AWindowDestroyedFromOutsideIsClosedWithoutAskingAndStaysSafeToUse)
{
    GtkWindowPeer& window = open(peer::Rect{40, 40, 300, 200});
    showAndWait(window);
    const std::string xid = std::to_string(gdk_x11_window_get_xid(gtk_widget_get_window(window.window())));
    ASSERT_TRUE(xdotool({"windowclose", xid}, "closed", 1));
    EXPECT_TRUE(m_client.entries("should-close").empty());
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.hasFocus());
    // What a client may still do before it lets go.
    window.setTitle("gone");
    window.invalidate({peer::Rect{0, 0, 10, 10}});
    window.displayNow();
    window.show(true);
    EXPECT_FALSE(window.isVisible());
    m_peer.reset();
    EXPECT_EQ(m_client.entries("closed").size(), 1u);
}

TEST_F(GtkWindowPeerScaledTest, PaintsAtTheWindowsScaleFactor)
{
    GtkWindowPeer& window = open(peer::Rect{100, 80, 300, 200});
    m_client.painter = [](CGContextRef context, double width, double height) {
        paintKnownPicture(context, width, height);
        // Half a point: one device pixel at scale 2.
        CGContextSetRGBFillColor(context, 0, 0, 1, 1);
        CGContextFillRect(context, CGRectMake(100, 0, 0.5, height));
    };
    showAndWait(window);
    EXPECT_EQ(window.backingScale(), 2.0);

    Screenshot shot(100, 80, 300, 200);
    ASSERT_TRUE(shot.valid());
    shot.save("gtk-window-peer-scale2.png");
    ASSERT_EQ(shot.width(), 600);
    ASSERT_EQ(shot.height(), 400);
    EXPECT_EQ(shot.pixel(39, 19), kGreen);
    EXPECT_EQ(shot.pixel(40, 19), kRed);
    EXPECT_EQ(shot.pixel(39, 20), kRed);
    EXPECT_EQ(shot.pixel(200, 100), kBlue);
    EXPECT_EQ(shot.pixel(201, 100), kRed);
    EXPECT_EQ(shot.pixel(599, 399), kBlue);
}

} // namespace

namespace {

TEST_F(GtkWindowPeerTest, AnOpenWindowFollowsAChangeOfTheScaleFactor)
{
    GtkWindowPeer& window = open(peer::Rect{100, 80, 300, 200});
    m_client.painter = paintKnownPicture;
    showAndWait(window);

    const int before = m_client.draws;
    DesktopBackendSession::setScale(2);
    const bool followed = pumpUntil([&] { return !m_client.entries("scale").empty() && m_client.draws > before; });
    DesktopBackendSession::setScale(1);
    ASSERT_TRUE(followed);
    EXPECT_EQ(m_client.entries("scale"), (std::vector<std::string>{"scale 2"}));
}

} // namespace
