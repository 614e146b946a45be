#pragma once
// The run-time class "ComCalvarineCocoaMenu" (a platform menu that is its
// own delegate and carries the framework event target it reports to), and
// the conversions of menu titles and shortcuts into the platform's terms.
#include "BAS/CharSequence.h"
#include "FEN/Forward.h"
#include "platform/cf/CFString.h"

#include <objc/runtime.h>

#include <cstdint>
#include <string>

namespace CV {
namespace FEN {
namespace COCOA {

class Menu {
public:
    // A new menu (one reference for the caller) reporting to target (may
    // be null: events then climb to the super menu).
    static id create(EventTarget* target);
    static Class runTimeClass();

    // The title without its '&' marks ("&&" keeps one '&'), as a platform
    // string (one reference for the caller); invalid UTF-8 bytes dropped.
    static CFStringRef makeTitleString(BAS::CharSequence<char> const& title);

    struct KeyEquivalent {
        std::u16string character;
        uint64_t modifierMask = 0; // the platform's modifier flags
    };
    // A shortcut key word as the platform's key equivalent.
    static KeyEquivalent keyEquivalentOf(unsigned shortcut);
};

} // namespace COCOA
} // namespace FEN
} // namespace CV
