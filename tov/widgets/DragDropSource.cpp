#include "TOV/DragDropSource.h"

namespace CV::TOV {

DragDropSource::~DragDropSource() = default;

bool DragDropSource::canDragStart(BAS::Point const& position) const
{
    return m_fnCanDragStart ? m_fnCanDragStart(position) : false;
}

int DragDropSource::handleDragDropSourceMouse(unsigned, FEN::MouseEventData*, Pane*)
{
    return 0;
}

void DragDropSource::setDragStartTimeout(unsigned milliseconds)
{
    m_uDragStartTimeout = milliseconds;
}

} // namespace CV::TOV
