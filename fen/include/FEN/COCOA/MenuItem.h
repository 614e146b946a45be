#pragma once
// The run-time class "ComCalvarineCocoaMenuItem": a platform menu item that
// is its own target; its tag is the command id (0: no command). Choosing it
// sends CommandExecute, validating it CommandValidate, to its menu.
#include <objc/runtime.h>

namespace CV {
namespace FEN {
namespace COCOA {

class MenuItem {
public:
    // A new item (one reference for the caller), target itself, action
    // onItemClicked:.
    static id create();
    static Class runTimeClass();
};

} // namespace COCOA
} // namespace FEN
} // namespace CV
