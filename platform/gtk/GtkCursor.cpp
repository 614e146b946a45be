#include "platform/gtk/GtkCursor.h"

#include "platform/gtk/GtkScreens.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstring>

namespace platform::gtk {

namespace {

struct ShapeName {
    const char* shape;
    const char* theme;
};

constexpr ShapeName kShapes[] = {
    {"arrow", "default"},
    {"ibeam", "text"},
    {"pointing-hand", "pointer"},
    {"crosshair", "crosshair"},
    {"open-hand", "grab"},
    {"closed-hand", "grabbing"},
    {"resize-left-right", "ew-resize"},
    {"resize-up-down", "ns-resize"},
    {"not-allowed", "not-allowed"},
    {"resize-up", "n-resize"},
    {"copy", "copy"},
    {"alias", "alias"},
};

GdkDevice* pointerOf(GdkDisplay* display)
{
    return gdk_seat_get_pointer(gdk_display_get_default_seat(display));
}

} // namespace

GtkCursor::GtkCursor(GdkDisplay* display)
    : m_display(display)
{
}

GtkCursor::~GtkCursor()
{
    for (GtkWidget* area : m_areas)
        g_signal_handlers_disconnect_by_data(area, this);
    if (m_cursor)
        g_object_unref(m_cursor);
    if (m_blank)
        g_object_unref(m_blank);
}

const char* GtkCursor::themeName(const std::string& shape)
{
    for (const ShapeName& entry : kShapes)
        if (shape == entry.shape)
            return entry.theme;
    return kShapes[0].theme;
}

GdkCursor* GtkCursor::makeCursor(const peer::CursorImage& image) const
{
    const bool hasPicture = image.shape.empty() && image.width > 0 && image.height > 0 &&
        image.pixels.size() >= std::size_t(image.width) * std::size_t(image.height);
    if (!hasPicture)
        return gdk_cursor_new_from_name(m_display, themeName(image.shape));
    // Premultiplied B, G, R, A words are cairo's native ARGB32.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int row = 0; row < image.height; ++row)
        std::memcpy(data + std::size_t(row) * std::size_t(stride), &image.pixels[std::size_t(row) * image.width],
                    std::size_t(image.width) * 4);
    cairo_surface_mark_dirty(surface);
    GdkCursor* cursor = gdk_cursor_new_from_surface(m_display, surface, image.hotSpot.x, image.hotSpot.y);
    cairo_surface_destroy(surface);
    return cursor;
}

void GtkCursor::setCursor(const peer::CursorImage& image)
{
    GdkCursor* cursor = makeCursor(image);
    if (m_cursor)
        g_object_unref(m_cursor);
    m_cursor = cursor;
    showEverywhere();
}

void GtkCursor::setHidden(bool hidden)
{
    if (hidden == m_hidden)
        return;
    m_hidden = hidden;
    if (hidden && !m_blank)
        m_blank = gdk_cursor_new_for_display(m_display, GDK_BLANK_CURSOR);
    showEverywhere();
}

GdkCursor* GtkCursor::shownCursor() const
{
    return m_hidden ? m_blank : m_cursor;
}

void GtkCursor::showOn(GtkWidget* area) const
{
    if (GdkWindow* window = gtk_widget_get_window(area))
        gdk_window_set_cursor(window, shownCursor());
}

void GtkCursor::showEverywhere() const
{
    for (GtkWidget* area : m_areas)
        showOn(area);
}

void GtkCursor::onRealize(GtkWidget* area, void* self)
{
    static_cast<GtkCursor*>(self)->showOn(area);
}

void GtkCursor::attach(GtkWidget* area)
{
    m_areas.push_back(area);
    g_signal_connect_after(area, "realize", G_CALLBACK(&GtkCursor::onRealize), this);
    showOn(area);
}

void GtkCursor::detach(GtkWidget* area)
{
    m_areas.erase(std::remove(m_areas.begin(), m_areas.end(), area), m_areas.end());
    g_signal_handlers_disconnect_by_data(area, this);
}

void GtkCursor::warp(peer::Point screenLocation)
{
    const peer::Point origin = GtkScreens::firstScreenOrigin(m_display);
    gdk_device_warp(pointerOf(m_display), gdk_display_get_default_screen(m_display), int(screenLocation.x + origin.x),
                    int(screenLocation.y + origin.y));
}

peer::Point GtkCursor::location() const
{
    gdouble x = 0, y = 0;
    gdk_device_get_position_double(pointerOf(m_display), nullptr, &x, &y);
    const peer::Point origin = GtkScreens::firstScreenOrigin(m_display);
    return peer::Point{x - origin.x, y - origin.y};
}

} // namespace platform::gtk
