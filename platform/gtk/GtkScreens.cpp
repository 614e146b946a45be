#include "platform/gtk/GtkScreens.h"

#include <gtk/gtk.h>

namespace platform::gtk {

namespace {

GdkMonitor* firstMonitor(GdkDisplay* display)
{
    if (GdkMonitor* primary = gdk_display_get_primary_monitor(display))
        return primary;
    return gdk_display_get_n_monitors(display) > 0 ? gdk_display_get_monitor(display, 0) : nullptr;
}

peer::Rect relativeTo(const GdkRectangle& area, peer::Point origin)
{
    return peer::Rect{area.x - origin.x, area.y - origin.y, double(area.width), double(area.height)};
}

} // namespace

GtkScreens::GtkScreens(GdkDisplay* display)
    : m_display(display)
{
    g_signal_connect_swapped(display, "monitor-added", G_CALLBACK(&GtkScreens::changed), this);
    g_signal_connect_swapped(display, "monitor-removed", G_CALLBACK(&GtkScreens::changed), this);
    // Moves, new sizes and work areas of the monitors already there.
    g_signal_connect_swapped(gdk_display_get_default_screen(display), "monitors-changed",
                             G_CALLBACK(&GtkScreens::changed), this);
}

GtkScreens::~GtkScreens()
{
    g_signal_handlers_disconnect_by_data(gdk_display_get_default_screen(m_display), this);
    g_signal_handlers_disconnect_by_data(m_display, this);
}

void GtkScreens::changed(void* self)
{
    GtkScreens* screens = static_cast<GtkScreens*>(self);
    if (screens->m_handler)
        screens->m_handler();
}

peer::Point GtkScreens::firstScreenOrigin(GdkDisplay* display)
{
    GdkMonitor* first = display ? firstMonitor(display) : nullptr;
    if (!first)
        return peer::Point{};
    GdkRectangle area;
    gdk_monitor_get_geometry(first, &area);
    return peer::Point{double(area.x), double(area.y)};
}

std::vector<peer::ScreenInfo> GtkScreens::screens() const
{
    std::vector<peer::ScreenInfo> result;
    GdkMonitor* first = firstMonitor(m_display);
    if (!first)
        return result;
    const peer::Point origin = firstScreenOrigin(m_display);
    const int count = gdk_display_get_n_monitors(m_display);
    auto add = [&](GdkMonitor* monitor, unsigned id) {
        GdkRectangle geometry, workArea;
        gdk_monitor_get_geometry(monitor, &geometry);
        gdk_monitor_get_workarea(monitor, &workArea);
        result.push_back(peer::ScreenInfo{id, relativeTo(geometry, origin), relativeTo(workArea, origin),
                                          double(gdk_monitor_get_scale_factor(monitor))});
    };
    // Ids are the monitors' places in GDK's list, from 1.
    for (int i = 0; i < count; ++i)
        if (gdk_display_get_monitor(m_display, i) == first)
            add(first, unsigned(i) + 1);
    for (int i = 0; i < count; ++i)
        if (GdkMonitor* monitor = gdk_display_get_monitor(m_display, i); monitor != first)
            add(monitor, unsigned(i) + 1);
    return result;
}

} // namespace platform::gtk
