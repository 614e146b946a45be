#include "platform/notifications/Notification.h"

#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"

namespace platform {

namespace {

using objc::ivar;

CFStringRef nameString(id self)
{
    return ivar<CFStringRef>(self, "_name");
}

id objectOf(id self, SEL)
{
    return ivar<id>(self, "_object");
}

const void* nameOf(id self, SEL)
{
    return nameString(self);
}

const void* userInfoOf(id self, SEL)
{
    return ivar<CFDictionaryRef>(self, "_userInfo");
}

void deallocNotification(id self, SEL sel)
{
    if (CFStringRef name = nameString(self))
        CFRelease(name);
    if (CFDictionaryRef info = ivar<CFDictionaryRef>(self, "_userInfo"))
        CFRelease(info);
    objc::sendSuper<void>(self, Notification::notificationClass(), sel);
}

Class registerNotificationClass()
{
    return objc::StandInClass("NSNotification", "NSObject")
        .ivar<CFStringRef>("_name")
        .ivar<id>("_object")
        .ivar<CFDictionaryRef>("_userInfo")
        .method("name", &nameOf)
        .method("object", &objectOf)
        .method("userInfo", &userInfoOf)
        .method("dealloc", &deallocNotification)
        .registerClass();
}

} // namespace

Class Notification::notificationClass()
{
    static Class s_class = registerNotificationClass();
    return s_class;
}

id Notification::create(const std::string& name, id object, CFDictionaryRef userInfo)
{
    id notification = objc::NSObject::allocInit(notificationClass());
    ivar<CFStringRef>(notification, "_name") = cf::String::createFromUTF8(name);
    ivar<id>(notification, "_object") = object;
    ivar<CFDictionaryRef>(notification, "_userInfo") =
        userInfo ? static_cast<CFDictionaryRef>(CFRetain(userInfo)) : nullptr;
    return notification;
}

std::string Notification::name(id notification)
{
    return notification ? nameString(notification)->utf8() : std::string();
}

id Notification::object(id notification)
{
    return notification ? objectOf(notification, nullptr) : nil;
}

CFDictionaryRef Notification::userInfo(id notification)
{
    return notification ? ivar<CFDictionaryRef>(notification, "_userInfo") : nullptr;
}

std::string Notification::userInfoString(id notification, const char* key)
{
    CFStringRef keyString = cf::String::createFromUTF8(key);
    CFTypeRef value = CFDictionaryGetValue(userInfo(notification), keyString);
    CFRelease(keyString);
    return CFGetTypeID(value) == CFStringGetTypeID() ? cf::String::fromRef(value)->utf8() : std::string();
}

} // namespace platform
