#include "platform/appkit/NSTrackingArea.h"

#include "platform/cg/CGGeometry.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"

namespace platform::appkit {

namespace {

id initArea(id self, SEL, NSRect rect, unsigned long options, id owner, id userInfo)
{
    self = objc::sendSuper<id>(self, NSTrackingAreaClass(), objc::selector("init"));
    if (self) {
        objc::ivar<NSRect>(self, "_rect") = rect;
        objc::ivar<unsigned long>(self, "_options") = options;
        objc::ivar<id>(self, "_owner") = owner;
        objc::ivar<id>(self, "_userInfo") = userInfo;
    }
    return self;
}

NSRect rect(id self, SEL)
{
    return objc::ivar<NSRect>(self, "_rect");
}
unsigned long options(id self, SEL)
{
    return objc::ivar<unsigned long>(self, "_options");
}
id owner(id self, SEL)
{
    return objc::ivar<id>(self, "_owner");
}
id userInfo(id self, SEL)
{
    return objc::ivar<id>(self, "_userInfo");
}

Class registerClass()
{
    return objc::StandInClass("NSTrackingArea", objc::NSObject::rootClass())
        .ivar<NSRect>("_rect")
        .ivar<unsigned long>("_options")
        .ivar<id>("_owner")
        .ivar<id>("_userInfo")
        .method("initWithRect:options:owner:userInfo:", &initArea)
        .method("rect", &rect)
        .method("options", &options)
        .method("owner", &owner)
        .method("userInfo", &userInfo)
        .registerClass();
}

} // namespace

Class NSTrackingAreaClass()
{
    static Class s_class = registerClass();
    return s_class;
}

} // namespace platform::appkit
