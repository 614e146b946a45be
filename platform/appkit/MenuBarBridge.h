#pragma once
// The application's main menu on the backend's menu bar: the menu tree is
// handed over whole (titles, separators, enabled and check states, key
// equivalents); when the user opens a menu it gets openMenu (its
// delegate's menuWillOpen:, then update) and the tree is handed over anew;
// a chosen item is performed (performItem).
#include <objc/runtime.h>

namespace platform::appkit {

// Hands the menu (nil: none) to the backend's menu bar.
void installMenuBar(id menu);

} // namespace platform::appkit
