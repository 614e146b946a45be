#pragma once
// A drag started by the program; the test driver moves and drops it.
#include "platform/peer/DragSessionPeer.h"

namespace platform::headless {

class HeadlessDragSession : public peer::DragSessionPeer {
public:
    void begin(const std::string& pasteboard, const peer::CursorImage& image, peer::Point screenLocation,
               unsigned allowedOperations, std::function<void(peer::Point, unsigned)> finished) override;
    bool isDragging() const override { return m_dragging; }

    const std::string& pasteboard() const { return m_pasteboard; }
    unsigned allowedOperations() const { return m_allowed; }
    const peer::CursorImage& image() const { return m_image; }
    // Ends the drag with the operation a destination performed.
    void finish(peer::Point screenLocation, unsigned operation);

private:
    bool m_dragging = false;
    std::string m_pasteboard;
    peer::CursorImage m_image;
    unsigned m_allowed = 0;
    std::function<void(peer::Point, unsigned)> m_finished;
};

} // namespace platform::headless
