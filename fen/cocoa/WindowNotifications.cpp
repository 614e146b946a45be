#include "FEN/COCOA/WindowNotifications.h"

#include "platform/objc/MessageSend.h"

namespace CV {
namespace FEN {
namespace COCOA {
namespace WindowNotifications {

namespace objc = platform::objc;

namespace {

void send(WindowImplBase* impl, unsigned code)
{
    EventData none;
    impl->sendEvent(code, &none, false);
}

void clearFirstResponders(WindowImplBase* impl)
{
    id window = impl->getNativeWindow();
    objc::send<void>(window, "setInitialFirstResponder:", id(nil));
    objc::send<BOOL>(window, "makeFirstResponder:", id(nil));
}

} // namespace

BOOL shouldClose(WindowImplBase* impl)
{
    if (impl == nullptr || impl->isClosing())
        return YES;
    AnswerEventData answer;
    impl->sendEvent(eWindowEvent::ShouldClose, &answer, false);
    return answer.answer ? YES : NO;
}

void didBecomeMain(WindowImplBase* impl)
{
    if (impl != nullptr)
        send(impl, eWindowEvent::BecameMain);
}

void didResignMain(WindowImplBase* impl, bool clearResponders)
{
    if (impl == nullptr)
        return;
    if (clearResponders)
        clearFirstResponders(impl);
    send(impl, eWindowEvent::ResignedMain);
}

void didBecomeKey(WindowImplBase* impl)
{
    if (impl != nullptr)
        send(impl, eWindowEvent::BecameKey);
}

void didResignKey(WindowImplBase* impl, bool asDelegate)
{
    if (impl == nullptr)
        return;
    if (asDelegate) {
        clearFirstResponders(impl);
        send(impl, eWindowEvent::CaptureLost);
        send(impl, eWindowEvent::ResignedKey);
    } else {
        send(impl, eWindowEvent::ResignedKey);
        send(impl, eWindowEvent::CaptureLost);
    }
}

NSSize willResize(WindowImplBase* impl, id window, NSSize proposedFrameSize)
{
    if (impl == nullptr)
        return proposedFrameSize;
    ResizeLimitsEventData limits;
    if (!impl->sendEvent(eWindowEvent::WillResize, &limits, false))
        return proposedFrameSize;
    const NSRect content = objc::send<NSRect>(
        window, "contentRectForFrameRect:", NSMakeRect(0, 0, proposedFrameSize.width, proposedFrameSize.height));
    NSSize size = content.size;
    if (limits.flags & ResizeLimitsEventData::MinimumValid) {
        size.width = std::max(size.width, double(limits.minimum.x));
        size.height = std::max(size.height, double(limits.minimum.y));
    }
    if (limits.flags & ResizeLimitsEventData::MaximumValid) {
        size.width = std::min(size.width, double(limits.maximum.x));
        size.height = std::min(size.height, double(limits.maximum.y));
    }
    if (size.width == content.size.width && size.height == content.size.height)
        return proposedFrameSize;
    const NSRect frame = objc::send<NSRect>(
        window, "frameRectForContentRect:", NSMakeRect(content.origin.x, content.origin.y, size.width, size.height));
    return frame.size;
}

} // namespace WindowNotifications
} // namespace COCOA
} // namespace FEN
} // namespace CV
