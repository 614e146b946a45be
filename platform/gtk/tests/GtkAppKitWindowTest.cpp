// The window scenario of the stand-in's classes on the desktop backend: the
// view's drawRect: is on the screen, xdotool's clicks and keys reach the
// view's overrides, a resize asks the delegate and a close request asks it
// too.
#include "DesktopBackendSession.h"

#include "VarantoTest/AppKitWindowScenario.h"
#include "platform/gtk/GtkWindowPeer.h"
#include "platform/objc/AutoreleasePool.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Xlib's macros (None, Bool, ...) after every other header.
#include <gdk/gdkx.h>

namespace {

using namespace platform;
using desktop_test::DesktopBackendSession;
using desktop_test::pumpUntil;
using desktop_test::Screenshot;
namespace xdotool = CV::test::xdotool;

// The desktop backend on the private X server (1024 x 768 pixels): input
// through xdotool, pixels read back from the screen. The double-click time
// is generous, so the test does not depend on speed.
class GtkScenarioBackend {
public:
    GtkScenarioBackend() { g_object_set(gtk_settings_get_default(), "gtk-double-click-time", 5000, nullptr); }

    static std::string unavailable()
    {
        DesktopBackendSession& session = DesktopBackendSession::instance();
        return session.ready() ? std::string() : session.failure();
    }
    // The window does not fit the screen at scale 2; GtkWindowPeerTest
    // paints at the display's scale factor.
    static std::vector<double> scales() { return {1.0}; }
    void useScale(double) { }
    void opened(id window) { m_peer = &dynamic_cast<gtk::GtkWindowPeer&>(*appkit::windowPeer(window)); }

    bool waitUntil(const std::function<bool()>& done)
    {
        const bool happened = pumpUntil(done);
        gdk_display_sync(gdk_display_get_default());
        return happened;
    }

    // Nothing when the screen cannot be read back.
    int pixelWidth() const
    {
        const Screenshot shot = screenshot();
        return shot.valid() ? shot.width() : 0;
    }
    std::uint32_t pixel(int x, int y) const
    {
        const Screenshot shot = screenshot();
        return shot.valid() ? 0xFF000000u | shot.pixel(x, y) : 0;
    }

    void click(peer::Point at, int times)
    {
        int x = 0, y = 0;
        gdk_window_get_origin(gtk_widget_get_window(m_peer->contentArea()), &x, &y);
        run(xdotool::command({xdotool::moveTo(x + int(at.x), y + int(at.y)), xdotool::click(1, times)}));
    }
    void typeKey(unsigned short, const std::string& name) { run(xdotool::command({xdotool::keys(name)})); }
    void resize(peer::Size content)
    {
        const std::string xid = std::to_string(gdk_x11_window_get_xid(gtk_widget_get_window(m_peer->window())));
        run({"xdotool", "windowsize", xid, std::to_string(int(content.width)), std::to_string(int(content.height))});
    }
    void requestClose() { desktop_test::sendCloseRequest(m_peer->window()); }

private:
    Screenshot screenshot() const
    {
        const peer::Rect frame = m_peer->contentFrame();
        return Screenshot(int(frame.x), int(frame.y), int(frame.width), int(frame.height));
    }
    static void run(const std::vector<std::string>& command)
    {
        ASSERT_EQ(DesktopBackendSession::instance().server().run(command), 0) << command.at(1);
    }

    objc::AutoreleasePool m_pool;
    gtk::GtkWindowPeer* m_peer = nullptr;
};

} // namespace

namespace CV::test {
INSTANTIATE_TYPED_TEST_SUITE_P(DesktopAppKitWindow, AppKitWindowScenario, ::GtkScenarioBackend);
} // namespace CV::test
