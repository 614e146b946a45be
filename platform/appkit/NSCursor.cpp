#include "platform/appkit/NSCursor.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/appkit/NSImage.h"
#include "platform/backend/Backend.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

#include <map>
#include <string>
#include <vector>

namespace platform::appkit {

namespace {

const char* const kState = "_cursor";

peer::CursorImage& state(id self)
{
    return *stateOf<peer::CursorImage>(self, kState);
}

id s_current = nil;
std::vector<id> s_stack;

id makeCursor(Class cls, peer::CursorImage image)
{
    id cursor = objc::NSObject::allocInit(cls);
    objc::ivar<void*>(cursor, kState) = new peer::CursorImage(std::move(image));
    return cursor;
}

// The shared standard cursor of that shape.
id standard(id cls, const char* shape)
{
    static std::map<std::string, id> s_cursors;
    id& cursor = s_cursors[shape];
    if (!cursor)
        cursor = makeCursor(reinterpret_cast<Class>(cls), peer::CursorImage{shape, 0, 0, {}, {}});
    return cursor;
}

id arrow(id cls, SEL)
{
    return standard(cls, "arrow");
}
id ibeam(id cls, SEL)
{
    return standard(cls, "ibeam");
}
id crosshair(id cls, SEL)
{
    return standard(cls, "crosshair");
}
id openHand(id cls, SEL)
{
    return standard(cls, "open-hand");
}
id closedHand(id cls, SEL)
{
    return standard(cls, "closed-hand");
}
id pointingHand(id cls, SEL)
{
    return standard(cls, "pointing-hand");
}
id notAllowed(id cls, SEL)
{
    return standard(cls, "not-allowed");
}
id resizeLeftRight(id cls, SEL)
{
    return standard(cls, "resize-left-right");
}
id resizeUpDown(id cls, SEL)
{
    return standard(cls, "resize-up-down");
}
id resizeUp(id cls, SEL)
{
    return standard(cls, "resize-up");
}
id dragCopy(id cls, SEL)
{
    return standard(cls, "copy");
}
id dragLink(id cls, SEL)
{
    return standard(cls, "alias");
}

id initWithImage(id self, SEL, id image, NSPoint hotSpot)
{
    self = objc::sendSuper<id>(self, NSCursorClass(), objc::selector("init"));
    if (!self)
        return nil;
    peer::CursorImage cursor;
    if (image)
        cursor.pixels = imagePixels(image, cursor.width, cursor.height);
    cursor.hotSpot = peer::Point{hotSpot.x, hotSpot.y};
    objc::ivar<void*>(self, kState) = new peer::CursorImage(std::move(cursor));
    return self;
}

void deallocCursor(id self, SEL sel)
{
    if (s_current == self)
        s_current = nil;
    delete stateOf<peer::CursorImage>(self, kState);
    objc::sendSuper<void>(self, NSCursorClass(), sel);
}

void setCursor(id self, SEL)
{
    s_current = self;
    Backend::current().cursor().setCursor(state(self));
}

void push(id self, SEL)
{
    s_stack.push_back(s_current);
    setCursor(self, nullptr);
}

void pop(id, SEL)
{
    if (s_stack.empty())
        return;
    id previous = s_stack.back();
    s_stack.pop_back();
    if (previous)
        setCursor(previous, nullptr);
}

id currentCursor(id cls, SEL)
{
    return s_current ? s_current : arrow(cls, nullptr);
}
void hide(id, SEL)
{
    Backend::current().cursor().setHidden(true);
}
void unhide(id, SEL)
{
    Backend::current().cursor().setHidden(false);
}
void hiddenUntilMouseMoves(id, SEL, BOOL hidden)
{
    Backend::current().cursor().setHidden(hidden != NO);
}

Class registerClass()
{
    return objc::StandInClass("NSCursor", objc::NSObject::rootClass())
        .ivar<void*>(kState)
        .classMethod("arrowCursor", &arrow)
        .classMethod("IBeamCursor", &ibeam)
        .classMethod("crosshairCursor", &crosshair)
        .classMethod("openHandCursor", &openHand)
        .classMethod("closedHandCursor", &closedHand)
        .classMethod("pointingHandCursor", &pointingHand)
        .classMethod("operationNotAllowedCursor", &notAllowed)
        .classMethod("resizeLeftRightCursor", &resizeLeftRight)
        .classMethod("resizeUpDownCursor", &resizeUpDown)
        .classMethod("resizeUpCursor", &resizeUp)
        .classMethod("dragCopyCursor", &dragCopy)
        .classMethod("dragLinkCursor", &dragLink)
        .classMethod("currentCursor", &currentCursor)
        .classMethod("hide", &hide)
        .classMethod("unhide", &unhide)
        .classMethod("setHiddenUntilMouseMoves:", &hiddenUntilMouseMoves)
        .method("initWithImage:hotSpot:", &initWithImage)
        .method("dealloc", &deallocCursor)
        .method("set", &setCursor)
        .method("push", &push)
        .method("pop", &pop)
        .registerClass();
}

} // namespace

Class NSCursorClass()
{
    static Class s_class = registerClass();
    return s_class;
}

} // namespace platform::appkit
