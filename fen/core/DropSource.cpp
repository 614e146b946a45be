#include "FEN/DropSource.h"

#include "BAS/Timer.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"

namespace CV {
namespace FEN {

namespace {

// Squared distance the pointer must reach before a drag starts.
constexpr uint32_t kStartDistanceSquared = 8;

uint32_t nowMs()
{
    return uint32_t(BAS::Timer::convertTicksToMS(BAS::Timer::getCurrentTicks()));
}

} // namespace

int DropSource::handleDropSourceMouseEvent(unsigned code, EventData* data)
{
    if (!isMouseEvent(code) || data == nullptr)
        return eNothing;
    switch (code) {
    case eMouseEvent::MouseButton: {
        auto* button = static_cast<MouseButtonEventData*>(data);
        if (m_bEnabled && button->button == eMouseButton::Left && button->state != eMouseButtonState::Up &&
            button->state != eMouseButtonState::DoubleClick && canDragStart(button->position)) {
            // 0 means not armed: a press at tick 0 counts from 1.
            const uint32_t now = nowMs();
            m_uPressTime = now != 0 ? now : 1;
            m_ptPress = button->position;
            return ePossibleDrag;
        }
        m_uPressTime = 0;
        return eNothing;
    }
    case eMouseEvent::MouseDrag:
    case eMouseEvent::MouseMove: {
        if (m_uPressTime == 0)
            return eNothing;
        auto* mouse = static_cast<MouseEventData*>(data);
        const uint32_t dx = uint32_t(m_ptPress.x - mouse->position.x);
        const uint32_t dy = uint32_t(m_ptPress.y - mouse->position.y);
        if (dx * dx + dy * dy < kStartDistanceSquared)
            return ePossibleDrag;
        if (nowMs() - m_uPressTime < m_uDragStartTimeout)
            return ePossibleDrag;
        m_uPressTime = 0;
        return eStartDrag;
    }
    case eMouseEvent::MouseLeave: m_uPressTime = 0; return eNothing;
    default: return eNothing;
    }
}

} // namespace FEN
} // namespace CV
