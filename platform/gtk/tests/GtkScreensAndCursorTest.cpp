// The desktop's screens and cursor on a private X server.
#include "DesktopBackendSession.h"
#include "QuietWindowClient.h"

#include "platform/alert/Alert.h"
#include "platform/backend/Backend.h"
#include "platform/gtk/GtkBackend.h"
#include "platform/gtk/GtkWindowPeer.h"
#include "platform/runloop/MainLoop.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <utility>

// Xlib's macros (None, Bool, ...) after every other header.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>
#include <gdk/gdkx.h>

namespace {

using namespace platform;
using desktop_test::DesktopBackendSession;
using desktop_test::pumpUntil;

using QuietClient = desktop_test::QuietWindowClient;

class DesktopSurfacesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!DesktopBackendSession::instance().ready())
            VARANTO_DESKTOP_UNAVAILABLE() << DesktopBackendSession::instance().failure();
    }

    gtk::GtkBackend& backend() { return static_cast<gtk::GtkBackend&>(Backend::current()); }

    // A shown window's content area, once drawn.
    GtkWidget* openWindow(QuietClient& client, std::unique_ptr<peer::WindowPeer>& peer)
    {
        peer::WindowSpec spec;
        spec.content = peer::Rect{50, 50, 200, 100};
        peer = backend().createWindow(spec, peer::WindowClients{&client, nullptr, nullptr});
        peer->show(true);
        EXPECT_TRUE(pumpUntil([&] { return client.draws > 0; }));
        return static_cast<gtk::GtkWindowPeer&>(*peer).contentArea();
    }

    static GdkCursor* cursorOf(GtkWidget* area) { return gdk_window_get_cursor(gtk_widget_get_window(area)); }
};

using GtkScreensTest = DesktopSurfacesTest;
using GtkCursorTest = DesktopSurfacesTest;
using GtkAlertTest = DesktopSurfacesTest;

TEST_F(GtkScreensTest, TheServersScreenWithItsWorkAreaAndScale)
{
    const std::vector<peer::ScreenInfo> screens = backend().screens().screens();
    ASSERT_EQ(screens.size(), 1u);
    EXPECT_EQ(screens[0].id, 1u);
    EXPECT_EQ(screens[0].frame, (peer::Rect{0, 0, 1024, 768}));
    EXPECT_EQ(screens[0].visibleFrame, (peer::Rect{0, 0, 1024, 768})); // no panels without a desktop
    EXPECT_EQ(screens[0].scale, 1.0);
}

TEST_F(GtkScreensTest, AChangeOfScaleIsReportedAndRead)
{
    int calls = 0;
    backend().screens().setReconfigurationHandler([&] { ++calls; });
    DesktopBackendSession::setScale(2);
    const bool reported = pumpUntil([&] { return calls > 0; });
    const std::vector<peer::ScreenInfo> scaled = backend().screens().screens();
    DesktopBackendSession::setScale(1);
    pumpUntil([&] { return calls > 1; });
    backend().screens().setReconfigurationHandler(nullptr);

    EXPECT_TRUE(reported);
    ASSERT_EQ(scaled.size(), 1u);
    EXPECT_EQ(scaled[0].scale, 2.0);
    EXPECT_EQ(scaled[0].frame, (peer::Rect{0, 0, 512, 384})); // points
}

TEST(GtkCursorNames, EveryStandardShapeHasItsThemeCursor)
{
    const std::pair<const char*, const char*> names[] = {
        {"arrow", "default"},
        {"ibeam", "text"},
        {"pointing-hand", "pointer"},
        {"crosshair", "crosshair"},
        {"open-hand", "grab"},
        {"closed-hand", "grabbing"},
        {"resize-left-right", "ew-resize"},
        {"resize-up-down", "ns-resize"},
        {"resize-up", "n-resize"},
        {"not-allowed", "not-allowed"},
        {"copy", "copy"},
        {"alias", "alias"},
        {"no-such-shape", "default"},
    };
    for (const auto& [shape, theme] : names)
        EXPECT_STREQ(gtk::GtkCursor::themeName(shape), theme) << shape;
}

TEST_F(GtkCursorTest, ANamedShapeIsTheCursorOfOpenWindowsAndOfWindowsOpenedLater)
{
    QuietClient firstClient, laterClient;
    std::unique_ptr<peer::WindowPeer> first, later;
    GtkWidget* firstArea = openWindow(firstClient, first);
    GdkDisplay* display = gtk_widget_get_display(firstArea);

    backend().cursor().setCursor(peer::CursorImage{"ibeam", 0, 0, {}, {}});
    GtkWidget* laterArea = openWindow(laterClient, later);
    // The theme's cursors are made once per name: the same object.
    GdkCursor* text = gdk_cursor_new_from_name(display, "text");
    EXPECT_EQ(cursorOf(firstArea), text);
    EXPECT_EQ(cursorOf(laterArea), text);
    g_object_unref(text);

    backend().cursor().setHidden(true);
    ASSERT_NE(cursorOf(firstArea), nullptr);
    EXPECT_EQ(gdk_cursor_get_cursor_type(cursorOf(firstArea)), GDK_BLANK_CURSOR);
    backend().cursor().setHidden(false);
    backend().cursor().setCursor(peer::CursorImage{"no-such-shape", 0, 0, {}, {}});
    GdkCursor* standard = gdk_cursor_new_from_name(display, "default");
    EXPECT_EQ(cursorOf(laterArea), standard);
    g_object_unref(standard);
}

TEST_F(GtkCursorTest, APictureBecomesACursorWithItsPixelsAndHotSpot)
{
    QuietClient client;
    std::unique_ptr<peer::WindowPeer> window;
    GtkWidget* area = openWindow(client, window);

    peer::CursorImage picture;
    picture.width = 4;
    picture.height = 2;
    picture.pixels = {0xFF0000FFu, 0, 0, 0, 0, 0, 0, 0x80008000u}; // blue top-left, half green bottom-right
    picture.hotSpot = peer::Point{1, 1};
    backend().cursor().setCursor(picture);

    GdkCursor* cursor = cursorOf(area);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(gdk_cursor_get_cursor_type(cursor), GDK_CURSOR_IS_PIXMAP);

    // What the X server shows once the pointer is over the content (the
    // toolkit sets it on the window system's window when the pointer comes).
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(area), &x, &y);
    backend().cursor().warp(peer::Point{double(x + 20), double(y + 20)});
    Display* display = gdk_x11_display_get_xdisplay(gtk_widget_get_display(area));
    auto shownWidth = [display] {
        XFixesCursorImage* image = XFixesGetCursorImage(display);
        const int width = image ? image->width : 0;
        XFree(image);
        return width;
    };
    EXPECT_TRUE(pumpUntil([&] { return shownWidth() == 4; }));
    XFixesCursorImage* shown = XFixesGetCursorImage(display);
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->width, 4);
    EXPECT_EQ(shown->height, 2);
    EXPECT_EQ(shown->xhot, 1);
    EXPECT_EQ(shown->yhot, 1);
    // Xlib hands out 32-bit words as (sign-extended) longs.
    EXPECT_EQ(std::uint32_t(shown->pixels[0]), 0xFF0000FFu);
    EXPECT_EQ(std::uint32_t(shown->pixels[7]), 0x80008000u);
    XFree(shown);
    backend().cursor().setCursor(peer::CursorImage{"arrow", 0, 0, {}, {}});
}

TEST_F(GtkCursorTest, WarpingMovesThePointerWhereTheLocationReadsIt)
{
    backend().cursor().warp(peer::Point{200, 150});
    gdk_display_sync(gdk_display_get_default());
    EXPECT_EQ(backend().cursor().location(), (peer::Point{200, 150}));
    backend().cursor().warp(peer::Point{3, 700});
    gdk_display_sync(gdk_display_get_default());
    EXPECT_EQ(backend().cursor().location(), (peer::Point{3, 700}));
}

TEST_F(GtkAlertTest, AnAlertStandsInFrontOfTheWindowWithTheFocus)
{
    QuietClient client;
    std::unique_ptr<peer::WindowPeer> window;
    GtkWidget* area = openWindow(client, window);
    ASSERT_TRUE(pumpUntil([&] { return window->hasFocus(); }));

    // Answered from inside the dialog's own loop, once it is there.
    GtkWindow* parent = nullptr;
    bool answered = false;
    const MainLoop::TimerId answer = MainLoop::instance().addTimer(std::chrono::milliseconds(20), true, [&] {
        GList* toplevels = gtk_window_list_toplevels();
        for (GList* item = toplevels; item; item = item->next)
            if (GTK_IS_MESSAGE_DIALOG(item->data) && !answered) {
                parent = gtk_window_get_transient_for(GTK_WINDOW(item->data));
                gtk_dialog_response(GTK_DIALOG(item->data), 7);
                answered = true;
            }
        g_list_free(toplevels);
    });
    Alert alert;
    alert.setMessageText("Update in progress");
    alert.addButton("No", 7);
    alert.addButton("Yes", 8);
    const int tag = alert.runModal();
    MainLoop::instance().cancelTimer(answer);

    EXPECT_EQ(tag, 7);
    EXPECT_EQ(parent, GTK_WINDOW(gtk_widget_get_toplevel(area)));
}

} // namespace
