#include "FEN/WindowBase.h"

#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/DETAIL/WindowImpl.h"
#include "FEN/DisplayManager.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"

#include <cstring>

namespace CV {
namespace FEN {

void WindowBase::CreateData::setTitle(const char* text)
{
    if (text == nullptr)
        text = "";
    const std::size_t length = std::strlen(text);
    if (title.size() < length + 1)
        title.resize(length + 1);
    std::memcpy(title.data(), text, length + 1);
    flags |= HasTitle;
}

WindowBase::~WindowBase()
{
    delete m_pImpl;
    m_pImpl = nullptr;
}

void WindowBase::setCursor(void* cursor)
{
    if (m_pImpl != nullptr)
        m_pImpl->setCursor(cursor);
}

void WindowBase::resetCursor()
{
    if (m_pImpl != nullptr)
        m_pImpl->resetCursor();
}

void WindowBase::destroy()
{
    if (m_pImpl != nullptr)
        m_pImpl->destroy();
}

void WindowBase::show(bool show)
{
    if (show && (m_pImpl == nullptr || !m_pImpl->isVisible())) {
        EventData none;
        sendEvent(eWindowEvent::AboutToShow, &none);
    }
    if (m_pImpl != nullptr)
        m_pImpl->show(show);
}

bool WindowBase::isVisible() const
{
    return m_pImpl != nullptr && m_pImpl->isVisible();
}

void WindowBase::setWindowIcon(AppModule* module, int id)
{
    if (m_pImpl != nullptr)
        m_pImpl->setWindowIcon(module, id);
}

void WindowBase::setTitle(const char* title)
{
    if (m_pImpl != nullptr)
        m_pImpl->setTitle(title);
}

void WindowBase::activate()
{
    if (m_pImpl != nullptr)
        m_pImpl->activate();
}

void WindowBase::invalidate()
{
    if (m_pImpl != nullptr)
        m_pImpl->invalidate();
}

void WindowBase::invalidateRect(BAS::Rect const& rect)
{
    if (m_pImpl != nullptr)
        m_pImpl->invalidateRect(rect);
}

void WindowBase::invalidateRegion(BAS::Region const& region)
{
    if (m_pImpl != nullptr)
        m_pImpl->invalidateRegion(region);
}

void WindowBase::update()
{
    if (m_pImpl != nullptr)
        m_pImpl->update();
}

BAS::Point WindowBase::getSize(bool content) const
{
    return m_pImpl != nullptr ? m_pImpl->getSize(content) : BAS::Point{0, 0};
}

void WindowBase::getRect(BAS::Rect& rect, bool content) const
{
    if (m_pImpl != nullptr)
        m_pImpl->getRect(rect, content);
}

void WindowBase::setRect(BAS::Rect const& rect, bool content)
{
    if (m_pImpl != nullptr)
        m_pImpl->setRect(rect, content);
}

void WindowBase::toScreen(BAS::Point& point) const
{
    if (m_pImpl != nullptr)
        m_pImpl->toScreen(point);
}

void WindowBase::fromScreen(BAS::Point& point) const
{
    if (m_pImpl != nullptr)
        m_pImpl->fromScreen(point);
}

void WindowBase::setKeyFocus()
{
    if (m_pImpl != nullptr)
        m_pImpl->setKeyFocus();
}

void WindowBase::startRelativeMouseMove()
{
    if (m_pImpl != nullptr)
        m_pImpl->startRelativeMouseMove();
}

void WindowBase::stopRelativeMouseMove()
{
    if (m_pImpl != nullptr)
        m_pImpl->stopRelativeMouseMove();
}

bool WindowBase::isFullScreenMode() const
{
    return m_pImpl != nullptr && m_pImpl->isFullScreenMode();
}

void WindowBase::setFullScreenMode(BAS::Point const& point)
{
    if (m_pImpl != nullptr)
        m_pImpl->setFullScreenMode(point);
}

void WindowBase::resetFullScreenMode()
{
    if (m_pImpl != nullptr)
        m_pImpl->resetFullScreenMode();
}

float WindowBase::getBackingScaleFactor() const
{
    return m_pImpl != nullptr ? m_pImpl->getBackingScaleFactor() : 1.0f;
}

void WindowBase::textInputResetMarkedRange()
{
    if (m_pImpl != nullptr)
        m_pImpl->textInputResetMarkedRange();
}

bool WindowBase::updateOffscreenPicture(Picture const& picture)
{
    return m_bUseOffscreenPicture && m_pImpl != nullptr && m_pImpl->updateOffscreenPicture(picture);
}

id WindowBase::getNSView() const
{
    auto* impl = dynamic_cast<COCOA::WindowImplBase*>(m_pImpl);
    return impl != nullptr ? impl->getContentView() : nil;
}

void WindowBase::setAutoDelete(bool autoDelete)
{
    m_bAutoDelete = autoDelete;
    if (m_pImpl != nullptr)
        m_pImpl->setDeleteWindowObject(autoDelete);
}

WindowState WindowBase::fixupWindowState(WindowState state)
{
    const BAS::Rect bounds = DisplayManager::getDisplayBounds();
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (state.size.x < 0 || state.size.y < 0 || state.size.x > width || state.size.y > height)
        state.size = BAS::Point{0, 0};
    return state;
}

} // namespace FEN
} // namespace CV
