#pragma once
// Displays and the mouse, over the current backend's screens and cursor
// peers. Display coordinates are top-down points with the first screen's
// top-left at the origin. A reconfiguration of the screens calls every
// registered callback once per display with kCGDisplaySetModeFlag (the
// backend reports changes without detail); callbacks run on the main
// thread. The callbacks are installed on the backend current at the first
// registration.
#include "platform/cg/CGContext.h"

#include <cstdint>

using CGDirectDisplayID = std::uint32_t;
using CGDisplayChangeSummaryFlags = std::uint32_t;
using CGError = std::int32_t;
constexpr CGError kCGErrorSuccess = 0;

enum : CGDisplayChangeSummaryFlags {
    kCGDisplayBeginConfigurationFlag = 1u << 0,
    kCGDisplayMovedFlag = 1u << 1,
    kCGDisplaySetMainFlag = 1u << 2,
    kCGDisplaySetModeFlag = 1u << 3,
    kCGDisplayAddFlag = 1u << 4,
    kCGDisplayRemoveFlag = 1u << 5,
    kCGDisplayEnabledFlag = 1u << 8,
    kCGDisplayDisabledFlag = 1u << 9,
    kCGDisplayMirrorFlag = 1u << 10,
    kCGDisplayUnMirrorFlag = 1u << 11,
    kCGDisplayDesktopShapeChangedFlag = 1u << 12,
};

using CGDisplayReconfigurationCallBack = void (*)(CGDirectDisplayID display, CGDisplayChangeSummaryFlags flags,
                                                  void* userInfo);

// The first screen's id (0 without screens).
CGDirectDisplayID CGMainDisplayID();
// The colour space of a display: device RGB (a token); null for an
// unknown display.
CGColorSpaceRef CGDisplayCopyColorSpace(CGDirectDisplayID display);
CGError CGDisplayRegisterReconfigurationCallback(CGDisplayReconfigurationCallBack callback, void* userInfo);
CGError CGDisplayRemoveReconfigurationCallback(CGDisplayReconfigurationCallBack callback, void* userInfo);

CGError CGWarpMouseCursorPosition(CGPoint position);
CGError CGAssociateMouseAndMouseCursorPosition(bool connected);
// The movement of the last mouse event (0, 0 before any), in points.
void CGGetLastMouseDelta(std::int32_t* deltaX, std::int32_t* deltaY);

namespace platform::cg {

// Remembers the movement of a mouse event for CGGetLastMouseDelta.
void noteMouseDelta(double deltaX, double deltaY);

} // namespace platform::cg
