#include "platform/appkit/AppKitSupport.h"

#include "platform/backend/Backend.h"
#include "platform/notifications/Notification.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/peer/Flip.h"

namespace platform::appkit {

NSString* makeString(const std::string& text)
{
    return const_cast<NSString*>(cf::String::createFromUTF8(text));
}

std::string utf8(const void* string)
{
    const cf::String* text = string ? cf::String::fromRef(static_cast<CFTypeRef>(string)) : nullptr;
    return text ? text->utf8() : std::string();
}

bool responds(id receiver, const char* selector)
{
    return receiver != nil && objc::respondsTo(receiver, objc::selector(selector));
}

void notify(id receiver, const char* selector, const char* name, id object)
{
    if (!responds(receiver, selector))
        return;
    id notification = Notification::create(name, object, nullptr);
    objc::send<void>(receiver, selector, notification);
    objc::NSObject::release(notification);
}

double firstScreenHeight()
{
    const std::vector<peer::ScreenInfo> screens = Backend::current().screens().screens();
    return screens.empty() ? 0.0 : screens.front().frame.y + screens.front().frame.height;
}

peer::Rect topDownOnScreen(const NSRect& rect)
{
    return peer::toTopDown(rect, firstScreenHeight());
}

NSRect bottomUpOnScreen(const peer::Rect& rect)
{
    return peer::toBottomUp(rect, firstScreenHeight());
}

} // namespace platform::appkit
