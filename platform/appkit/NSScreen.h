#pragma once
// "NSScreen": the backend's screens with bottom-up frames (the first
// screen's bottom-left at the origin).
//
// Selectors: screens (class; the screen objects one after the other in a
// CFArray the caller does not own, valid until the next call), mainScreen
// (class; the first), frame, visibleFrame, backingScaleFactor, screenNumber.
#include <objc/runtime.h>

namespace platform::appkit {

Class NSScreenClass();

} // namespace platform::appkit
