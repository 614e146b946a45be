#pragma once
// "NSView" (superclass "NSResponder"): a rectangle in its superview with
// subviews; the window stand-in draws the tree and sends input to it.
// Frames are in the superview's coordinates, bottom-up unless the
// superview answers YES to isFlipped; the content view's frame is in the
// window's content coordinates (bottom-up).
//
// Selectors: initWithFrame:, init, dealloc, frame, bounds, setFrame:,
// setFrameSize:, setFrameOrigin:, superview, addSubview:,
// removeFromSuperview, window, isFlipped (NO), isHidden, setHidden:,
// isOpaque (NO), wantsDefaultClipping (YES), acceptsFirstMouse: (NO),
// setNeedsDisplay:, setNeedsDisplayInRect:, _setNeedsDisplayInRects:count:
// (a region as its rectangles, to the window in one call), needsDisplay, display,
// displayIfNeeded, drawRect: (draws nothing), hitTest:,
// convertPoint:fromView:, convertPoint:toView:, convertRect:fromView:,
// convertRect:toView: (nil: the window), convertSizeToBacking:,
// convertRectToBacking:, setAutoresizingMask:, autoresizingMask,
// setAutoresizesSubviews: (width/height sizable and the left/bottom
// margins follow the superview), setPostsFrameChangedNotifications:,
// setPostsBoundsChangedNotifications: (the notification
// "NSViewFrameDidChangeNotification" goes synchronously through the default
// notification centre; the bounds only follow the frame, so
// "NSViewBoundsDidChangeNotification" is never posted),
// addTrackingArea:, removeTrackingArea:, registerForDraggedTypes:,
// unregisterDraggedTypes, viewDidChangeBackingProperties (nothing),
// inputContext (nil), interpretKeyEvents: (takes the one key event; sends
// the standard command selectors through doCommandBySelector:, or the
// characters through insertText:replacementRange:),
// dragImage:at:offset:event:pasteboard:source:slideBack:.
#include "platform/cg/CGContext.h"

#include <objc/runtime.h>

#include <functional>
#include <string>
#include <vector>

namespace platform::appkit {

enum : unsigned long {
    NSViewMinXMargin = 1,
    NSViewWidthSizable = 2,
    NSViewMaxXMargin = 4,
    NSViewMinYMargin = 8,
    NSViewHeightSizable = 16,
    NSViewMaxYMargin = 32,
};

Class NSViewClass();

// For the window stand-in.
void setViewWindow(id view, id window);
id viewWindow(id view);
NSPoint viewPointToWindow(id view, NSPoint point);
NSPoint viewPointFromWindow(id view, NSPoint point);
NSRect viewRectToWindow(id view, NSRect rect);
std::vector<id> viewSubviews(id view);
const std::vector<id>& viewTrackingAreas(id view);
const std::vector<std::string>& viewDraggedTypes(id view);
// Draws view and its subviews whose area meets dirty (window coordinates)
// into context, whose user space is the window's content (bottom-up).
void displayView(id view, CGContextRef context, NSRect dirty);
// Every view of the tree, parents before children.
void forEachView(id view, const std::function<void(id)>& action);

} // namespace platform::appkit
