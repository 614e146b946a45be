#include "TOV/DragDropSource.h"

#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "TOV/Pane.h"
#include "TOV/WidgetMouseEvent.h"

namespace CV::TOV {

namespace {

constexpr unsigned kLeft = unsigned(FEN::eMouseButton::Left);

} // namespace

DragDropSource::~DragDropSource() = default;

bool DragDropSource::canDragStart(BAS::Point const& position) const
{
    return m_fnCanDragStart ? m_fnCanDragStart(position) : false;
}

int DragDropSource::handleDragDropSourceMouse(unsigned code, FEN::MouseEventData* data, Pane* pane)
{
    switch (code) {
    case eWidgetMouseEvent::WidgetMouseDown + kLeft:
        return handleDropSourceMouseEvent(FEN::eMouseEvent::MouseButton, data) == ePossibleDrag ? eTaken : eNotTaken;
    case eWidgetMouseEvent::WidgetMouseUp + kLeft:
        handleDropSourceMouseEvent(FEN::eMouseEvent::MouseButton, data);
        return eNotTaken;
    case FEN::eMouseEvent::MouseLeave: handleDropSourceMouseEvent(FEN::eMouseEvent::MouseLeave, data); return eNotTaken;
    case eWidgetMouseEvent::WidgetMouseDrag + kLeft:
        switch (handleDropSourceMouseEvent(FEN::eMouseEvent::MouseDrag, data)) {
        case ePossibleDrag: return eTaken;
        case eStartDrag: return startDrag(data, pane);
        default: return eNotTaken;
        }
    default: return eNotTaken;
    }
}

// The drag takes over the mouse: the pane forgets its over and down
// widgets (repainting them) before the drag-start function runs.
int DragDropSource::startDrag(FEN::MouseEventData* data, Pane* pane)
{
    if (pane != nullptr) {
        pane->setOver(nullptr);
        pane->setDown(nullptr);
    }
    if (m_fnDragStart)
        m_fnDragStart(data);
    return eDragStarted;
}

} // namespace CV::TOV
