#pragma once
// The drag-source side of every widget: the framework's drag-start
// detector fed with the widget's left-button input, a condition that says
// where a drag may start and the function called when one starts. A
// starting drag ends the pane's hover and mouse capture.
#include <functional>

#include "BAS/Point.h"
#include "FEN/DropSource.h"
#include "TOV/Forward.h"

namespace CV::TOV {

class DragDropSource : public FEN::DropSource {
public:
    // What handleDragDropSourceMouse answers.
    enum eSourceAnswer : int { eNotTaken = 0, eTaken = 1, eDragStarted = 2 };

    DragDropSource() = default;
    ~DragDropSource() override;

    // The condition's answer for a press at the position; false without one.
    bool canDragStart(BAS::Point const& position) const override;
    // Sees every widget-level mouse code before the widget does: a left
    // press that arms the detector and the drags until one starts are
    // taken from the widget (non-zero).
    virtual int handleDragDropSourceMouse(unsigned code, FEN::MouseEventData* data, Pane* pane);
    unsigned getDragStartTimeout() const { return m_uDragStartTimeout; }

    std::function<void(FEN::MouseEventData*)> m_fnDragStart;
    std::function<bool(BAS::Point const&)> m_fnCanDragStart;

private:
    int startDrag(FEN::MouseEventData* data, Pane* pane);
};

} // namespace CV::TOV
