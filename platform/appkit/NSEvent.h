#pragma once
// "NSEvent": one input event, made by the window stand-in from peer input
// and sent up as a message (NSApplication sendEvent: -> NSWindow sendEvent:
// -> the view's mouseDown:, keyDown:, ...).
//
// Instance: type, locationInWindow (window coordinates, bottom-up),
// modifierFlags, clickCount, buttonNumber, deltaX, deltaY, scrollingDeltaX,
// scrollingDeltaY, hasPreciseScrollingDeltas, keyCode, characters,
// charactersIgnoringModifiers, isARepeat, window, windowNumber, timestamp,
// trackingArea. Class: modifierFlags, mouseLocation, pressedMouseButtons,
// addLocalMonitorForEventsMatchingMask:handler: (the handler a
// const std::function<id(id)>* that is copied; it returns the event to
// deliver or nil to swallow it), removeMonitor:.
#include "platform/cg/CGGeometry.h"

#include <objc/runtime.h>

#include <cstdint>
#include <functional>
#include <string>

namespace platform::appkit {

enum NSEventType : unsigned long {
    NSEventTypeLeftMouseDown = 1,
    NSEventTypeLeftMouseUp = 2,
    NSEventTypeRightMouseDown = 3,
    NSEventTypeRightMouseUp = 4,
    NSEventTypeMouseMoved = 5,
    NSEventTypeLeftMouseDragged = 6,
    NSEventTypeRightMouseDragged = 7,
    NSEventTypeMouseEntered = 8,
    NSEventTypeMouseExited = 9,
    NSEventTypeKeyDown = 10,
    NSEventTypeKeyUp = 11,
    NSEventTypeFlagsChanged = 12,
    NSEventTypeCursorUpdate = 17,
    NSEventTypeScrollWheel = 22,
    NSEventTypeOtherMouseDown = 25,
    NSEventTypeOtherMouseUp = 26,
    NSEventTypeOtherMouseDragged = 27,
};

struct EventRecord {
    NSEventType type = NSEventTypeMouseMoved;
    NSPoint location{0, 0}; // window coordinates
    std::uint64_t modifierFlags = 0;
    long clickCount = 0;
    long buttonNumber = 0;
    double deltaX = 0;
    double deltaY = 0;
    bool precise = false;
    unsigned short keyCode = 0;
    std::string characters;
    std::string charactersIgnoringModifiers;
    bool repeat = false;
    id window = nil; // not retained
    id trackingArea = nil;
    double timestamp = 0; // seconds on the main loop's clock
};

Class NSEventClass();
// A new event (retain count one).
id makeEvent(const EventRecord& record);
const EventRecord& eventRecord(id event);

// The modifier flags and pressed buttons of the last event delivered
// (NSEvent modifierFlags, pressedMouseButtons). The flags go to the
// application-wide keyboard::ModifierState, device-independent bits only.
void noteInputState(std::uint64_t modifierFlags, unsigned pressedButtons);
// Runs the local monitors matching the event's type; the event to deliver
// (nil when a monitor swallowed it).
id runLocalMonitors(id event);

} // namespace platform::appkit
