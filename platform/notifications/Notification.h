#pragma once
// The notification object handed to observers: an instance of the stand-in
// class "NSNotification" (a subclass of "NSObject") holding a name, the
// posting object and an optional user-info dictionary. Observers receive it
// as the one argument of their selector and read it through the accessors
// below (or the messages "name", "object", "userInfo").
#include "platform/cf/CFDictionary.h"
#include "platform/cf/CFString.h"

#include <objc/runtime.h>

#include <string>

namespace platform {

class Notification {
public:
    static Class notificationClass();

    // A new notification (one reference for the caller); the user info is
    // retained.
    static id create(const std::string& name, id object, CFDictionaryRef userInfo);

    static std::string name(id notification);
    static id object(id notification);
    // Not retained for the caller; null when there is none.
    static CFDictionaryRef userInfo(id notification);
    // The user-info value of key as UTF-8 text; "" when absent or not a string.
    static std::string userInfoString(id notification, const char* key);
};

} // namespace platform
