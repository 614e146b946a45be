#include "platform/gtk/GtkDragSession.h"

#include "platform/backend/Backend.h"
#include "platform/gtk/SelectionTargets.h"

#include <gtk/gtk.h>

namespace platform::gtk {

namespace {

// Platform operation bits and the toolkit's actions, in the order a single
// action is chosen.
const std::pair<unsigned, GdkDragAction> kActions[] = {
    {peer::kDragCopy, GDK_ACTION_COPY},
    {peer::kDragMove, GDK_ACTION_MOVE},
    {peer::kDragLink, GDK_ACTION_LINK},
    {peer::kDragPrivate, GDK_ACTION_PRIVATE},
};

peer::Point pointerPosition(GdkDragContext* context)
{
    gint x = 0;
    gint y = 0;
    if (GdkDevice* device = gdk_drag_context_get_device(context))
        gdk_device_get_position(device, nullptr, &x, &y);
    return peer::Point{double(x), double(y)};
}

} // namespace

GtkDragSession::GtkDragSession()
    : m_source(gtk_invisible_new())
{
    g_object_ref_sink(m_source);
    gtk_widget_realize(m_source);
    g_signal_connect(m_source, "drag-data-get", G_CALLBACK(&GtkDragSession::onDataGet), this);
    g_signal_connect(m_source, "drag-failed", G_CALLBACK(&GtkDragSession::onFailed), this);
    g_signal_connect(m_source, "drag-end", G_CALLBACK(&GtkDragSession::onEnd), this);
}

GtkDragSession::~GtkDragSession()
{
    // A drag still running ends without telling anyone: its listener may be
    // gone with the backend.
    g_signal_handlers_disconnect_by_data(m_source, this);
    if (m_context) {
        gtk_drag_cancel(m_context);
        g_object_unref(m_context);
    }
    gtk_widget_destroy(m_source);
    g_object_unref(m_source);
}

GdkDragAction GtkDragSession::actionsFor(unsigned operations)
{
    unsigned actions = 0;
    for (const auto& [bit, action] : kActions)
        if (operations & bit)
            actions |= action;
    // A generic operation is whatever the destination makes of it.
    if ((operations & peer::kDragGeneric) && actions == 0)
        actions = GDK_ACTION_COPY;
    return GdkDragAction(actions);
}

unsigned GtkDragSession::operationsFor(GdkDragAction actions)
{
    unsigned operations = 0;
    for (const auto& [bit, action] : kActions)
        if (actions & action)
            operations |= bit;
    return operations;
}

void GtkDragSession::begin(const std::string& pasteboard, const peer::CursorImage& image, peer::Point screenLocation,
                           unsigned allowedOperations, std::function<void(peer::Point, unsigned)> finished)
{
    if (m_context) {
        if (finished)
            finished(screenLocation, peer::kDragNone);
        return;
    }
    GtkTargetList* targets = SelectionTargets::offered(Backend::current().pasteboard(pasteboard), true);
    GdkEvent* trigger = gtk_get_current_event();
    GdkDragContext* context =
        gtk_drag_begin_with_coordinates(m_source, targets, actionsFor(allowedOperations), 1, trigger, -1, -1);
    if (trigger)
        gdk_event_free(trigger);
    gtk_target_list_unref(targets);
    if (!context) {
        if (finished)
            finished(screenLocation, peer::kDragNone);
        return;
    }
    m_context = GDK_DRAG_CONTEXT(g_object_ref(context));
    m_failed = false;
    m_pasteboard = pasteboard;
    m_finished = std::move(finished);
    showImage(image);
}

void GtkDragSession::showImage(const peer::CursorImage& image)
{
    if (image.width <= 0 || image.height <= 0 || image.pixels.size() < std::size_t(image.width) * image.height) {
        gtk_drag_set_icon_default(m_context);
        return;
    }
    // Premultiplied B, G, R, A words are cairo's ARGB32 on this machine.
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    unsigned char* rows = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y)
        std::copy_n(image.pixels.data() + std::size_t(y) * image.width, image.width,
                    reinterpret_cast<std::uint32_t*>(rows + std::size_t(y) * stride));
    cairo_surface_mark_dirty(surface);
    cairo_surface_set_device_offset(surface, -image.hotSpot.x, -image.hotSpot.y);
    gtk_drag_set_icon_surface(m_context, surface);
    cairo_surface_destroy(surface);
}

void GtkDragSession::end(unsigned operation)
{
    const peer::Point at = pointerPosition(m_context);
    g_object_unref(m_context);
    m_context = nullptr;
    auto finished = std::move(m_finished);
    m_finished = nullptr;
    if (finished)
        finished(at, operation);
}

void GtkDragSession::onDataGet(GtkWidget*, GdkDragContext*, GtkSelectionData* selection, unsigned, unsigned, void* self)
{
    auto* session = static_cast<GtkDragSession*>(self);
    SelectionTargets::serve(Backend::current().pasteboard(session->m_pasteboard), selection);
}

gboolean GtkDragSession::onFailed(GtkWidget*, GdkDragContext*, int, void* self)
{
    static_cast<GtkDragSession*>(self)->m_failed = true;
    // No animation back to the start: the drag is over.
    return TRUE;
}

void GtkDragSession::onEnd(GtkWidget*, GdkDragContext* context, void* self)
{
    auto* session = static_cast<GtkDragSession*>(self);
    if (context != session->m_context)
        return;
    session->end(session->m_failed ? peer::kDragNone : operationsFor(gdk_drag_context_get_selected_action(context)));
}

} // namespace platform::gtk
