#include "platform/appkit/NSScreen.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/backend/Backend.h"
#include "platform/cf/CFArray.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

#include <vector>

namespace platform::appkit {

namespace {

id screenObject(const peer::ScreenInfo& info)
{
    id screen = objc::NSObject::allocInit(NSScreenClass());
    objc::ivar<NSRect>(screen, "_frame") = bottomUpOnScreen(info.frame);
    objc::ivar<NSRect>(screen, "_visibleFrame") = bottomUpOnScreen(info.visibleFrame);
    objc::ivar<double>(screen, "_scale") = info.scale;
    objc::ivar<unsigned long>(screen, "_number") = info.id;
    return objc::NSObject::autorelease(screen);
}

// The list the last call of screens made.
std::vector<id>& lastList()
{
    static std::vector<id> s_list;
    return s_list;
}

const void* screens(id, SEL)
{
    for (id screen : lastList())
        objc::NSObject::release(screen);
    lastList().clear();
    for (const peer::ScreenInfo& info : Backend::current().screens().screens())
        lastList().push_back(objc::NSObject::retain(screenObject(info)));
    static CFArrayRef s_array = nullptr;
    if (s_array)
        CFRelease(s_array);
    std::vector<const void*> values(lastList().begin(), lastList().end());
    s_array = CFArrayCreate(nullptr, values.data(), CFIndex(values.size()), nullptr);
    return s_array;
}

id mainScreen(id, SEL)
{
    const std::vector<peer::ScreenInfo> all = Backend::current().screens().screens();
    return all.empty() ? nil : screenObject(all.front());
}

NSRect frame(id self, SEL)
{
    return objc::ivar<NSRect>(self, "_frame");
}
NSRect visibleFrame(id self, SEL)
{
    return objc::ivar<NSRect>(self, "_visibleFrame");
}
double backingScaleFactor(id self, SEL)
{
    return objc::ivar<double>(self, "_scale");
}
unsigned long screenNumber(id self, SEL)
{
    return objc::ivar<unsigned long>(self, "_number");
}

Class registerClass()
{
    return objc::StandInClass("NSScreen", objc::NSObject::rootClass())
        .ivar<NSRect>("_frame")
        .ivar<NSRect>("_visibleFrame")
        .ivar<double>("_scale")
        .ivar<unsigned long>("_number")
        .classMethod("screens", &screens)
        .classMethod("mainScreen", &mainScreen)
        .method("frame", &frame)
        .method("visibleFrame", &visibleFrame)
        .method("backingScaleFactor", &backingScaleFactor)
        .method("screenNumber", &screenNumber)
        .registerClass();
}

} // namespace

Class NSScreenClass()
{
    static Class s_class = registerClass();
    return s_class;
}

} // namespace platform::appkit
