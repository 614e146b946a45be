#include "platform/appkit/NSEvent.h"

#include "platform/keyboard/ModifierFlags.h"

#include "platform/appkit/AppKitSupport.h"
#include "platform/backend/Backend.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/peer/Flip.h"

#include <list>

namespace platform::appkit {

namespace {

const char* const kState = "_event";

EventRecord& record(id self)
{
    return *stateOf<EventRecord>(self, kState);
}

struct Monitor {
    id token;
    std::uint64_t mask;
    std::function<id(id)> handler;
};

std::list<Monitor>& monitors()
{
    static std::list<Monitor> s_monitors;
    return s_monitors;
}

unsigned s_pressedButtons = 0;

// Strings handed out by an event live as long as it does.
struct Strings {
    NSString* characters = nullptr;
    NSString* ignoringModifiers = nullptr;
};

void deallocEvent(id self, SEL sel)
{
    delete stateOf<EventRecord>(self, kState);
    if (Strings* strings = stateOf<Strings>(self, "_strings")) {
        if (strings->characters)
            CFRelease(strings->characters);
        if (strings->ignoringModifiers)
            CFRelease(strings->ignoringModifiers);
        delete strings;
    }
    objc::sendSuper<void>(self, NSEventClass(), sel);
}

NSString* cachedString(id self, bool ignoringModifiers)
{
    Strings*& strings = reinterpret_cast<Strings*&>(objc::ivar<void*>(self, "_strings"));
    if (!strings)
        strings = new Strings;
    NSString*& slot = ignoringModifiers ? strings->ignoringModifiers : strings->characters;
    if (!slot)
        slot = makeString(ignoringModifiers ? record(self).charactersIgnoringModifiers : record(self).characters);
    return slot;
}

unsigned long eventType(id self, SEL)
{
    return record(self).type;
}
NSPoint locationInWindow(id self, SEL)
{
    return record(self).location;
}
unsigned long long modifierFlags(id self, SEL)
{
    return record(self).modifierFlags;
}
long clickCount(id self, SEL)
{
    return record(self).clickCount;
}
long buttonNumber(id self, SEL)
{
    return record(self).buttonNumber;
}
double deltaX(id self, SEL)
{
    return record(self).deltaX;
}
double deltaY(id self, SEL)
{
    return record(self).deltaY;
}
BOOL hasPreciseScrollingDeltas(id self, SEL)
{
    return record(self).precise ? YES : NO;
}
unsigned short keyCode(id self, SEL)
{
    return record(self).keyCode;
}
NSString* characters(id self, SEL)
{
    return cachedString(self, false);
}
NSString* charactersIgnoringModifiers(id self, SEL)
{
    return cachedString(self, true);
}
BOOL isARepeat(id self, SEL)
{
    return record(self).repeat ? YES : NO;
}
id window(id self, SEL)
{
    return record(self).window;
}
long windowNumber(id self, SEL)
{
    return record(self).window ? objc::send<long>(record(self).window, "windowNumber") : 0;
}
double timestamp(id self, SEL)
{
    return record(self).timestamp;
}
id trackingArea(id self, SEL)
{
    return record(self).trackingArea;
}

unsigned long long classModifierFlags(id, SEL)
{
    return keyboard::ModifierState::current();
}
unsigned long classPressedMouseButtons(id, SEL)
{
    return s_pressedButtons;
}
NSPoint classMouseLocation(id, SEL)
{
    return peer::toBottomUp(Backend::current().cursor().location(), firstScreenHeight());
}

id classAddLocalMonitor(id, SEL, unsigned long long mask, const std::function<id(id)>* handler)
{
    if (!handler)
        return nil;
    id token = objc::NSObject::allocInit(objc::NSObject::rootClass());
    monitors().push_back(Monitor{token, mask, *handler});
    return token;
}

void classRemoveMonitor(id, SEL, id token)
{
    for (auto it = monitors().begin(); it != monitors().end(); ++it)
        if (it->token == token) {
            monitors().erase(it);
            objc::NSObject::release(token);
            return;
        }
}

Class registerClass()
{
    return objc::StandInClass("NSEvent", objc::NSObject::rootClass())
        .ivar<void*>(kState)
        .ivar<void*>("_strings")
        .method("dealloc", &deallocEvent)
        .method("type", &eventType)
        .method("locationInWindow", &locationInWindow)
        .method("modifierFlags", &modifierFlags)
        .method("clickCount", &clickCount)
        .method("buttonNumber", &buttonNumber)
        .method("deltaX", &deltaX)
        .method("deltaY", &deltaY)
        .method("scrollingDeltaX", &deltaX)
        .method("scrollingDeltaY", &deltaY)
        .method("hasPreciseScrollingDeltas", &hasPreciseScrollingDeltas)
        .method("keyCode", &keyCode)
        .method("characters", &characters)
        .method("charactersIgnoringModifiers", &charactersIgnoringModifiers)
        .method("isARepeat", &isARepeat)
        .method("window", &window)
        .method("windowNumber", &windowNumber)
        .method("timestamp", &timestamp)
        .method("trackingArea", &trackingArea)
        .classMethod("modifierFlags", &classModifierFlags)
        .classMethod("pressedMouseButtons", &classPressedMouseButtons)
        .classMethod("mouseLocation", &classMouseLocation)
        .classMethod("addLocalMonitorForEventsMatchingMask:handler:", &classAddLocalMonitor)
        .classMethod("removeMonitor:", &classRemoveMonitor)
        .registerClass();
}

} // namespace

Class NSEventClass()
{
    static Class s_class = registerClass();
    return s_class;
}

id makeEvent(const EventRecord& data)
{
    id event = objc::NSObject::allocInit(NSEventClass());
    objc::ivar<void*>(event, kState) = new EventRecord(data);
    return event;
}

const EventRecord& eventRecord(id event)
{
    return record(event);
}

void noteInputState(std::uint64_t modifierFlags, unsigned pressedButtons)
{
    keyboard::ModifierState::set(static_cast<uint32_t>(modifierFlags));
    s_pressedButtons = pressedButtons;
}

id runLocalMonitors(id event)
{
    const std::uint64_t bit = std::uint64_t(1) << record(event).type;
    // A handler may remove monitors: walk a copy.
    const std::list<Monitor> current = monitors();
    for (const Monitor& monitor : current) {
        if ((monitor.mask & bit) == 0)
            continue;
        event = monitor.handler(event);
        if (event == nil)
            return nil;
    }
    return event;
}

} // namespace platform::appkit
