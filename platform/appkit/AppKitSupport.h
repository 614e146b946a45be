#pragma once
// What the AppKit stand-ins share: their per-object C++ state behind one
// instance variable per class, strings, notifications to delegates and the
// conversion between the platform's bottom-up screen rectangles and the
// peers' top-down ones.
//
// Strings are the CF strings of platform/cf (NSString.h): they go where the
// platform passes NSString* and are no objects of the run time.
#include "platform/cf/NSRange.h"
#include "platform/cf/NSString.h"
#include "platform/cg/CGGeometry.h"
#include "platform/objc/StandInClass.h"
#include "platform/peer/Geometry.h"

#include <objc/runtime.h>

#include <string>

namespace platform::objc {
template <> struct TypeEncoding<NSRange> {
    static std::string get() { return "{_NSRange=QQ}"; }
};
} // namespace platform::objc

namespace platform::appkit {

// The C++ state of object kept in its instance variable name (a pointer).
template <typename T> T* stateOf(id object, const char* name)
{
    return object ? static_cast<T*>(objc::ivar<void*>(object, name)) : nullptr;
}

// A new string (owned by the caller: CFRelease); null for null text.
NSString* makeString(const std::string& text);
// The UTF-8 text of a string; empty for null.
std::string utf8(const void* string);

bool responds(id receiver, const char* selector);
// Sends selector (taking one NSNotification) to receiver when it responds,
// with a notification named name about object.
void notify(id receiver, const char* selector, const char* name, id object);

// Screen geometry: the first screen's height is the reference for flipping
// (peer/Flip.h) between the platform's screen rectangles and the peers'.
double firstScreenHeight();
peer::Rect topDownOnScreen(const NSRect& rect);
NSRect bottomUpOnScreen(const peer::Rect& rect);

} // namespace platform::appkit
