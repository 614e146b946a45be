#pragma once
// The mouse cursor (GdkCursor and GdkSeat on the desktop; readable state
// headless).
#include "platform/peer/Geometry.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform::peer {

struct CursorImage {
    // A standard shape by name ("arrow", "ibeam", "pointing-hand",
    // "crosshair", "open-hand", "closed-hand", "resize-left-right",
    // "resize-up-down", "resize-up", "not-allowed", "copy", "alias"), or
    // empty for the pixels below.
    std::string shape;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // premultiplied B, G, R, A words, top row first
    Point hotSpot;
};

class CursorPeer {
public:
    virtual ~CursorPeer() = default;
    virtual void setCursor(const CursorImage& cursor) = 0;
    virtual void setHidden(bool hidden) = 0;
    // Moves the pointer to a screen position (top-down points).
    virtual void warp(Point screenLocation) = 0;
    // Whether the cursor follows the mouse; when not, motion is reported as
    // deltas only (relative mouse mode).
    virtual void setAssociated(bool associated) = 0;
    virtual Point location() const = 0;
};

} // namespace platform::peer
