#include "platform/appkit/NSDraggingInfo.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/appkit/NSPasteboard.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

namespace platform::appkit {

namespace {

NSPoint location(id self, SEL)
{
    return objc::ivar<NSPoint>(self, "_location");
}
id pasteboard(id self, SEL)
{
    return objc::ivar<id>(self, "_pasteboard");
}
unsigned long sourceMask(id self, SEL)
{
    return objc::ivar<unsigned long>(self, "_mask");
}
id source(id, SEL)
{
    return nil;
}
id window(id self, SEL)
{
    return objc::ivar<id>(self, "_window");
}

Class registerClass()
{
    return objc::StandInClass("NSDraggingInfo", objc::NSObject::rootClass())
        .ivar<NSPoint>("_location")
        .ivar<id>("_pasteboard")
        .ivar<unsigned long>("_mask")
        .ivar<id>("_window")
        .method("draggingLocation", &location)
        .method("draggingPasteboard", &pasteboard)
        .method("draggingSourceOperationMask", &sourceMask)
        .method("draggingSource", &source)
        .method("draggingDestinationWindow", &window)
        .registerClass();
}

} // namespace

Class NSDraggingInfoClass()
{
    static Class s_class = registerClass();
    return s_class;
}

id makeDraggingInfo(NSPoint where, const std::string& pasteboardName, unsigned long sourceOperations, id destination)
{
    id info = objc::NSObject::allocInit(NSDraggingInfoClass());
    objc::ivar<NSPoint>(info, "_location") = where;
    NSString* name = makeString(pasteboardName);
    objc::ivar<id>(info, "_pasteboard") = objc::send<id>(NSPasteboardClass(), "pasteboardWithName:", name);
    CFRelease(name);
    objc::ivar<unsigned long>(info, "_mask") = sourceOperations;
    objc::ivar<id>(info, "_window") = destination;
    return info;
}

} // namespace platform::appkit
