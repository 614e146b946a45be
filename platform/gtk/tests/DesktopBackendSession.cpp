#include "DesktopBackendSession.h"

#include "GtkBackendSelection.h"

#include "platform/headless/HeadlessBackend.h"
#include "platform/runloop/MainLoop.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

// Xlib's macros (None, Bool, ...) after every other header.
#include "VarantoTest/XCloseRequest.h"
#include <X11/Xutil.h>
#include <gdk/gdkx.h>

#include <memory>

namespace desktop_test {

namespace {

DesktopBackendSession* s_session = nullptr;

class StopDesktopBackendSession : public ::testing::Environment {
public:
    void TearDown() override { DesktopBackendSession::end(); }
};

const ::testing::Environment* const s_stopDesktopBackendSession =
    ::testing::AddGlobalTestEnvironment(new StopDesktopBackendSession);

} // namespace

DesktopBackendSession& DesktopBackendSession::instance()
{
    if (!s_session)
        s_session = new DesktopBackendSession();
    return *s_session;
}

void DesktopBackendSession::end()
{
    delete s_session;
    s_session = nullptr;
}

DesktopBackendSession::DesktopBackendSession()
{
    m_ready = m_server.running() && selectGtkBackend("test");
}

DesktopBackendSession::~DesktopBackendSession()
{
    if (m_ready)
        platform::headless::HeadlessBackend::select();
}

std::string DesktopBackendSession::failure() const
{
    return m_server.running() ? "GTK cannot open the display" : m_server.failure();
}

void DesktopBackendSession::setScale(int scale)
{
    gdk_x11_display_set_window_scale(gdk_display_get_default(), scale);
}

bool pumpUntil(const std::function<bool()>& done)
{
    return platform::MainLoop::instance().runUntil(done, kWaitLimit);
}

void sendCloseRequest(GtkWidget* toplevel)
{
    CV::test::sendCloseRequest("", gdk_x11_window_get_xid(gtk_widget_get_window(toplevel)));
}

std::optional<SizeLimits> sizeLimits(GtkWidget* toplevel)
{
    GdkWindow* window = gtk_widget_get_window(toplevel);
    XSizeHints hints{};
    long supplied = 0;
    if (!window ||
        !XGetWMNormalHints(gdk_x11_display_get_xdisplay(gdk_window_get_display(window)), gdk_x11_window_get_xid(window),
                           &hints, &supplied) ||
        !(hints.flags & PMinSize) || !(hints.flags & PMaxSize))
        return std::nullopt;
    return SizeLimits{hints.min_width, hints.min_height, hints.max_width, hints.max_height};
}

GtkWidget* menuItemLabelled(GtkWidget* shell, const std::string& label)
{
    GtkWidget* found = nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(shell));
    for (GList* child = children; child && !found; child = child->next) {
        const char* text =
            GTK_IS_MENU_ITEM(child->data) ? gtk_menu_item_get_label(GTK_MENU_ITEM(child->data)) : nullptr;
        if (text && label == text)
            found = GTK_WIDGET(child->data);
    }
    g_list_free(children);
    return found;
}

std::vector<std::string> clickOnWidget(GtkWidget* widget)
{
    GtkWidget* top = gtk_widget_get_toplevel(widget);
    int x = 0, y = 0, originX = 0, originY = 0;
    gtk_widget_translate_coordinates(widget, top, gtk_widget_get_allocated_width(widget) / 2,
                                     gtk_widget_get_allocated_height(widget) / 2, &x, &y);
    gdk_window_get_origin(gtk_widget_get_window(top), &originX, &originY);
    namespace xdotool = CV::test::xdotool;
    return xdotool::command({xdotool::moveTo(originX + x, originY + y), xdotool::click()});
}

} // namespace desktop_test
