#include "platform/gtk/GtkBackend.h"

#include "platform/appkit/NSApplication.h"

#include "platform/gtk/GtkAlertPresenter.h"
#include "platform/gtk/GtkPanel.h"
#include "platform/gtk/GtkWindowPeer.h"
#include "platform/gtk/LaunchStartupId.h"
#include "platform/headless/HeadlessBackend.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <cstring>

namespace platform::gtk {

namespace {

const char* const kGeneralPasteboard = "Apple CFPasteboard general";

// The id of the launch: the display's, else the one taken from the
// environment before the toolkit started, which the display is then given
// (so the toolkit marks its windows with it and completes it on mapping
// the first one, as for an id it found itself).
std::string launchStartupIdOf(GdkDisplay* display, const std::string& takenAtStart)
{
    if (const char* fromDisplay = gdk_x11_display_get_startup_notification_id(display))
        return fromDisplay;
    if (!takenAtStart.empty())
        gdk_x11_display_set_startup_notification_id(display, takenAtStart.c_str());
    return takenAtStart;
}

} // namespace

std::unique_ptr<GtkBackend> GtkBackend::create(int& argc, char**& argv)
{
    // First: the toolkit may start threads, after which the environment
    // must not change.
    const std::string startupId = LaunchStartupId::takeFromEnvironment();
    // Window positions and pointer warping exist only on X11 (XWayland on a
    // Wayland desktop).
    gdk_set_allowed_backends("x11");
    // Windows are painted from our own framebuffers with cairo, never with
    // OpenGL: without this the toolkit probes the GL drivers for a visual at
    // start-up, which loads a software renderer of tens of megabytes and
    // takes a second on machines without a GPU. A value the user set stays.
    ::setenv("GDK_GL", "disable", 0);
    if (!gtk_init_check(&argc, &argv))
        return nullptr;
    return std::unique_ptr<GtkBackend>(new GtkBackend(gdk_display_get_default(), startupId));
}

// The toolkit forgets the launch's startup-notification id once it has
// completed it on mapping the first window; the backend keeps it for the
// first activation.
GtkBackend::GtkBackend(GdkDisplay* display, const std::string& startupId)
    : m_screens(display)
    , m_cursor(display)
    , m_launchStartupId(launchStartupIdOf(display, startupId))
{
}

std::unique_ptr<peer::WindowPeer> GtkBackend::createWindow(const peer::WindowSpec& spec,
                                                           const peer::WindowClients& clients)
{
    auto window = std::make_unique<GtkWindowPeer>(spec, clients, &m_cursor);
    // The application's menus go with its main window: the first titled
    // window while the bar is in no other.
    const bool titled = spec.kind == peer::WindowKind::Normal && spec.decorated;
    if (titled && !gtk_widget_get_parent(m_menuBar.widget()))
        window->setMenuBar(m_menuBar.widget());
    return window;
}

std::unique_ptr<AlertPresenter> GtkBackend::createAlertPresenter()
{
    return std::make_unique<GtkAlertPresenter>();
}

std::unique_ptr<peer::PanelPeer> GtkBackend::createPanel()
{
    return std::make_unique<GtkPanel>();
}

peer::PasteboardPeer& GtkBackend::pasteboard(const std::string& name)
{
    if (name != kGeneralPasteboard)
        return m_inProcess.named(name);
    if (!m_clipboard)
        m_clipboard = std::make_unique<GtkPasteboard>(name);
    return *m_clipboard;
}

peer::DragSessionPeer& GtkBackend::dragSession()
{
    if (!m_dragSession)
        m_dragSession = std::make_unique<GtkDragSession>();
    return *m_dragSession;
}

// Message boxes and file choosers are toplevels of their own.
bool GtkBackend::dialogHasFocus() const
{
    GList* toplevels = gtk_window_list_toplevels();
    bool focused = false;
    for (GList* item = toplevels; item != nullptr && !focused; item = item->next)
        focused = GTK_IS_DIALOG(item->data) && gtk_window_is_active(GTK_WINDOW(item->data));
    g_list_free(toplevels);
    return focused;
}

std::string GtkBackend::takeLaunchStartupId()
{
    std::string id;
    id.swap(m_launchStartupId);
    return id;
}

void GtkBackend::followFocusOf(GtkWidget* dialog)
{
    g_signal_connect(dialog, "notify::is-active",
                     G_CALLBACK(+[](GObject*, GParamSpec*, gpointer) { appkit::NSApplication::keyWindowChanged(); }),
                     nullptr);
}

namespace {

Backend* selectBackend(int& argc, char**& argv)
{
    const char* requested = std::getenv("VARANTO_PLATFORM_BACKEND");
    if (requested && std::strcmp(requested, "headless") == 0)
        return &headless::HeadlessBackend::select();
    if (std::unique_ptr<GtkBackend> desktop = GtkBackend::create(argc, argv))
        return &Backend::select(std::move(desktop));
    return nullptr;
}

} // namespace

Backend* selectBackendAtStart(int& argc, char**& argv)
{
    Backend* backend = selectBackend(argc, argv);
    appkit::NSApplication::setLaunchArguments(argc, argv);
    return backend;
}

std::string displayTriedAtStart()
{
    const char* name = gdk_get_display_arg_name();
    if (name == nullptr || *name == '\0')
        name = std::getenv("DISPLAY");
    return name ? name : "";
}

void setProgramClass(const char* name)
{
    g_set_prgname(name);
    gdk_set_program_class(name);
}

} // namespace platform::gtk
