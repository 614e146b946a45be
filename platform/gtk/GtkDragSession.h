#pragma once
// A drag started by the program, run by the toolkit's drag and drop: the
// pasteboard's data offered as selection targets (SelectionTargets), the
// picture under the pointer, the end reported with the operation the
// destination performed (none when it refused or the drag was cancelled)
// and where the pointer was. One drag at a time: a second one while the
// first runs ends at once with no operation.
#include "platform/peer/DragSessionPeer.h"

#include <gdk/gdk.h>

typedef struct _GtkWidget GtkWidget;
typedef struct _GtkSelectionData GtkSelectionData;

namespace platform::gtk {

class GtkDragSession : public peer::DragSessionPeer {
public:
    GtkDragSession();
    ~GtkDragSession() override;
    GtkDragSession(const GtkDragSession&) = delete;
    GtkDragSession& operator=(const GtkDragSession&) = delete;

    void begin(const std::string& pasteboard, const peer::CursorImage& image, peer::Point screenLocation,
               unsigned allowedOperations, std::function<void(peer::Point, unsigned)> finished) override;
    bool isDragging() const override { return m_context != nullptr; }

    // The toolkit's actions for the platform's operation bits and back.
    static GdkDragAction actionsFor(unsigned operations);
    static unsigned operationsFor(GdkDragAction actions);

private:
    void showImage(const peer::CursorImage& image);
    void end(unsigned operation);

    static void onDataGet(GtkWidget*, GdkDragContext*, GtkSelectionData* selection, unsigned, unsigned, void* self);
    static gboolean onFailed(GtkWidget*, GdkDragContext*, int result, void* self);
    static void onEnd(GtkWidget*, GdkDragContext* context, void* self);

    GtkWidget* m_source;
    GdkDragContext* m_context = nullptr;
    bool m_failed = false;
    std::string m_pasteboard;
    std::function<void(peer::Point, unsigned)> m_finished;
};

} // namespace platform::gtk
