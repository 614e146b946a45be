#include "platform/headless/HeadlessDragSession.h"

namespace platform::headless {

void HeadlessDragSession::begin(const std::string& pasteboard, const peer::CursorImage& image, peer::Point,
                                unsigned allowedOperations, std::function<void(peer::Point, unsigned)> finished)
{
    m_dragging = true;
    m_pasteboard = pasteboard;
    m_image = image;
    m_allowed = allowedOperations;
    m_finished = std::move(finished);
}

void HeadlessDragSession::finish(peer::Point screenLocation, unsigned operation)
{
    if (!m_dragging)
        return;
    m_dragging = false;
    auto finished = std::move(m_finished);
    m_finished = nullptr;
    if (finished)
        finished(screenLocation, operation);
}

} // namespace platform::headless
