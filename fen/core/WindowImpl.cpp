#include "FEN/DETAIL/WindowImpl.h"

#include "BAS/Region.h"
#include "FEN/Application.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/WindowBase.h"

namespace CV {
namespace FEN {
namespace DETAIL {

WindowImpl::~WindowImpl() = default;

bool WindowImpl::sendEvent(unsigned code, EventData* data, bool bubble)
{
    if (m_window.sendEvent(code, data))
        return true;
    if (!bubble)
        return false;
    Application* application = Application::getApplication();
    return application != nullptr && application->sendEvent(code, data);
}

void WindowImpl::idealSize()
{
    if (!isNormalSize())
        return;
    SizeEventData size;
    if (sendEvent(eWindowEvent::IdealSize, &size, false))
        setSize(size.size, true);
}

bool WindowImpl::isIdealSize() const
{
    if (!isNormalSize())
        return false;
    SizeEventData size;
    if (!const_cast<WindowImpl*>(this)->sendEvent(eWindowEvent::IdealSize, &size, false))
        return true;
    const BAS::Point current = getSize(true);
    return current.x == size.size.x && current.y == size.size.y;
}

void WindowImpl::invalidateRegion(BAS::Region const& region)
{
    if (region.isEmpty())
        return;
    for (BAS::Region::const_intersector it(region, region.bounds(), BAS::Point{0, 0}); !it.isDone(); it.advance())
        invalidateRect(it.getRect());
}

void WindowImpl::onSetParent(WindowBase*) { }

BAS::Point WindowImpl::getPosition(bool content) const
{
    BAS::Rect rect{};
    getRect(rect, content);
    return BAS::Point{rect.left, rect.top};
}

void WindowImpl::setPosition(BAS::Point const& position, bool content)
{
    BAS::Rect rect{};
    getRect(rect, content);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    setRect(BAS::Rect{position.x, position.y, position.x + width, position.y + height}, content);
}

BAS::Point WindowImpl::getSize(bool content) const
{
    BAS::Rect rect{};
    getRect(rect, content);
    return BAS::Point{rect.right - rect.left, rect.bottom - rect.top};
}

void WindowImpl::setSize(BAS::Point const& size, bool content)
{
    BAS::Rect rect{};
    getRect(rect, content);
    rect.right = rect.left + size.x;
    rect.bottom = rect.top + size.y;
    setRect(rect, content);
}

} // namespace DETAIL
} // namespace FEN
} // namespace CV
