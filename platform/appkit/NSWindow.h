#pragma once
// "NSWindow" (superclass "NSResponder") and "NSPanel" (superclass
// "NSWindow"): a window over a peer of the current backend. Geometry is
// the platform's: bottom-up screen rectangles; the frame is the content
// rectangle plus a title bar of kTitleBarHeight points when titled.
//
// Selectors: initWithContentRect:styleMask:backing:defer:, contentView,
// setContentView:, frame, setFrame:display:, setFrameOrigin:,
// setFrameTopLeftPoint:, setContentSize:, contentRectForFrameRect:,
// frameRectForContentRect:, title, setTitle:, level, setLevel:, isOpaque,
// setOpaque:, setBackgroundColor: (ignored), setHasShadow: (ignored),
// setAlphaValue: (ignored), setReleasedWhenClosed:, delegate, setDelegate:,
// firstResponder, makeFirstResponder:, initialFirstResponder,
// setInitialFirstResponder:, orderFront:, orderFrontRegardless, orderOut:,
// makeKeyAndOrderFront:, makeKeyWindow, makeMainWindow, isKeyWindow,
// isMainWindow, isVisible, canBecomeKeyWindow, canBecomeMainWindow,
// miniaturize:, deminiaturize:, performMiniaturize:, isMiniaturized,
// zoom:, isZoomed, performClose:, close, isDocumentEdited,
// setDocumentEdited:, styleMask, setStyleMask:, toggleFullScreen:,
// collectionBehavior, setCollectionBehavior:, convertRectToScreen:,
// convertRectFromScreen:, convertPointToScreen:, convertPointFromScreen:,
// backingScaleFactor, display, displayIfNeeded, viewsNeedDisplay,
// sendEvent:, performKeyEquivalent:, windowNumber,
// acceptsMouseMovedEvents, setAcceptsMouseMovedEvents:,
// mouseLocationOutsideOfEventStream, update; NSPanel: worksWhenModal,
// setWorksWhenModal:.
//
// Up from the peer (through WindowPeerAdapter): input becomes NSEvents sent
// to NSApp's sendEvent: (the window's sendEvent: without an application
// object), which hands
// mouse events to the view under the mouse (drags and releases to the view
// that got the press), keys to the first responder and tracking-area
// crossings to their owners. Key focus: the first time the window becomes
// key without a first responder, its initial first responder or else the
// first view that accepts first responder (and can become key view) takes
// it; a left press gives it to the pressed view when that accepts it; a
// first responder that left the view tree gives it back to the window.
// Window changes reach the delegate as
// windowShouldClose:, windowWillClose:, windowDidBecomeKey:,
// windowDidResignKey:, windowDidBecomeMain:, windowDidResignMain:,
// windowWillResize:toSize:, windowDidResize:, windowDidMove:,
// windowDidMiniaturize:, windowDidDeminiaturize:,
// windowDidChangeBackingProperties:; the content view follows the
// window's size through setFrameSize:.
#include "platform/cg/CGGeometry.h"
#include "platform/peer/WindowPeer.h"

#include <objc/runtime.h>

#include <vector>

namespace platform::appkit {

enum : unsigned long {
    NSWindowStyleMaskBorderless = 0,
    NSWindowStyleMaskTitled = 1,
    NSWindowStyleMaskClosable = 2,
    NSWindowStyleMaskMiniaturizable = 4,
    NSWindowStyleMaskResizable = 8,
    NSWindowStyleMaskUtilityWindow = 16,
    NSWindowStyleMaskNonactivatingPanel = 128,
    NSWindowStyleMaskFullScreen = 0x4000,
};

constexpr double kTitleBarHeight = 22;

Class NSWindowClass();
Class NSPanelClass();

// The windows not yet closed, in the order they were made.
std::vector<id> allWindows();
// The peer behind a window (null for nil).
peer::WindowPeer* windowPeer(id window);

} // namespace platform::appkit
