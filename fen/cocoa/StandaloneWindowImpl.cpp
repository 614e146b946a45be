#include "FEN/COCOA/StandaloneWindowImpl.h"

#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "platform/objc/MessageSend.h"

namespace CV {
namespace FEN {
namespace COCOA {

namespace objc = platform::objc;

namespace {

constexpr unsigned long kFullScreenPrimary = 128;
constexpr unsigned long kFullScreenMask = 0x4000;

} // namespace

bool StandaloneWindowImpl::createWindowAndAttach(WindowBase::CreateData const& data, eWindowClass windowClass)
{
    if (!createWindow(data, windowClass, true))
        return false;
    if (m_nativeWindow != nil && !(data.style & eWindowStyle::NotResizable))
        objc::send<void>(m_nativeWindow, "setCollectionBehavior:", kFullScreenPrimary);
    return true;
}

bool StandaloneWindowImpl::isFullScreenMode() const
{
    return (objc::send<unsigned long>(m_nativeWindow, "styleMask") & kFullScreenMask) != 0;
}

void StandaloneWindowImpl::setFullScreenMode(BAS::Point const&)
{
    if (m_nativeWindow == nil || isFullScreenMode())
        return;
    objc::send<void>(m_nativeWindow, "toggleFullScreen:", id(nil));
    EventData none;
    sendEvent(eWindowEvent::SizeChanged, &none, false);
}

void StandaloneWindowImpl::resetFullScreenMode()
{
    if (m_nativeWindow == nil || !isFullScreenMode())
        return;
    objc::send<void>(m_nativeWindow, "toggleFullScreen:", id(nil));
    EventData none;
    sendEvent(eWindowEvent::SizeChanged, &none, false);
}

} // namespace COCOA
} // namespace FEN
} // namespace CV
