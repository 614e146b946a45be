#pragma once
// Cursor state that tests read.
#include "platform/peer/CursorPeer.h"

namespace platform::headless {

class HeadlessCursor : public peer::CursorPeer {
public:
    void setCursor(const peer::CursorImage& cursor) override { m_cursor = cursor; }
    void setHidden(bool hidden) override { m_hidden = hidden; }
    void warp(peer::Point screenLocation) override { m_location = screenLocation; }
    void setAssociated(bool associated) override { m_associated = associated; }
    peer::Point location() const override { return m_location; }

    const peer::CursorImage& cursor() const { return m_cursor; }
    bool isHidden() const { return m_hidden; }
    bool isAssociated() const { return m_associated; }

private:
    peer::CursorImage m_cursor{"arrow", 0, 0, {}, {}};
    bool m_hidden = false;
    bool m_associated = true;
    peer::Point m_location;
};

} // namespace platform::headless
