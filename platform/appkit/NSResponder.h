#pragma once
// "NSResponder": the base of views, windows and the application. Mouse,
// key and command messages it does not handle go to its next responder
// (a view's superview, a content view's window); at the end of the chain
// they are dropped.
//
// Selectors: nextResponder, setNextResponder:, acceptsFirstResponder (NO),
// becomeFirstResponder, resignFirstResponder (YES), mouseDown:, mouseUp:,
// mouseDragged:, mouseMoved:, mouseEntered:, mouseExited:, rightMouseDown:,
// rightMouseUp:, rightMouseDragged:, otherMouseDown:, otherMouseUp:,
// otherMouseDragged:, scrollWheel:, keyDown:, keyUp:, flagsChanged:,
// cursorUpdate:, doCommandBySelector:.
#include <objc/runtime.h>

namespace platform::appkit {

Class NSResponderClass();

} // namespace platform::appkit
