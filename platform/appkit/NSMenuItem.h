#pragma once
// "NSMenuItem": one entry of a menu: a title, a key equivalent with its
// modifier mask (the platform's modifier flags), a tag, enabled and check
// states, an action sent to a target when the item is chosen, and an
// optional submenu (retained). Separators come from +separatorItem.
//
// Selectors: init, initWithTitle:action:keyEquivalent:, +separatorItem,
// dealloc, title, setTitle:, keyEquivalent, setKeyEquivalent:,
// keyEquivalentModifierMask, setKeyEquivalentModifierMask:, tag, setTag:,
// isEnabled, setEnabled:, state, setState:, target, setTarget:, action,
// setAction:, submenu, setSubmenu:, hasSubmenu, menu, setMenu:,
// isSeparatorItem.
//
// Strings are CF strings (NSString*), retained by the item; getters hand
// out references they do not transfer. A new item has an empty title and
// key equivalent, the default mask (Command), tag 0, is enabled and off.
#include "platform/cf/NSString.h"

#include <objc/runtime.h>

#include <cstdint>
#include <string>

namespace platform::appkit {

Class NSMenuItemClass();

// Check states of setState:.
enum : long { NSOffState = 0, NSOnState = 1 };

// Whether a key with the characters (ignoring modifiers other than Shift)
// and the platform's modifier flags of an event triggers an item's key
// equivalent. Shift, Control, Option and Command must be held exactly as
// the mask says, where an upper-case letter as the equivalent asks for
// Shift as well; letters compare without case, so both Command+S and
// Command+Shift+S typed as "S" find their own item. The numeric-pad and
// function flags of the mask do not take part. An empty equivalent never
// matches.
bool keyEquivalentMatches(const std::u16string& equivalent, uint64_t mask, const std::u16string& characters,
                          uint64_t modifierFlags);

} // namespace platform::appkit
