#pragma once
// Makes a widget (a window's content) a drag destination for a
// DragDestinationClient. The dragged data is fetched from the source when
// the drag enters and put on the drag pasteboard before the client is
// asked; the client's answer becomes the toolkit's drag status, a drop the
// client took is reported as done, any other as refused.
//
// The toolkit tells a widget that the drag left just before it delivers
// the drop there, so the client hears of a leave only when no drop
// follows in the same turn of the loop: the target it chose is kept for
// the drop.
#include "platform/peer/DragSessionPeer.h"

#include <gdk/gdk.h>

#include <memory>
#include <string>

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkSelectionData GtkSelectionData;

namespace platform::gtk {

class GtkDropTarget {
public:
    // The pasteboard the client reads a drop's data from.
    static const char* const kDragPasteboard;

    GtkDropTarget(GtkWidget* widget, peer::DragDestinationClient* client);
    ~GtkDropTarget();
    GtkDropTarget(const GtkDropTarget&) = delete;
    GtkDropTarget& operator=(const GtkDropTarget&) = delete;

private:
    void start(GdkDragContext* context, unsigned time);
    // False when the client's answer destroyed this target.
    bool update(unsigned time);
    void perform(unsigned time);
    void forget();
    void exitLater();
    peer::DragInfo info() const;

    static gboolean onMotion(GtkWidget*, GdkDragContext* context, int x, int y, unsigned time, void* self);
    static void onLeave(GtkWidget*, GdkDragContext* context, unsigned time, void* self);
    static gboolean onDrop(GtkWidget*, GdkDragContext* context, int x, int y, unsigned time, void* self);
    static void onDataReceived(GtkWidget*, GdkDragContext* context, int x, int y, GtkSelectionData* selection,
                               unsigned info, unsigned time, void* self);

    GtkWidget* m_widget;
    peer::DragDestinationClient* m_client;
    // The drag over the widget now, or null.
    GdkDragContext* m_context = nullptr;
    int m_pendingData = 0;
    bool m_entered = false;
    bool m_dropPending = false;
    GdkDragAction m_action = GdkDragAction(0);
    peer::Point m_point;
    unsigned m_motionTime = 0;
    unsigned m_exitSource = 0;
    // Gone with this target: a client may destroy its window (and so this
    // target) while it answers.
    std::shared_ptr<bool> m_life = std::make_shared<bool>(true);
};

} // namespace platform::gtk
