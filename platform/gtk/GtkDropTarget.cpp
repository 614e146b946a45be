#include "platform/gtk/GtkDropTarget.h"

#include "platform/backend/Backend.h"
#include "platform/gtk/GtkDragSession.h"
#include "platform/gtk/SelectionTargets.h"

#include <gtk/gtk.h>

#include <vector>

namespace platform::gtk {

const char* const GtkDropTarget::kDragPasteboard = "Apple CFPasteboard drag";

namespace {

// The one action of those allowed for the operation the client chose:
// copy before move before link.
GdkDragAction chosenAction(unsigned operation, GdkDragAction allowed)
{
    for (GdkDragAction action : {GDK_ACTION_COPY, GDK_ACTION_MOVE, GDK_ACTION_LINK, GDK_ACTION_PRIVATE})
        if ((GtkDragSession::actionsFor(operation) & action) && (allowed & action))
            return action;
    // A generic answer takes what the source suggests.
    if ((operation & peer::kDragGeneric) && allowed)
        return GdkDragAction(allowed & -int(allowed));
    return GdkDragAction(0);
}

} // namespace

GtkDropTarget::GtkDropTarget(GtkWidget* widget, peer::DragDestinationClient* client)
    : m_widget(widget)
    , m_client(client)
{
    g_object_add_weak_pointer(G_OBJECT(m_widget), reinterpret_cast<gpointer*>(&m_widget));
    gtk_drag_dest_set(m_widget, GtkDestDefaults(0), nullptr, 0,
                      GdkDragAction(GDK_ACTION_COPY | GDK_ACTION_MOVE | GDK_ACTION_LINK | GDK_ACTION_PRIVATE));
    g_signal_connect(m_widget, "drag-motion", G_CALLBACK(&GtkDropTarget::onMotion), this);
    g_signal_connect(m_widget, "drag-leave", G_CALLBACK(&GtkDropTarget::onLeave), this);
    g_signal_connect(m_widget, "drag-drop", G_CALLBACK(&GtkDropTarget::onDrop), this);
    g_signal_connect(m_widget, "drag-data-received", G_CALLBACK(&GtkDropTarget::onDataReceived), this);
}

GtkDropTarget::~GtkDropTarget()
{
    if (m_exitSource)
        g_source_remove(m_exitSource);
    if (m_context)
        g_object_unref(m_context);
    if (m_widget) {
        g_signal_handlers_disconnect_by_data(m_widget, this);
        gtk_drag_dest_unset(m_widget);
        g_object_remove_weak_pointer(G_OBJECT(m_widget), reinterpret_cast<gpointer*>(&m_widget));
    }
}

peer::DragInfo GtkDropTarget::info() const
{
    return peer::DragInfo{m_point, kDragPasteboard,
                          GtkDragSession::operationsFor(gdk_drag_context_get_actions(m_context))};
}

// A new drag: its data is asked for, the client waits for it.
void GtkDropTarget::start(GdkDragContext* context, unsigned time)
{
    if (m_exitSource) {
        // The previous drag left for good.
        g_source_remove(m_exitSource);
        m_exitSource = 0;
        if (m_entered)
            m_client->dragExited();
    }
    forget();
    m_context = GDK_DRAG_CONTEXT(g_object_ref(context));
    peer::PasteboardPeer& pasteboard = Backend::current().pasteboard(kDragPasteboard);
    pasteboard.clear();
    std::vector<GdkAtom> offered;
    for (GList* target = gdk_drag_context_list_targets(context); target; target = target->next)
        offered.push_back(GDK_POINTER_TO_ATOM(target->data));
    const std::vector<GdkAtom> wanted = SelectionTargets::wanted(offered);
    m_pendingData = int(wanted.size());
    for (GdkAtom target : wanted)
        gtk_drag_get_data(m_widget, context, target, time);
}

bool GtkDropTarget::update(unsigned time)
{
    GdkDragContext* context = GDK_DRAG_CONTEXT(g_object_ref(m_context));
    const std::weak_ptr<bool> life = m_life;
    const unsigned operation = m_client->dragUpdated(info(), !m_entered);
    if (life.expired()) {
        gdk_drag_status(context, GdkDragAction(0), time);
        g_object_unref(context);
        return false;
    }
    g_object_unref(context);
    m_entered = true;
    m_action = chosenAction(operation, gdk_drag_context_get_actions(m_context));
    gdk_drag_status(m_context, m_action, time);
    return true;
}

void GtkDropTarget::perform(unsigned time)
{
    GdkDragContext* context = GDK_DRAG_CONTEXT(g_object_ref(m_context));
    const std::weak_ptr<bool> life = m_life;
    const bool taken = m_action != 0 && m_client->dragPerformed(info());
    gtk_drag_finish(context, taken, FALSE, time);
    g_object_unref(context);
    if (!life.expired())
        forget();
}

void GtkDropTarget::forget()
{
    if (m_context)
        g_object_unref(m_context);
    m_context = nullptr;
    m_pendingData = 0;
    m_entered = false;
    m_dropPending = false;
    m_action = GdkDragAction(0);
}

void GtkDropTarget::exitLater()
{
    if (m_exitSource)
        return;
    m_exitSource = g_idle_add(
        [](gpointer self) -> gboolean {
            auto* target = static_cast<GtkDropTarget*>(self);
            target->m_exitSource = 0;
            const bool entered = target->m_entered;
            target->forget();
            if (entered)
                target->m_client->dragExited();
            return G_SOURCE_REMOVE;
        },
        this);
}

gboolean GtkDropTarget::onMotion(GtkWidget*, GdkDragContext* context, int x, int y, unsigned time, void* self)
{
    auto* target = static_cast<GtkDropTarget*>(self);
    if (context != target->m_context)
        target->start(context, time);
    else if (target->m_exitSource) {
        // Back in before the leave was told: the drag goes on.
        g_source_remove(target->m_exitSource);
        target->m_exitSource = 0;
    }
    target->m_point = peer::Point{double(x), double(y)};
    target->m_motionTime = time;
    if (target->m_pendingData == 0)
        target->update(time);
    else
        gdk_drag_status(context, GdkDragAction(0), time);
    return TRUE;
}

void GtkDropTarget::onLeave(GtkWidget*, GdkDragContext* context, unsigned, void* self)
{
    auto* target = static_cast<GtkDropTarget*>(self);
    if (context == target->m_context)
        target->exitLater();
}

gboolean GtkDropTarget::onDrop(GtkWidget*, GdkDragContext* context, int x, int y, unsigned time, void* self)
{
    auto* target = static_cast<GtkDropTarget*>(self);
    if (target->m_exitSource) {
        g_source_remove(target->m_exitSource);
        target->m_exitSource = 0;
    }
    if (context != target->m_context) {
        // Dropped without a motion seen: nothing was offered to the client.
        gtk_drag_finish(context, FALSE, FALSE, time);
        return TRUE;
    }
    target->m_point = peer::Point{double(x), double(y)};
    if (target->m_pendingData == 0)
        target->perform(time);
    else
        target->m_dropPending = true;
    return TRUE;
}

void GtkDropTarget::onDataReceived(GtkWidget*, GdkDragContext* context, int, int, GtkSelectionData* selection, unsigned,
                                   unsigned time, void* self)
{
    auto* target = static_cast<GtkDropTarget*>(self);
    if (context != target->m_context || target->m_pendingData == 0)
        return;
    SelectionTargets::receive(Backend::current().pasteboard(kDragPasteboard), selection);
    if (--target->m_pendingData > 0)
        return;
    if (target->m_dropPending) {
        // The client decides on the data it now has.
        if (target->update(time))
            target->perform(time);
    } else if (!target->m_exitSource) {
        target->update(target->m_motionTime);
    }
}

} // namespace platform::gtk
