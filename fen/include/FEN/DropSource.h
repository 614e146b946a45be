#pragma once
// Decides from mouse input when a press on a draggable object turns into
// a drag: armed by a left press where canDragStart agrees, started once
// the pointer has moved far enough and the start timeout has passed.
#include "BAS/Point.h"

#include <cstdint>

namespace CV {
namespace FEN {

class EventData;

class DropSource {
public:
    enum eAnswer : int { eNothing = 0, ePossibleDrag = 1, eStartDrag = 2 };

    DropSource() = default;
    virtual ~DropSource() = default;

    virtual bool canDragStart(BAS::Point const& position) const = 0;
    virtual void setDragStartTimeout(unsigned ms) { m_uDragStartTimeout = ms; }

    // eNothing, ePossibleDrag or eStartDrag for one mouse event.
    int handleDropSourceMouseEvent(unsigned code, EventData* data);

    BAS::Point m_ptPress{0, 0};
    uint32_t m_uPressTime = 0; // 0: not armed
    uint32_t m_uDragStartTimeout = 0;
    bool m_bEnabled = true;
};

} // namespace FEN
} // namespace CV
