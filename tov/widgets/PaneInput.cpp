// Mouse and key routing of the pane: hit testing, hover, enter and leave,
// presses, releases and clicks, drags, the wheel, and keys through the
// input and focus widgets.
#include <array>

#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "TOV/Pane.h"
#include "TOV/Widget.h"
#include "TOV/WidgetMouseEvent.h"

namespace CV::TOV {

namespace {

constexpr uint64_t kHitTestable =
    Widget::eActive | Widget::eParentActive | Widget::eVisible | Widget::eEnabled | Widget::eParentEnabled;

std::shared_ptr<Widget> sharedOf(Widget* widget)
{
    return widget ? widget->weak_from_this().lock() : nullptr;
}

BAS::Point relativeTo(BAS::Point const& point, Widget const* widget)
{
    if (!widget)
        return point;
    return {point.x - widget->getAbsPos().x, point.y - widget->getAbsPos().y};
}

bool contains(BAS::Rect const& rect, BAS::Point const& point)
{
    return rect.left < rect.right && rect.top < rect.bottom && point.x >= rect.left && point.x < rect.right &&
        point.y >= rect.top && point.y < rect.bottom;
}

// The topmost hit-testable widget at position from widget down, unless a
// widget's filter (asked whether the position is inside it or not) takes
// the event first: {consumed, target}.
template <typename Filter>
std::pair<bool, std::shared_ptr<Widget>> locateTarget(std::shared_ptr<Widget> const& widget, BAS::Point const& position,
                                                      Filter const& filter)
{
    if (!widget->hasFlags(kHitTestable))
        return {false, nullptr};
    bool const inside = contains(widget->getClipRect(), position);
    if (filter(*widget, inside))
        return {true, widget};
    if (!inside)
        return {false, nullptr};
    widget->recreateChildrenByZIndexCollection();
    Widget::Children const children = widget->getChildrenByZ();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        auto result = locateTarget(*it, position, filter);
        if (result.second)
            return result;
    }
    return {false, widget};
}

} // namespace

bool Pane::onEvent(unsigned code, FEN::EventData* data)
{
    if (FEN::isMouseEvent(code))
        return onMouse(code, static_cast<FEN::MouseEventData*>(data));
    if (FEN::isKeyEvent(code))
        return onKey(code, static_cast<FEN::KeyEventData*>(data));
    return false;
}

template <typename Filter>
std::pair<bool, std::shared_ptr<Widget>> Pane::locateTargetAt(BAS::Point const& position, Filter const& filter) const
{
    std::vector<std::shared_ptr<Widget>> const overlays = m_vecOverlays;
    for (auto it = overlays.rbegin(); it != overlays.rend(); ++it) {
        auto result = locateTarget(*it, position, filter);
        if (result.second)
            return result;
    }
    if (!m_root)
        return {false, nullptr};
    std::shared_ptr<Widget> const root = m_root;
    return locateTarget(root, position, filter);
}

std::pair<bool, std::shared_ptr<Widget>> Pane::filterMouseEventAndLocateTarget(unsigned code,
                                                                               FEN::MouseEventData* data) const
{
    return locateTargetAt(data->position, [code, data](Widget& widget, bool inside) {
        return widget.filterMouseEvent(inside, code, data);
    });
}

std::pair<bool, std::shared_ptr<Widget>> Pane::filterDragDropRequestEventAndLocateTarget(
    unsigned code, FEN::DragDropRequestEventData* data) const
{
    return locateTargetAt(data->position, [code, data](Widget& widget, bool inside) {
        return widget.filterDragDropRequestEvent(inside, code, data);
    });
}

bool Pane::onMouse(unsigned code, FEN::MouseEventData* data)
{
    if (!m_root || !data)
        return false;
    std::shared_ptr<Widget> const keepRoot = m_root;
    m_ptLastMouse = data->position;
    std::pair<bool, std::shared_ptr<Widget>> hit{false, nullptr};
    if (code != FEN::eMouseEvent::MouseLeave)
        hit = filterMouseEventAndLocateTarget(code, data);
    std::shared_ptr<Widget> const target = hit.second;
    BAS::Point const local = relativeTo(m_ptLastMouse, target.get());

    if (!m_pDown && hit.first)
        code = FEN::eMouseEvent::MouseLeave;

    switch (code) {
    case FEN::eMouseEvent::MouseButton: {
        auto* button = static_cast<FEN::MouseButtonEventData*>(data);
        if (button->state == FEN::eMouseButtonState::Up)
            onMouseButtonReleasedEvent(target, data);
        else
            onMouseButtonPressedEvent(button, target, local);
        break;
    }
    case FEN::eMouseEvent::MouseDrag: onMouseDrag(target, data, local); break;
    case FEN::eMouseEvent::MouseMove:
        checkMouseLeaveEnter(target, m_ptLastMouse, data->modifiers);
        if (std::shared_ptr<Widget> const over = sharedOf(m_pOver)) {
            FEN::MouseEventData record;
            record.position = local;
            record.modifiers = data->modifiers;
            over->onMouse(FEN::eMouseEvent::MouseMove, &record);
        }
        break;
    case FEN::eMouseEvent::MouseWheel: onMouseWheel(target, data, local); break;
    case FEN::eMouseEvent::MouseEnter: setOver(target); break;
    case FEN::eMouseEvent::MouseLeave:
        checkMouseLeaveEnter(nullptr, m_ptLastMouse, data->modifiers);
        m_bLastPressDouble = false;
        break;
    case FEN::eMouseEvent::MouseRelativeMove:
        if (std::shared_ptr<Widget> const over = sharedOf(m_pOver))
            over->onMouse(FEN::eMouseEvent::MouseRelativeMove, data);
        break;
    default: break;
    }
    return true;
}

void Pane::checkMouseLeaveEnter(std::shared_ptr<Widget> const& target, BAS::Point const& position, uint32_t modifiers)
{
    setOver(target);
    if (m_pOver == m_pEntered)
        return;
    if (std::shared_ptr<Widget> const left = sharedOf(m_pEntered)) {
        FEN::MouseEventData record;
        record.position = relativeTo(position, left.get());
        record.modifiers = modifiers;
        deliverToWidget(*left, FEN::eMouseEvent::MouseLeave, &record);
    }
    m_pEntered = m_pOver;
    if (std::shared_ptr<Widget> const entered = sharedOf(m_pEntered)) {
        FEN::MouseEventData record;
        record.position = relativeTo(position, entered.get());
        record.modifiers = modifiers;
        deliverToWidget(*entered, FEN::eMouseEvent::MouseEnter, &record);
    }
}

void Pane::deliverToWidget(Widget& widget, unsigned code, FEN::MouseEventData* record)
{
    std::shared_ptr<Widget> const keep = sharedOf(&widget);
    if (widget.handleDragDropSourceMouse(code, record, widget.getPane()) == 0)
        widget.onMouse(code, record);
}

void Pane::onMouseButtonPressedEvent(FEN::MouseButtonEventData* data, std::shared_ptr<Widget> const& target,
                                     BAS::Point const& local)
{
    if (!target || !target->isEnabled() || data->button <= 0 || data->button > 4)
        return;
    if (!m_pDown) {
        moveFocusFrom(target.get());
        setInput(target);
        setDown(target);
        for (bool& held : m_abHeld)
            held = false;
    }
    m_abHeld[data->button] = true;
    setOver(target);

    FEN::MouseButtonEventData record;
    record.position = local;
    record.modifiers = data->modifiers;
    record.button = data->button;
    record.state = data->state;
    m_bLastPressDouble = false;
    std::shared_ptr<Widget> const down = sharedOf(m_pDown);
    if (!down)
        return;
    deliverToWidget(*down, eWidgetMouseEvent::WidgetMouseDown + unsigned(data->button), &record);
    if (m_pDown && data->state == FEN::eMouseButtonState::DoubleClick) {
        std::shared_ptr<Widget> const stillDown = sharedOf(m_pDown);
        deliverToWidget(*stillDown, eWidgetMouseEvent::WidgetDoubleClick + unsigned(data->button), &record);
        m_bLastPressDouble = true;
    }
}

void Pane::onMouseButtonReleasedEvent(std::shared_ptr<Widget> const& target, FEN::MouseEventData* data)
{
    std::shared_ptr<Widget> const receiver = m_pDown ? sharedOf(m_pDown) : target;
    if (!receiver) {
        m_bLastPressDouble = false;
        for (bool& held : m_abHeld)
            held = false;
        return;
    }
    setOver(target);
    BAS::Point const position = relativeTo(m_ptLastMouse, receiver.get());
    for (int i = 0; i < 5; ++i) {
        if (!m_abHeld[i])
            continue;
        FEN::MouseButtonEventData record;
        record.position = position;
        record.modifiers = data->modifiers;
        record.button = i;
        record.state = FEN::eMouseButtonState::Up;
        deliverToWidget(*receiver, eWidgetMouseEvent::WidgetMouseUp + unsigned(i), &record);
        if (m_pOver == m_pDown && m_pOver == receiver.get() && !m_bLastPressDouble)
            deliverToWidget(*receiver, eWidgetMouseEvent::WidgetClick + unsigned(i), &record);
    }
    m_bLastPressDouble = false;
    if (m_pDown) {
        m_pDown->setInvalid(0);
        m_pDown = nullptr;
    }
    for (bool& held : m_abHeld)
        held = false;
}

void Pane::onMouseDrag(std::shared_ptr<Widget> const& target, FEN::MouseEventData* data, BAS::Point const& local)
{
    int button = -1;
    for (int i = 0; i < 5 && button < 0; ++i)
        if (m_abHeld[i])
            button = i;
    if (std::shared_ptr<Widget> const down = sharedOf(m_pDown)) {
        if (target != down)
            down->setInvalid(0);
        if (target && target != down && (down->getFlags() & Widget::eOverFollowsPointer))
            setOver(target);
        if (button < 0)
            return;
        FEN::MouseEventData record;
        record.position = relativeTo(m_ptLastMouse, down.get());
        record.modifiers = data->modifiers;
        deliverToWidget(*down, eWidgetMouseEvent::WidgetMouseDrag + unsigned(button), &record);
        return;
    }
    if (button < 0 || !target)
        return;
    setOver(target);
    FEN::MouseEventData record;
    record.position = local;
    record.modifiers = data->modifiers;
    deliverToWidget(*target, eWidgetMouseEvent::WidgetMouseDrag + unsigned(button), &record);
}

void Pane::onMouseWheel(std::shared_ptr<Widget> const& target, FEN::MouseEventData* data, BAS::Point const& local)
{
    if (!target || m_pDown)
        return;
    auto* wheel = static_cast<FEN::MouseWheelEventData*>(data);
    FEN::MouseWheelEventData record;
    record.position = local;
    record.modifiers = data->modifiers;
    record.delta = -wheel->delta / FEN::MouseWheelEventData::getDeltaUnit();
    record.axis = wheel->axis;
    target->onWheel(&record);
}

bool Pane::onKey(unsigned code, FEN::KeyEventData* data)
{
    constexpr uint64_t kEnabled = Widget::eEnabled | Widget::eParentEnabled;
    std::array<std::pair<Widget*, uint64_t>, 2> const routes{{
        {m_pInput, Widget::eKeyInput | kEnabled},
        {m_pFocus, Widget::eKeyFocusable | kEnabled},
    }};
    for (auto const& [start, flags] : routes) {
        for (std::shared_ptr<Widget> widget = sharedOf(start); widget; widget = sharedOf(widget->getParent())) {
            if (widget->hasFlags(flags) && widget->onKey(code, data))
                return true;
        }
    }
    return false;
}

} // namespace CV::TOV
