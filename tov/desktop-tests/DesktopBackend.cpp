#include "DesktopBackend.h"

#include <gtest/gtest.h>

#include "platform/gtk/tests/GtkBackendSelection.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/runloop/MainLoop.h"

// Xlib's macros after every other header.
#include <gdk/gdkx.h>

namespace CV::TOV::TEST {

namespace {

DesktopBackend* s_session = nullptr;

class EndDesktopBackend : public ::testing::Environment {
public:
    void TearDown() override { DesktopBackend::end(); }
};

::testing::Environment const* const s_endDesktopBackend = ::testing::AddGlobalTestEnvironment(new EndDesktopBackend);

} // namespace

DesktopBackend& DesktopBackend::instance()
{
    if (!s_session)
        s_session = new DesktopBackend();
    return *s_session;
}

void DesktopBackend::end()
{
    platform::headless::HeadlessBackend::select();
    delete s_session;
    s_session = nullptr;
}

std::string DesktopBackend::failure() const
{
    if (!m_server.running())
        return m_server.failure();
    return m_bDisplayFailed ? "GTK cannot open the display" : "";
}

bool DesktopBackend::select()
{
    if (!m_server.running() || m_bDisplayFailed)
        return false;
    if (!desktop_test::selectGtkBackend("tov_desktop_tests")) {
        m_bDisplayFailed = true;
        return false;
    }
    return true;
}

void DesktopBackend::setScale(int scale)
{
    gdk_x11_display_set_window_scale(gdk_display_get_default(), scale);
}

bool DesktopBackend::runUntil(std::function<bool()> const& done)
{
    return platform::MainLoop::instance().runUntil(done, kWaitLimit);
}

} // namespace CV::TOV::TEST
