// A styled widget tree in a widget window on a real desktop (the GTK
// backend on a private X server): the window's creation, its timer ticks
// and the platform's paints come from the real main loop, and the screen
// then shows exactly what the headless backend's framebuffer holds for the
// same tree at the same size and scale. Both pictures are written into the
// build tree (screenshots/) for a look by eye.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>

#include "DesktopBackend.h"
#include "RgbImage.h"
#include "StyledWindowScene.h"
#include "VarantoTest/Screenshot.h"
#include "VarantoTest/XCloseRequest.h"
#include "platform/appkit/NSWindow.h"
#include "platform/gtk/GtkWindowPeer.h"
#include "platform/headless/TestDriver.h"

// Xlib's macros after every other header.
#include <gdk/gdkx.h>

namespace CV::TOV::TEST {
namespace {

using std::chrono::milliseconds;

// Where the screen puts the window's content.
constexpr int kLeft = 120, kTop = 90;

// The framebuffer the headless backend shows for the scene at the scale,
// after the countdown ran out; empty when the window could not be made.
// The content must be opaque: the window shows no alpha.
RgbImage renderHeadless(int scale, bool& opaque)
{
    platform::headless::TestDriver driver;
    driver.setScreens(scale == 1 ? "1024x768" : "1024x768@" + std::to_string(scale));
    StyledWindowScene scene(kLeft, kTop);
    if (!scene.created())
        return {};
    scene.window().show(true);
    driver.advance(milliseconds(100));
    scene.startCountdown();
    driver.advance(milliseconds(40 * (StyledWindowScene::kCountdownTicks + 2)));
    auto& peer = driver.peerOf(scene.nativeWindow());
    driver.display(peer);
    opaque = std::all_of(peer.framebuffer().begin(), peer.framebuffer().end(),
                         [](std::uint32_t word) { return (word >> 24) == 0xFF; });
    return RgbImage::fromFramebuffer(peer.framebuffer(), peer.pixelWidth(), peer.pixelHeight());
}

std::string screenshotPath(std::string const& name)
{
    std::filesystem::path const folder = std::filesystem::path(VARANTO_BINARY_DIR) / "screenshots";
    std::filesystem::create_directories(folder);
    return (folder / name).string();
}

platform::gtk::GtkWindowPeer* desktopPeerOf(StyledWindowScene const& scene)
{
    return dynamic_cast<platform::gtk::GtkWindowPeer*>(platform::appkit::windowPeer(scene.nativeWindow()));
}

// What the screen shows of the window's content.
RgbImage contentOnScreen(platform::gtk::GtkWindowPeer const& peer)
{
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(peer.contentArea()), &x, &y);
    CV::test::Screenshot const shot(x, y, gtk_widget_get_allocated_width(peer.contentArea()),
                                    gtk_widget_get_allocated_height(peer.contentArea()));
    return RgbImage::fromScreenshot(shot);
}

class WidgetWindowDesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!DesktopBackend::instance().serverRunning())
            VARANTO_DESKTOP_UNAVAILABLE() << DesktopBackend::instance().failure();
    }
    void TearDown() override
    {
        if (m_bScaled)
            DesktopBackend::setScale(1);
        // The desktop's windows are gone; the next test starts headless.
        platform::headless::HeadlessBackend::select();
    }

    // Selects the desktop backend at the scale.
    ::testing::AssertionResult useDesktop(int scale)
    {
        if (!DesktopBackend::instance().select())
            return ::testing::AssertionFailure() << DesktopBackend::instance().failure();
        DesktopBackend::setScale(scale);
        m_bScaled = scale != 1;
        return ::testing::AssertionSuccess();
    }

    // Shows the scene's window and waits until the platform painted it
    // after a few ticks.
    static ::testing::AssertionResult showAndWait(StyledWindowScene& scene)
    {
        CountingWindow& window = scene.window();
        window.show(true);
        if (!DesktopBackend::runUntil([&] { return window.ticks >= 2 && window.paints > 0; }))
            return ::testing::AssertionFailure()
                << "ticks " << window.ticks << ", paints " << window.paints << " within the wait limit";
        return ::testing::AssertionSuccess();
    }

    bool m_bScaled = false;
};

class ScaledWidgetWindowDesktopTest : public WidgetWindowDesktopTest, public ::testing::WithParamInterface<int> { };

TEST_P(ScaledWidgetWindowDesktopTest, TheScreenShowsWhatTheHeadlessFramebufferHolds)
{
    int const scale = GetParam();
    std::string const suffix = "-scale" + std::to_string(scale) + ".png";
    bool opaque = false;
    RgbImage const headless = renderHeadless(scale, opaque);
    ASSERT_FALSE(headless.empty()) << "no headless window";
    ASSERT_EQ(headless.width(), StyledWindowScene::kWidth * scale);
    EXPECT_TRUE(opaque) << "the tree leaves parts of the window transparent";
    headless.save(screenshotPath("widget-window-headless" + suffix));

    ASSERT_TRUE(useDesktop(scale));
    StyledWindowScene scene(kLeft, kTop);
    ASSERT_TRUE(scene.created());
    ASSERT_TRUE(showAndWait(scene));
    platform::gtk::GtkWindowPeer* peer = desktopPeerOf(scene);
    ASSERT_NE(peer, nullptr) << "the window is not the desktop backend's";
    EXPECT_EQ(peer->backingScale(), double(scale));

    // The countdown runs on the real ticks; its new text reaches the screen
    // through the tick's repaint and a platform paint after it. The screen
    // is read once after each such paint, until one shows the frame.
    scene.startCountdown();
    int const ticksBefore = scene.window().ticks;
    ASSERT_TRUE(DesktopBackend::runUntil([&] { return scene.countdownLabel().timerRuns > 0; }))
        << "the countdown did not run out";
    RgbImage screen;
    int paintsRead = -1;
    DesktopBackend::runUntil([&] {
        if (scene.window().paints == paintsRead)
            return false;
        paintsRead = scene.window().paints;
        gdk_display_sync(gdk_display_get_default());
        screen = contentOnScreen(*peer);
        return bool(samePixels(screen, headless));
    });
    std::string const shown = screenshotPath("widget-window-desktop" + suffix);
    screen.save(shown);
    EXPECT_EQ(scene.countdownLabel().timerRuns, 1);
    EXPECT_GE(scene.window().ticks - ticksBefore, StyledWindowScene::kCountdownTicks);
    EXPECT_TRUE(samePixels(screen, headless)) << "the screen (" << shown << ") against the headless framebuffer ("
                                              << screenshotPath("widget-window-headless" + suffix) << ")";
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledWidgetWindowDesktopTest, ::testing::Values(1, 2),
                         [](::testing::TestParamInfo<int> const& info) {
                             return "Scale" + std::to_string(info.param);
                         });

TEST_F(WidgetWindowDesktopTest, ClosingTheWindowOnTheDesktopStopsItsTicks)
{
    ASSERT_TRUE(useDesktop(1));
    StyledWindowScene scene(kLeft, kTop);
    ASSERT_TRUE(scene.created());
    ASSERT_TRUE(showAndWait(scene));
    platform::gtk::GtkWindowPeer* peer = desktopPeerOf(scene);
    ASSERT_NE(peer, nullptr);

    // What the close button of a title bar sends.
    ASSERT_TRUE(CV::test::sendCloseRequest("", gdk_x11_window_get_xid(gtk_widget_get_window(peer->window()))));
    ASSERT_TRUE(DesktopBackend::runUntil([&] { return !scene.window().hasEventTimer(); }))
        << "the window did not close";
    int const ticksAtClose = scene.window().ticks;
    // A few master periods with nothing due for the window.
    platform::MainLoop::instance().runUntil([] { return false; }, milliseconds(200));
    EXPECT_EQ(scene.window().ticks, ticksAtClose);
}

} // namespace
} // namespace CV::TOV::TEST
