#pragma once
// The content view of framework windows, run-time class "CVCocoaView"
// (superclass "NSView"): reaches its window implementation through the
// instance variable "pImpl" and, as the window's delegate, turns window
// notifications into window events. Painting and input come with the
// full platform view.
#include <objc/runtime.h>

namespace CV {
namespace FEN {
namespace COCOA {

class WindowImplBase;

class ContentView {
public:
    static Class viewClass();
    // A new view (one reference for the caller) of size for impl; nil when
    // none can be made.
    static id create(WindowImplBase* impl, double width, double height);
    static WindowImplBase* implOf(id view);
    // The view forgets its implementation: its notifications do nothing.
    static void detach(id view);

    ContentView() = delete;
};

} // namespace COCOA
} // namespace FEN
} // namespace CV
