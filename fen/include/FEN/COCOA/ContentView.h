#pragma once
// The content view of framework windows, run-time class "CVCocoaView"
// (superclass "NSView"): reaches its window implementation through the
// instance variable "pImpl" and turns painting, mouse input, frame changes
// and, as the window's delegate, window notifications into window events;
// drags from elsewhere go to the drag-and-drop manager.
// Positions are in the view's flipped coordinates, truncated; a left press
// with Control held is a right press.
#include <objc/runtime.h>

#include "BAS/Point.h"

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

    // A press (state 1: counted into single and double clicks) or release
    // of the button; false when not handled or the view is detached.
    static bool handleMouseButtonEventWithPosition(id view, id event, BAS::Point position, int button, int state);
    static bool handleMouseDragEvent(id view, id event);
    // A drag over the view (request true) or dropped on it (false), offered
    // to the window through the drag-and-drop manager; the platform drag
    // operation of the effect taken, 0 for none.
    static unsigned long handleDragDropEvent(id view, id sender, bool request);

    ContentView() = delete;
};

} // namespace COCOA
} // namespace FEN
} // namespace CV
