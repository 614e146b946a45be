#include "platform/peer/WindowFramebuffer.h"

#include "platform/peer/Flip.h"

#include <algorithm>
#include <cmath>

namespace platform::peer {

void WindowFramebuffer::resize(Size content, double scale)
{
    m_content = content;
    m_scale = scale;
    m_pixelWidth = std::max(0, int(std::lround(content.width * scale)));
    m_pixelHeight = std::max(0, int(std::lround(content.height * scale)));
    m_pixels.assign(std::size_t(m_pixelWidth) * std::size_t(m_pixelHeight), 0u);
    m_marked.reset();
}

Rect WindowFramebuffer::mark(const Rect& area)
{
    const Rect inside = clampToSize(area, m_content);
    if (!inside.isEmpty())
        m_marked = m_marked ? unite(*m_marked, inside) : inside;
    return inside;
}

std::optional<Rect> WindowFramebuffer::drawMarked(WindowClient& client)
{
    const std::optional<Rect> marked = m_marked;
    m_marked.reset();
    if (!marked || m_pixels.empty())
        return std::nullopt;
    CGContextRef context = CGBitmapContextCreate(m_pixels.data(), std::size_t(m_pixelWidth),
                                                 std::size_t(m_pixelHeight), 8, std::size_t(m_pixelWidth) * 4,
                                                 nullptr, kCGBitmapByteOrder32Little | kCGImageAlphaPremultipliedFirst);
    CGContextScaleCTM(context, m_scale, m_scale);
    CGContextClipToRect(context, toBottomUp(*marked, m_content.height));
    client.draw(context, *marked);
    CGContextRelease(context);
    return marked;
}

} // namespace platform::peer
