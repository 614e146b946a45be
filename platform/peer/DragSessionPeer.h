#pragma once
// Drag and drop (GTK drag and drop on the desktop; scripted headless).
// Operations are the platform's bits: copy 1, link 2, generic 4, private 8,
// move 16, delete 32; none 0.
#include "platform/peer/CursorPeer.h"
#include "platform/peer/Geometry.h"

#include <functional>
#include <string>

namespace platform::peer {

enum DragOperation : unsigned {
    kDragNone = 0,
    kDragCopy = 1,
    kDragLink = 2,
    kDragGeneric = 4,
    kDragPrivate = 8,
    kDragMove = 16,
    kDragDelete = 32,
};

struct DragInfo {
    Point location; // in the window's content (top-down points)
    std::string pasteboard; // name of the pasteboard holding the data
    unsigned sourceOperations; // what the source allows
};

// The destination side, a window's content.
class DragDestinationClient {
public:
    virtual ~DragDestinationClient() = default;
    // Entered or moved: the operation the destination would perform.
    virtual unsigned dragUpdated(const DragInfo& info, bool entered) = 0;
    virtual void dragExited() = 0;
    // Dropped: whether the destination took it.
    virtual bool dragPerformed(const DragInfo& info) = 0;
};

class DragSessionPeer {
public:
    virtual ~DragSessionPeer() = default;
    // Starts a drag of the data on the pasteboard named, showing image;
    // finished gets the screen location where it ended and the operation
    // the destination performed.
    virtual void begin(const std::string& pasteboard, const CursorImage& image, Point screenLocation,
                       unsigned allowedOperations, std::function<void(Point, unsigned)> finished) = 0;
    virtual bool isDragging() const = 0;
};

} // namespace platform::peer
