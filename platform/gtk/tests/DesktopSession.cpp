#include "DesktopSession.h"

#include "platform/gtk/GtkBackend.h"
#include "platform/headless/HeadlessBackend.h"
#include "platform/runloop/MainLoop.h"

#include <gtest/gtest.h>

#include <gdk/gdkx.h>

#include <memory>

namespace desktop_test {

namespace {

DesktopSession* s_session = nullptr;

class StopDesktopSession : public ::testing::Environment {
public:
    void TearDown() override { DesktopSession::end(); }
};

const ::testing::Environment* const s_stopDesktopSession =
    ::testing::AddGlobalTestEnvironment(new StopDesktopSession);

} // namespace

DesktopSession& DesktopSession::instance()
{
    if (!s_session)
        s_session = new DesktopSession();
    return *s_session;
}

void DesktopSession::end()
{
    delete s_session;
    s_session = nullptr;
}

DesktopSession::DesktopSession()
{
    if (!m_server.running())
        return;
    char name[] = "test";
    char* arguments[] = {name, nullptr};
    int argc = 1;
    char** argv = arguments;
    if (std::unique_ptr<platform::gtk::GtkBackend> backend = platform::gtk::GtkBackend::create(argc, argv)) {
        platform::Backend::select(std::move(backend));
        m_ready = true;
    }
}

DesktopSession::~DesktopSession()
{
    if (m_ready)
        platform::headless::HeadlessBackend::select();
}

std::string DesktopSession::failure() const
{
    return m_server.running() ? "GTK cannot open the display" : m_server.failure();
}

void DesktopSession::setScale(int scale)
{
    gdk_x11_display_set_window_scale(gdk_display_get_default(), scale);
}

bool pumpUntil(const std::function<bool()>& done)
{
    return platform::MainLoop::instance().runUntil(done, kWaitLimit);
}

} // namespace desktop_test
