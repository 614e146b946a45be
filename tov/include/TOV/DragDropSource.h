#pragma once
// The drag-source side of every widget: a condition that says where a drag
// may start and the function called when one starts. The detection of a
// drag from mouse input joins this class with the framework's drag-start
// detector; until then the class only holds the two functions.
#include <functional>

#include "BAS/Point.h"
#include "TOV/Forward.h"

namespace CV::TOV {

class DragDropSource {
public:
    DragDropSource() = default;
    virtual ~DragDropSource();

    // The condition's answer for a press at the position; false without one.
    virtual bool canDragStart(BAS::Point const& position) const;
    // Milliseconds a press must be held before a drag may start.
    virtual void setDragStartTimeout(unsigned milliseconds);
    // Sees every widget-level mouse code before the widget does; non-zero
    // means the drag source took it.
    virtual int handleDragDropSourceMouse(unsigned code, FEN::MouseEventData* data, Pane* pane);
    unsigned getDragStartTimeout() const { return m_uDragStartTimeout; }

    std::function<void(FEN::MouseEventData*)> m_fnDragStart;
    std::function<bool(BAS::Point const&)> m_fnCanDragStart;

private:
    unsigned m_uDragStartTimeout = 0;
};

} // namespace CV::TOV
