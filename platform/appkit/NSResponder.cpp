#include "platform/appkit/NSResponder.h"

#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/StandInClass.h"

namespace platform::appkit {

namespace {

const char* const kNext = "_nextResponder";

id nextResponder(id self, SEL)
{
    return objc::ivar<id>(self, kNext);
}

void setNextResponder(id self, SEL, id next)
{
    objc::ivar<id>(self, kNext) = next;
}

// Passes an event message on to the next responder that responds.
void forwardEvent(id self, SEL sel, id event)
{
    id next = objc::send<id>(self, "nextResponder");
    if (next != nil && objc::respondsTo(next, sel))
        objc::send<void>(next, sel, event);
}

void forwardCommand(id self, SEL sel, SEL command)
{
    id next = objc::send<id>(self, "nextResponder");
    if (next != nil && objc::respondsTo(next, sel))
        objc::send<void>(next, sel, command);
}

BOOL no(id, SEL)
{
    return NO;
}
BOOL yes(id, SEL)
{
    return YES;
}

Class registerClass()
{
    objc::StandInClass builder("NSResponder", objc::NSObject::rootClass());
    builder.ivar<id>(kNext)
        .method("nextResponder", &nextResponder)
        .method("setNextResponder:", &setNextResponder)
        .method("acceptsFirstResponder", &no)
        .method("becomeFirstResponder", &yes)
        .method("resignFirstResponder", &yes)
        .method("doCommandBySelector:", &forwardCommand);
    for (const char* selector :
         {"mouseDown:", "mouseUp:", "mouseDragged:", "mouseMoved:", "mouseEntered:", "mouseExited:", "rightMouseDown:",
          "rightMouseUp:", "rightMouseDragged:", "otherMouseDown:", "otherMouseUp:", "otherMouseDragged:",
          "scrollWheel:", "keyDown:", "keyUp:", "flagsChanged:", "cursorUpdate:"})
        builder.method(selector, &forwardEvent);
    return builder.registerClass();
}

} // namespace

Class NSResponderClass()
{
    static Class s_class = registerClass();
    return s_class;
}

} // namespace platform::appkit
