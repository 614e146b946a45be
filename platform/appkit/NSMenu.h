#pragma once
// "NSMenu": a titled list of items (retained), with its supermenu (the menu
// whose item holds it as submenu), a delegate told before the menu opens
// (menuWillOpen:) and automatic enabling of its items.
//
// Selectors: init, initWithTitle:, dealloc, title, setTitle:,
// numberOfItems, itemAtIndex:, indexOfItem:, insertItem:atIndex:,
// addItem:, removeItemAtIndex:, itemWithTag:, supermenu, setSupermenu:,
// delegate, setDelegate:, autoenablesItems, setAutoenablesItems:, update,
// performKeyEquivalent: (a key-down event: performKeyEquivalent below with
// its characters ignoring modifiers and its modifier flags).
//
// Automatic enabling (update, run before a menu shows and before a key
// equivalent is performed): an item with an action is enabled when its
// target (the application for a nil target) responds to the action and,
// when the target responds to validateMenuItem:, that answers YES; an item
// without an action is enabled when it has a submenu.
#include "platform/cf/NSString.h"

#include <objc/runtime.h>

#include <cstdint>
#include <string>

namespace platform::appkit {

Class NSMenuClass();

// What a menu does when the user opens it: its delegate's menuWillOpen:,
// then update.
void openMenu(id menu);
// Sends the item's action to its target (the application for nil) with the
// item as sender, after validating it; false for a disabled item or one
// without an action.
bool performItem(id item);
// Finds the first enabled item of the menu or its submenus whose key
// equivalent the key triggers (NSMenuItem's matching rule) and performs it;
// false when there is none.
bool performKeyEquivalent(id menu, const std::u16string& characters, uint64_t modifierFlags);

// The receiver of actions sent to a nil target; installed by the
// application stand-in.
void setDefaultActionTarget(id target);

// A readable description of the menu tree, one item per line, indented by
// depth: title, [key equivalent with its modifiers], #tag, (disabled),
// (checked), "----" for a separator.
std::string describeMenu(id menu);

} // namespace platform::appkit
