#pragma once
// Delivers drag requests, drops, leave notices and the end of a drag
// started here to the targets and observers, remembers the target that
// accepted the drag and its effect, registers drag-and-drop format names
// and starts drags from clipboard formats.
#include "FEN/DragDropSupport.h"

#include <map>
#include <string>
#include <vector>

namespace CV {
namespace FEN {

class ClipBoardFormat;
class DragDropLeavedEventData;
class DragDropReceiveEventData;
class DragDropRequestEventData;
class EventData;
class EventTarget;
class ExchangeData;
class WindowBase;

class DragDropManager {
public:
    // A request of a drag that is over window, offered to target and the
    // observers; true when it was handled.
    static bool handleDragRequestEvent(WindowBase* window, DragDropRequestEventData* data, EventTarget* target);
    static bool handleDragReceiveEvent(DragDropReceiveEventData* data);
    static bool handleDragLeavedEvent(DragDropLeavedEventData* data);
    // The end of a drag started here.
    static bool handleDragFinishedEvent(DragDropSupport::DropResult result);

    // The id of a format name: the same for the same name, new names
    // numbered on from the application's signature.
    static unsigned registerFormat(const char* name);

    // Starts a drag of the format on a new pasteboard; receiver gets
    // DragFinished. Returns when the drag has ended (or failed to start).
    static void DoDragWithCallback(EventTarget* receiver, ClipBoardFormat const& format, unsigned allowed,
                                   DragDropSupport::DragImage const* image);
    static void DoDragWithCallback(ExchangeData& data, unsigned allowed, DragDropSupport::DragImage const* image);

    // A target is going away: it is no longer current, observing or
    // waiting for a result.
    static void forgetTarget(EventTarget const* target);
    // Ends the state of a drag from elsewhere (a window closed under it).
    static void resetDragState();

    // Where the drag source finds the view's record of the last mouse
    // input; installed by the platform view. Without it no drag starts.
    using DragViewDataProvider = bool (*)(DragViewData*& data);
    static DragViewDataProvider s_pfnGetDragViewData;

    static EventTarget* s_pCurrentDragTarget;
    static int32_t s_eCurrentDropEffect;
    // Ordered by address, no duplicates.
    static std::vector<EventTarget*>& observerReceivers();
    static EventTarget* s_pResultReceiver;
    static bool s_bIsDragInProgress;

    DragDropManager() = delete;

private:
    static void sendToObservers(unsigned code, EventData* data);
};

} // namespace FEN
} // namespace CV
