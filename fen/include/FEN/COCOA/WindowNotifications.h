#pragma once
// Window notifications as window events, shared by the content view and
// the window-delegate class. Every event goes through the implementation's
// sendEvent without bubbling; a null implementation makes them do nothing.
#include "platform/cg/CGGeometry.h"

#include <objc/runtime.h>

namespace CV {
namespace FEN {
namespace COCOA {

class WindowImplBase;

namespace WindowNotifications {

// ShouldClose with the answer preset true; YES without an implementation.
BOOL shouldClose(WindowImplBase* impl);
// Closed once per window: false when there was nothing to do (no
// implementation, or its close road already runs). forget runs after
// Closed and before the implementation is deleted.
template <typename Forget> bool willClose(WindowImplBase* impl, Forget forget);
void didBecomeMain(WindowImplBase* impl);
void didResignMain(WindowImplBase* impl, bool clearResponders);
void didBecomeKey(WindowImplBase* impl);
// The delegate sends CaptureLost then ResignedKey (clearing the first
// responders first); the content view ResignedKey then CaptureLost.
void didResignKey(WindowImplBase* impl, bool asDelegate);
NSSize willResize(WindowImplBase* impl, id window, NSSize proposedFrameSize);

} // namespace WindowNotifications
} // namespace COCOA
} // namespace FEN
} // namespace CV

#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"

namespace CV {
namespace FEN {
namespace COCOA {
namespace WindowNotifications {

template <typename Forget> bool willClose(WindowImplBase* impl, Forget forget)
{
    if (impl == nullptr || impl->isClosing())
        return false;
    impl->setClosing();
    EventData none;
    impl->sendEvent(eWindowEvent::Closed, &none, false);
    forget();
    impl->onViewDestroyed();
    return true;
}

} // namespace WindowNotifications
} // namespace COCOA
} // namespace FEN
} // namespace CV
