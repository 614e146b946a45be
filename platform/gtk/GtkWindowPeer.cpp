#include "platform/gtk/GtkWindowPeer.h"

#include "platform/gtk/GdkInputTranslation.h"
#include "platform/gtk/GtkCursor.h"
#include "platform/gtk/GtkScreens.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/keyboard/VirtualKeyCodes.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

// Xlib's macros (None, Bool, ...) after every other header.
#include <gdk/gdkx.h>

namespace platform::gtk {

namespace {

// The key code of keys the platform's keyboards do not have: above the
// range of virtual key codes, so nothing takes it for a key position.
constexpr unsigned short kNoVirtualKey = 0xFFFF;

int roundedPoints(double points)
{
    return std::max(1, int(std::lround(points)));
}

std::uint64_t modifiersOf(unsigned gdkState)
{
    return keyboard::modifierFlagsFromX11State(gdkState);
}

void noteModifiers(std::uint64_t flags)
{
    keyboard::ModifierState::set(std::uint32_t(flags));
}

// The time a startup-notification id carries ("..._TIME<time>"); 0 when it
// carries none.
guint32 timeOfStartupId(const std::string& startupId)
{
    const std::string::size_type at = startupId.rfind("_TIME");
    if (at == std::string::npos)
        return 0;
    const char* digits = startupId.c_str() + at + std::strlen("_TIME");
    char* end = nullptr;
    const unsigned long time = std::strtoul(digits, &end, 10);
    return end != digits && *end == '\0' && time <= 0xFFFFFFFFul ? guint32(time) : 0;
}

} // namespace

// The signal trampolines reach the peer's private handlers through this.
struct GtkWindowPeerSignals {
    static gboolean draw(GtkWidget*, cairo_t* cr, gpointer peer)
    {
        static_cast<GtkWindowPeer*>(peer)->paint(cr);
        return TRUE;
    }
    static void sizeAllocate(GtkWidget*, GdkRectangle* allocation, gpointer peer)
    {
        static_cast<GtkWindowPeer*>(peer)->noteAllocation(allocation->width, allocation->height);
    }
    static gboolean configure(GtkWidget*, GdkEvent*, gpointer peer)
    {
        static_cast<GtkWindowPeer*>(peer)->noteConfigure();
        return FALSE;
    }
    static void scaleFactor(GObject*, GParamSpec*, gpointer peer)
    {
        static_cast<GtkWindowPeer*>(peer)->noteScaleFactor();
    }
    static gboolean windowState(GtkWidget*, GdkEventWindowState* event, gpointer peer)
    {
        static_cast<GtkWindowPeer*>(peer)->noteWindowState(event->changed_mask, event->new_window_state);
        return FALSE;
    }
    static gboolean focusIn(GtkWidget*, GdkEvent*, gpointer peer)
    {
        static_cast<GtkWindowPeer*>(peer)->noteFocus(true);
        return FALSE;
    }
    static gboolean focusOut(GtkWidget*, GdkEvent*, gpointer peer)
    {
        static_cast<GtkWindowPeer*>(peer)->noteFocus(false);
        return FALSE;
    }
    static gboolean deleteRequest(GtkWidget*, GdkEvent*, gpointer peer)
    {
        static_cast<GtkWindowPeer*>(peer)->handleDelete();
        return TRUE; // the window is never destroyed by the toolkit itself
    }
    static gboolean button(GtkWidget*, GdkEvent* event, gpointer peer)
    {
        return static_cast<GtkWindowPeer*>(peer)->handleButton(*event);
    }
    static gboolean motion(GtkWidget*, GdkEvent* event, gpointer peer)
    {
        return static_cast<GtkWindowPeer*>(peer)->handleMotion(*event);
    }
    static gboolean crossing(GtkWidget*, GdkEvent* event, gpointer peer)
    {
        return static_cast<GtkWindowPeer*>(peer)->handleCrossing(*event);
    }
    static gboolean scroll(GtkWidget*, GdkEvent* event, gpointer peer)
    {
        return static_cast<GtkWindowPeer*>(peer)->handleScroll(*event);
    }
    static gboolean key(GtkWidget*, GdkEvent* event, gpointer peer)
    {
        return static_cast<GtkWindowPeer*>(peer)->handleKey(*event);
    }
    static void commit(GtkIMContext*, const gchar* text, gpointer peer)
    {
        static_cast<GtkWindowPeer*>(peer)->noteComposed(peer::TextInput{true, text ? text : "", 0, 0});
    }
    static void preeditChanged(GtkIMContext* context, gpointer peer)
    {
        gchar* text = nullptr;
        gint cursor = 0;
        gtk_im_context_get_preedit_string(context, &text, nullptr, &cursor);
        const std::string marked = text ? text : "";
        g_free(text);
        // The cursor as an empty selection, in UTF-16 units.
        const glong units = g_utf8_strlen(marked.c_str(), -1) > 0 ? cursor : 0;
        static_cast<GtkWindowPeer*>(peer)->noteComposed(peer::TextInput{false, marked, std::size_t(units), 0});
    }
    static void destroyed(GtkWidget*, gpointer peer) { static_cast<GtkWindowPeer*>(peer)->noteDestroyed(); }
    static void menuBarVisible(GObject*, GParamSpec*, gpointer peer)
    {
        static_cast<GtkWindowPeer*>(peer)->noteMenuBarShown();
    }
    static void menuBarGone(GtkWidget*, gpointer peer)
    {
        static_cast<GtkWindowPeer*>(peer)->setMenuBar(nullptr);
        static_cast<GtkWindowPeer*>(peer)->noteMenuBarShown();
    }
    static void realize(GtkWidget* window, gpointer peer)
    {
        gtk_im_context_set_client_window(static_cast<GtkWindowPeer*>(peer)->m_inputMethod,
                                         gtk_widget_get_window(window));
    }
};

GtkWindowPeer::GtkWindowPeer(const peer::WindowSpec& spec, const peer::WindowClients& clients, GtkCursor* cursor)
    : m_spec(spec)
    , m_clients(clients)
    , m_cursor(cursor)
    , m_frame(spec.content)
{
    // Held (not only owned by the toolkit), so that a window the window
    // system destroys stays an object to ask until this peer goes.
    m_window = GTK_WIDGET(
        g_object_ref(gtk_window_new(spec.kind == peer::WindowKind::Overlay ? GTK_WINDOW_POPUP : GTK_WINDOW_TOPLEVEL)));
    m_area = GTK_WIDGET(g_object_ref_sink(gtk_drawing_area_new()));
    m_layout = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_box_pack_end(GTK_BOX(m_layout), m_area, TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(m_window), m_layout);
    gtk_widget_add_events(m_area,
                          GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                              GDK_ENTER_NOTIFY_MASK | GDK_LEAVE_NOTIFY_MASK | GDK_SCROLL_MASK | GDK_SMOOTH_SCROLL_MASK);
    gtk_widget_add_events(m_window,
                          GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK | GDK_FOCUS_CHANGE_MASK | GDK_STRUCTURE_MASK);
    GtkWindow* window = GTK_WINDOW(m_window);
    gtk_window_set_decorated(window, spec.decorated);
    gtk_window_set_deletable(window, spec.closable);
    if (spec.kind == peer::WindowKind::Panel)
        gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_UTILITY);
    if (spec.transparent) {
        if (GdkVisual* visual = gdk_screen_get_rgba_visual(gtk_widget_get_screen(m_window)))
            gtk_widget_set_visual(m_window, visual);
        gtk_widget_set_app_paintable(m_window, TRUE);
    }
    setLevel(spec.level);
    moveTo(peer::Point{m_frame.x, m_frame.y});
    applyContentSize();
    resizeFramebuffer(gtk_widget_get_scale_factor(m_area));
    m_inputMethod = gtk_im_context_simple_new();
    connectSignals();
    if (m_cursor)
        m_cursor->attach(m_area);
    if (m_clients.drag)
        m_dropTarget = std::make_unique<GtkDropTarget>(m_area, m_clients.drag);
}

GtkWindowPeer::~GtkWindowPeer()
{
    m_dropTarget.reset();
    setMenuBar(nullptr);
    if (m_cursor)
        m_cursor->detach(m_area);
    g_signal_handlers_disconnect_by_data(m_area, this);
    g_signal_handlers_disconnect_by_data(m_window, this);
    g_signal_handlers_disconnect_by_data(m_inputMethod, this);
    gtk_im_context_set_client_window(m_inputMethod, nullptr);
    g_object_unref(m_inputMethod);
    if (!m_destroyed)
        gtk_widget_destroy(m_window);
    g_object_unref(m_area);
    g_object_unref(m_window);
}

void GtkWindowPeer::connectSignals()
{
    using S = GtkWindowPeerSignals;
    g_signal_connect(m_area, "draw", G_CALLBACK(S::draw), this);
    g_signal_connect(m_area, "size-allocate", G_CALLBACK(S::sizeAllocate), this);
    g_signal_connect(m_area, "notify::scale-factor", G_CALLBACK(S::scaleFactor), this);
    g_signal_connect(m_area, "button-press-event", G_CALLBACK(S::button), this);
    g_signal_connect(m_area, "button-release-event", G_CALLBACK(S::button), this);
    g_signal_connect(m_area, "motion-notify-event", G_CALLBACK(S::motion), this);
    g_signal_connect(m_area, "enter-notify-event", G_CALLBACK(S::crossing), this);
    g_signal_connect(m_area, "leave-notify-event", G_CALLBACK(S::crossing), this);
    g_signal_connect(m_area, "scroll-event", G_CALLBACK(S::scroll), this);
    g_signal_connect(m_window, "configure-event", G_CALLBACK(S::configure), this);
    g_signal_connect(m_window, "window-state-event", G_CALLBACK(S::windowState), this);
    g_signal_connect(m_window, "focus-in-event", G_CALLBACK(S::focusIn), this);
    g_signal_connect(m_window, "focus-out-event", G_CALLBACK(S::focusOut), this);
    g_signal_connect(m_window, "delete-event", G_CALLBACK(S::deleteRequest), this);
    g_signal_connect(m_window, "key-press-event", G_CALLBACK(S::key), this);
    g_signal_connect(m_window, "key-release-event", G_CALLBACK(S::key), this);
    g_signal_connect(m_window, "realize", G_CALLBACK(S::realize), this);
    g_signal_connect(m_window, "destroy", G_CALLBACK(S::destroyed), this);
    g_signal_connect(m_inputMethod, "commit", G_CALLBACK(S::commit), this);
    g_signal_connect(m_inputMethod, "preedit-changed", G_CALLBACK(S::preeditChanged), this);
}

// --- geometry and state ----------------------------------------------------

void GtkWindowPeer::applyContentSize()
{
    const int width = roundedPoints(m_frame.width), height = roundedPoints(m_frame.height);
    // A fixed window takes exactly its content's request; a resizable one
    // may shrink below it, so its content asks for nothing.
    // The menu bar is part of the window's size (and of a fixed window's
    // size hints), not of the content's.
    if (m_spec.resizable)
        gtk_widget_set_size_request(m_area, -1, -1);
    else
        gtk_widget_set_size_request(m_area, width, height);
    gtk_window_set_resizable(GTK_WINDOW(m_window), m_spec.resizable);
    gtk_window_resize(GTK_WINDOW(m_window), width, height + menuBarHeight());
}

int GtkWindowPeer::menuBarHeight() const
{
    if (!m_menuBar || !gtk_widget_get_visible(m_menuBar))
        return 0;
    int height = 0;
    gtk_widget_get_preferred_height_for_width(m_menuBar, roundedPoints(m_frame.width), nullptr, &height);
    return height;
}

void GtkWindowPeer::setMenuBar(GtkWidget* bar)
{
    if (bar == m_menuBar)
        return;
    if (m_menuBar) {
        g_signal_handlers_disconnect_by_data(m_menuBar, this);
        if (gtk_widget_get_parent(m_menuBar) == m_layout)
            gtk_container_remove(GTK_CONTAINER(m_layout), m_menuBar);
    }
    m_menuBar = bar;
    if (m_destroyed)
        m_menuBar = nullptr;
    if (!m_menuBar)
        return;
    if (GtkWidget* parent = gtk_widget_get_parent(m_menuBar))
        gtk_container_remove(GTK_CONTAINER(parent), m_menuBar);
    gtk_box_pack_start(GTK_BOX(m_layout), m_menuBar, FALSE, FALSE, 0);
    g_signal_connect(m_menuBar, "notify::visible", G_CALLBACK(GtkWindowPeerSignals::menuBarVisible), this);
    g_signal_connect(m_menuBar, "destroy", G_CALLBACK(GtkWindowPeerSignals::menuBarGone), this);
    noteMenuBarShown();
}

void GtkWindowPeer::noteMenuBarShown()
{
    if (m_destroyed)
        return;
    // The content keeps its place and size; the window takes the bar in.
    moveTo(peer::Point{m_frame.x, m_frame.y});
    applyContentSize();
}

void GtkWindowPeer::resizeFramebuffer(double scale)
{
    m_framebuffer.resize(peer::Size{m_frame.width, m_frame.height}, scale);
}

void GtkWindowPeer::setContentFrame(const peer::Rect& frame)
{
    const bool resized = frame.width != m_frame.width || frame.height != m_frame.height;
    const bool moved = frame.x != m_frame.x || frame.y != m_frame.y;
    m_frame = frame;
    if (moved)
        moveTo(peer::Point{frame.x, frame.y});
    if (resized) {
        applyContentSize();
        resizeFramebuffer(m_framebuffer.scale());
        invalidate({peer::Rect{0, 0, m_frame.width, m_frame.height}});
    }
}

void GtkWindowPeer::moveTo(peer::Point topLeft)
{
    const peer::Point origin = GtkScreens::firstScreenOrigin(gtk_widget_get_display(m_window));
    gtk_window_move(GTK_WINDOW(m_window), int(std::lround(topLeft.x + origin.x)),
                    int(std::lround(topLeft.y + origin.y)) - menuBarHeight());
}

void GtkWindowPeer::setTitle(const std::string& title)
{
    gtk_window_set_title(GTK_WINDOW(m_window), title.c_str());
}

void GtkWindowPeer::setLevel(int level)
{
    m_spec.level = level;
    gtk_window_set_keep_above(GTK_WINDOW(m_window), level > 0);
}

void GtkWindowPeer::setResizable(bool resizable)
{
    if (m_spec.resizable == resizable)
        return;
    m_spec.resizable = resizable;
    applyContentSize();
}

void GtkWindowPeer::show(bool takeFocus)
{
    if (m_destroyed)
        return;
    GtkWindow* window = GTK_WINDOW(m_window);
    gtk_window_set_focus_on_map(window, takeFocus);
    gtk_widget_show_all(m_window);
    if (takeFocus)
        gtk_window_present(window);
    else if (GdkWindow* gdkWindow = gtk_widget_get_window(m_window))
        gdk_window_raise(gdkWindow);
    invalidate({peer::Rect{0, 0, m_frame.width, m_frame.height}});
}

void GtkWindowPeer::activate(const std::string& startupId)
{
    if (m_destroyed)
        return;
    GtkWindow* window = GTK_WINDOW(m_window);
    gtk_window_set_focus_on_map(window, TRUE);
    gtk_widget_show_all(m_window);
    gtk_window_deiconify(window);
    GdkWindow* gdkWindow = gtk_widget_get_window(m_window);
    if (gdkWindow == nullptr || !GDK_IS_X11_WINDOW(gdkWindow)) {
        gtk_window_present(window);
        return;
    }
    guint32 time = timeOfStartupId(startupId);
    if (time == 0)
        time = gdk_x11_get_server_time(gdkWindow);
    gdk_x11_window_set_user_time(gdkWindow, time);
    if (!startupId.empty())
        gdk_notify_startup_complete_with_id(startupId.c_str());
    gtk_window_present_with_time(window, time);
    invalidate({peer::Rect{0, 0, m_frame.width, m_frame.height}});
}

void GtkWindowPeer::hide()
{
    gtk_widget_hide(m_window);
    noteFocus(false);
}

bool GtkWindowPeer::isVisible() const
{
    return gtk_widget_get_visible(m_window) && !m_minimized;
}

void GtkWindowPeer::setMinimized(bool minimized)
{
    if (minimized)
        gtk_window_iconify(GTK_WINDOW(m_window));
    else
        gtk_window_deiconify(GTK_WINDOW(m_window));
}

void GtkWindowPeer::setFullScreen(bool fullScreen)
{
    if (fullScreen)
        gtk_window_fullscreen(GTK_WINDOW(m_window));
    else
        gtk_window_unfullscreen(GTK_WINDOW(m_window));
}

void GtkWindowPeer::close()
{
    m_closed = true;
    hide();
}

void GtkWindowPeer::noteAllocation(int width, int height)
{
    const peer::Size allocated{double(width), double(height)};
    if (allocated == peer::Size{m_frame.width, m_frame.height})
        return;
    // The user or the window manager resized the window: the client may
    // want another size (asked once per answer, so a window manager that
    // insists cannot make us ask forever).
    if (m_clients.window && !(m_resizeAsked && *m_resizeAsked == allocated)) {
        const peer::Size answer = m_clients.window->windowWillResize(allocated);
        if (!(answer == allocated)) {
            m_resizeAsked = answer;
            gtk_window_resize(GTK_WINDOW(m_window), roundedPoints(answer.width), roundedPoints(answer.height));
            return;
        }
    }
    m_resizeAsked.reset();
    m_frame.width = allocated.width;
    m_frame.height = allocated.height;
    resizeFramebuffer(m_framebuffer.scale());
    invalidate({peer::Rect{0, 0, m_frame.width, m_frame.height}});
    if (m_clients.window)
        m_clients.window->windowResized(allocated);
}

void GtkWindowPeer::noteConfigure()
{
    GdkWindow* content = gtk_widget_get_window(m_area);
    if (!content || !gtk_widget_get_mapped(m_window))
        return;
    int x = 0, y = 0;
    gdk_window_get_origin(content, &x, &y);
    const peer::Point origin = GtkScreens::firstScreenOrigin(gtk_widget_get_display(m_window));
    const peer::Point topLeft{x - origin.x, y - origin.y};
    if (topLeft == peer::Point{m_frame.x, m_frame.y})
        return;
    m_frame.x = topLeft.x;
    m_frame.y = topLeft.y;
    if (m_clients.window)
        m_clients.window->windowMoved(topLeft);
}

void GtkWindowPeer::noteScaleFactor()
{
    const double scale = gtk_widget_get_scale_factor(m_area);
    if (scale == m_framebuffer.scale())
        return;
    resizeFramebuffer(scale);
    invalidate({peer::Rect{0, 0, m_frame.width, m_frame.height}});
    if (m_clients.window)
        m_clients.window->windowBackingScaleChanged(scale);
}

void GtkWindowPeer::noteWindowState(unsigned changed, unsigned state)
{
    if (changed & GDK_WINDOW_STATE_FULLSCREEN)
        m_fullScreen = (state & GDK_WINDOW_STATE_FULLSCREEN) != 0;
    if (changed & GDK_WINDOW_STATE_ICONIFIED) {
        m_minimized = (state & GDK_WINDOW_STATE_ICONIFIED) != 0;
        if (m_clients.window)
            m_clients.window->windowMinimizedChanged(m_minimized);
    }
}

void GtkWindowPeer::noteFocus(bool focused)
{
    if (focused == m_focused)
        return;
    m_focused = focused;
    if (focused) {
        gtk_im_context_focus_in(m_inputMethod);
    } else {
        m_clicks.reset();
        m_keysDown.clear();
        gtk_im_context_focus_out(m_inputMethod);
    }
    if (m_clients.window)
        m_clients.window->windowFocusChanged(focused);
}

void GtkWindowPeer::noteDestroyed()
{
    // The window system took the window away (its window was destroyed
    // from outside): closed without asking, and the client hears of it.
    setMenuBar(nullptr); // before the toolkit destroys the window's children
    m_destroyed = true;
    const bool wasClosed = m_closed;
    m_closed = true;
    noteFocus(false);
    if (!wasClosed && m_clients.window)
        m_clients.window->windowClosed(); // may destroy this peer
}

bool GtkWindowPeer::handleDelete()
{
    if (m_closed || !m_spec.closable)
        return false;
    peer::WindowClient* client = m_clients.window;
    if (client && !client->windowShouldClose())
        return false;
    close();
    // The client may destroy this peer from here on.
    if (client)
        client->windowClosed();
    return true;
}

// --- painting ----------------------------------------------------------------

void GtkWindowPeer::invalidate(const std::vector<peer::Rect>& region)
{
    const std::vector<peer::Rect> inside = m_framebuffer.mark(region);
    if (!inside.empty())
        queueDraw(inside);
}

void GtkWindowPeer::queueDraw(const std::vector<peer::Rect>& region)
{
    if (m_destroyed)
        return;
    cairo_region_t* area = cairo_region_create();
    for (const peer::Rect& r : region) {
        const int left = int(std::floor(r.x)), top = int(std::floor(r.y));
        const int right = int(std::ceil(r.x + r.width)), bottom = int(std::ceil(r.y + r.height));
        const cairo_rectangle_int_t pixels{left, top, right - left, bottom - top};
        cairo_region_union_rectangle(area, &pixels);
    }
    gtk_widget_queue_draw_region(m_area, area);
    cairo_region_destroy(area);
}

std::vector<peer::Rect> GtkWindowPeer::drawMarked()
{
    if (m_closed || !m_clients.window) {
        m_framebuffer.unmark();
        return {};
    }
    return m_framebuffer.drawMarked(*m_clients.window);
}

void GtkWindowPeer::displayNow()
{
    // The pixels now; the window shows them on the toolkit's next frame.
    const std::vector<peer::Rect> drawn = drawMarked();
    if (!drawn.empty())
        queueDraw(drawn);
}

void GtkWindowPeer::paint(cairo_t* cr)
{
    drawMarked();
    if (m_framebuffer.empty())
        return;
    // Memory order B, G, R, A is cairo's native 32-bit word on this machine;
    // an opaque window ignores the alpha byte.
    const cairo_format_t format = m_spec.transparent ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
    const int width = m_framebuffer.pixelWidth(), height = m_framebuffer.pixelHeight();
    cairo_surface_t* surface = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(m_framebuffer.data()), format, width, height, width * 4);
    cairo_surface_set_device_scale(surface, m_framebuffer.scale(), m_framebuffer.scale());
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(surface);
}

// --- input -------------------------------------------------------------------

void GtkWindowPeer::readClickLimits()
{
    gint time = 400, distance = 5;
    g_object_get(gtk_widget_get_settings(m_area), "gtk-double-click-time", &time, "gtk-double-click-distance",
                 &distance, nullptr);
    m_clicks.setLimits(std::uint32_t(std::max(0, time)), double(std::max(0, distance)));
}

bool GtkWindowPeer::handleButton(const GdkEvent& event)
{
    // The toolkit's own double- and triple-click events repeat presses
    // already counted.
    if (event.type != GDK_BUTTON_PRESS && event.type != GDK_BUTTON_RELEASE)
        return true;
    const GdkEventButton& button = event.button;
    const std::optional<int> number = platformButton(button.button);
    if (!number)
        return false;
    peer::MouseButtonInput input;
    input.down = event.type == GDK_BUTTON_PRESS;
    input.button = *number;
    input.location = peer::Point{button.x, button.y};
    input.modifiers = modifiersOf(button.state);
    if (input.down) {
        readClickLimits();
        input.clickCount = m_clicks.press(*number, button.time, button.x, button.y);
    } else {
        input.clickCount = std::max(1, m_clicks.current());
    }
    noteModifiers(input.modifiers);
    if (m_clients.input)
        m_clients.input->mouseButton(input);
    return true;
}

bool GtkWindowPeer::handleMotion(const GdkEvent& event)
{
    const GdkEventMotion& motion = event.motion;
    peer::MouseMotionInput input;
    input.location = peer::Point{motion.x, motion.y};
    input.modifiers = modifiersOf(motion.state);
    input.buttons = platformButtonsHeld(motion.state);
    if (m_lastMotion) {
        input.deltaX = motion.x - m_lastMotion->x;
        input.deltaY = motion.y - m_lastMotion->y;
    }
    m_lastMotion = input.location;
    noteModifiers(input.modifiers);
    if (m_clients.input)
        m_clients.input->mouseMotion(input);
    return true;
}

bool GtkWindowPeer::handleCrossing(const GdkEvent& event)
{
    const GdkEventCrossing& crossing = event.crossing;
    // Grabs move the pointer's owner, not the pointer; a child window of
    // the content is still the content.
    if (crossing.mode != GDK_CROSSING_NORMAL || crossing.detail == GDK_NOTIFY_INFERIOR)
        return false;
    const bool entered = event.type == GDK_ENTER_NOTIFY;
    const peer::Point location = peer::Point{crossing.x, crossing.y};
    const std::uint64_t modifiers = modifiersOf(crossing.state);
    m_lastMotion = entered ? std::optional<peer::Point>(location) : std::nullopt;
    if (!entered)
        m_clicks.reset();
    if (m_clients.input)
        m_clients.input->mouseCrossing(entered, location, modifiers);
    return true;
}

bool GtkWindowPeer::handleScroll(const GdkEvent& event)
{
    const GdkEventScroll& scroll = event.scroll;
    GdkDevice* source = gdk_event_get_source_device(&event);
    const bool fromTouchpad = source && gdk_device_get_source(source) == GDK_SOURCE_TOUCHPAD;
    const std::optional<WheelDeltas> deltas = wheelDeltas(scroll, fromTouchpad);
    if (!deltas)
        return true;
    peer::WheelInput input;
    input.location = peer::Point{scroll.x, scroll.y};
    input.modifiers = modifiersOf(scroll.state);
    input.deltaX = deltas->x;
    input.deltaY = deltas->y;
    input.precise = deltas->precise;
    noteModifiers(input.modifiers);
    if (m_clients.input)
        m_clients.input->wheel(input);
    return true;
}

bool GtkWindowPeer::handleKey(const GdkEvent& event)
{
    const GdkEventKey& key = event.key;
    const bool down = event.type == GDK_KEY_PRESS;
    // An event's state is the one before the key; a modifier key changes it.
    std::uint64_t modifiers = modifiersOf(key.state);
    const std::uint64_t modifierKey = modifierFlagOfKey(key.keyval);
    if (modifierKey || key.keyval == GDK_KEY_Caps_Lock) {
        if (key.keyval == GDK_KEY_Caps_Lock)
            modifiers = down ? modifiers ^ keyboard::kModifierCapsLock : modifiers;
        else
            modifiers = down ? modifiers | modifierKey : modifiers & ~modifierKey;
        noteModifiers(modifiers);
        if (m_clients.input)
            m_clients.input->modifiersChanged(modifiers);
        return true;
    }
    const unsigned hardware = key.hardware_keycode;
    peer::KeyInput input;
    input.down = down;
    input.repeat = down && m_keysDown.count(hardware) != 0;
    if (down)
        m_keysDown.insert(hardware);
    else
        m_keysDown.erase(hardware);
    const std::optional<std::uint16_t> virtualKey = hardware >= keyboard::kXkbKeycodeOffset
        ? keyboard::virtualKeyFromEvdev(hardware - keyboard::kXkbKeycodeOffset)
        : std::nullopt;
    input.keyCode = virtualKey ? *virtualKey : kNoVirtualKey;
    input.modifiers = modifiers | keyKindFlags(key.keyval);
    input.characters = platformCharacters(key.keyval);
    // Without modifiers but Shift, as the platform reports them.
    guint plainKeyval = key.keyval;
    gdk_keymap_translate_keyboard_state(gdk_keymap_get_for_display(gtk_widget_get_display(m_window)), hardware,
                                        GdkModifierType(key.state & GDK_SHIFT_MASK), key.group, &plainKeyval, nullptr,
                                        nullptr, nullptr);
    input.charactersIgnoringModifiers = platformCharacters(plainKeyval);
    noteModifiers(modifiers);
    if (down && (m_composing || isComposingKey(key.keyval)) && composeKey(event, input))
        return true;
    if (m_clients.input)
        m_clients.input->key(input);
    return true;
}

bool GtkWindowPeer::composeKey(const GdkEvent& event, peer::KeyInput input)
{
    m_composed.clear();
    GdkEventKey key = event.key;
    m_filtering = true;
    const bool filtered = gtk_im_context_filter_keypress(m_inputMethod, &key);
    m_filtering = false;
    if (!filtered) {
        m_composing = false;
        return false;
    }
    // Taken without a result: the input method is in the middle of a
    // sequence (whether or not it shows marked text).
    const bool committed =
        std::any_of(m_composed.begin(), m_composed.end(), [](const peer::TextInput& text) { return text.committed; });
    if (!committed)
        m_composing = true;
    // The key itself gives no characters; what it composed follows as text.
    input.characters.clear();
    const std::vector<peer::TextInput> composed = std::move(m_composed);
    m_composed.clear();
    peer::ViewInputClient* client = m_clients.input; // the client may close this window
    if (!client)
        return true;
    client->key(input);
    for (const peer::TextInput& text : composed)
        client->text(text);
    return true;
}

void GtkWindowPeer::noteComposed(peer::TextInput text)
{
    if (text.committed)
        m_composing = false;
    else
        m_composing = !text.text.empty();
    if (m_filtering)
        m_composed.push_back(std::move(text));
    else if (m_clients.input) // the input method gave up its marked text (the focus went)
        m_clients.input->text(text);
}

} // namespace platform::gtk
