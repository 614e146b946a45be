#pragma once
// "NSTrackingArea": a rectangle of a view whose crossings (mouseEntered:,
// mouseExited:, cursorUpdate:) and moves (mouseMoved:) go to its owner.
//
// Selectors: initWithRect:options:owner:userInfo:, rect, options, owner,
// userInfo. The owner and user info are not retained.
#include <objc/runtime.h>

namespace platform::appkit {

enum : unsigned long {
    NSTrackingMouseEnteredAndExited = 0x01,
    NSTrackingMouseMoved = 0x02,
    NSTrackingCursorUpdate = 0x04,
    NSTrackingActiveWhenFirstResponder = 0x10,
    NSTrackingActiveInKeyWindow = 0x20,
    NSTrackingActiveInActiveApp = 0x40,
    NSTrackingActiveAlways = 0x80,
    NSTrackingAssumeInside = 0x100,
    NSTrackingInVisibleRect = 0x200,
    NSTrackingEnabledDuringMouseDrag = 0x400,
};

Class NSTrackingAreaClass();

} // namespace platform::appkit
