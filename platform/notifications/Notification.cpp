#include "platform/notifications/Notification.h"

#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

template <typename T>
T& ivar(id self, const char* name)
{
    Ivar variable = class_getInstanceVariable(object_getClass(self), name);
    return *reinterpret_cast<T*>(reinterpret_cast<char*>(self) + ivar_getOffset(variable));
}

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
    if (Class existing = objc_getClass("NSNotification"))
        return existing;
    Class cls = objc_allocateClassPair(objc::ObjectRuntime::lookUpClass("NSObject"), "NSNotification", 0);
    if (cls == Nil) {
        std::fprintf(stderr, "cannot create the class NSNotification\n");
        std::abort();
    }
    class_addIvar(cls, "_name", sizeof(void*), 3, "^v");
    class_addIvar(cls, "_object", sizeof(id), 3, "@");
    class_addIvar(cls, "_userInfo", sizeof(void*), 3, "^v");
    class_addMethod(cls, sel_registerName("name"), objc::toIMP(&nameOf), "^v@:");
    class_addMethod(cls, sel_registerName("object"), objc::toIMP(&objectOf), "@@:");
    class_addMethod(cls, sel_registerName("userInfo"), objc::toIMP(&userInfoOf), "^v@:");
    class_addMethod(cls, sel_registerName("dealloc"), objc::toIMP(&deallocNotification), "v@:");
    objc_registerClassPair(cls);
    return cls;
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
    ivar<CFDictionaryRef>(notification, "_userInfo") = userInfo ? static_cast<CFDictionaryRef>(CFRetain(userInfo))
                                                                : nullptr;
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
