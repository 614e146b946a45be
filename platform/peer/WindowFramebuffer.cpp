#include "platform/peer/WindowFramebuffer.h"

#include "platform/peer/Flip.h"

#include <algorithm>
#include <cmath>

namespace platform::peer {

namespace {

bool overlaps(const Rect& a, const Rect& b)
{
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

// The parts of piece outside cut (up to four: above, below, left, right),
// appended to out.
void subtract(const Rect& piece, const Rect& cut, std::vector<Rect>& out)
{
    const double top = std::max(piece.y, cut.y), bottom = std::min(piece.y + piece.height, cut.y + cut.height);
    if (cut.y > piece.y)
        out.push_back(Rect{piece.x, piece.y, piece.width, cut.y - piece.y});
    if (cut.y + cut.height < piece.y + piece.height)
        out.push_back(Rect{piece.x, cut.y + cut.height, piece.width, piece.y + piece.height - cut.y - cut.height});
    if (cut.x > piece.x)
        out.push_back(Rect{piece.x, top, cut.x - piece.x, bottom - top});
    if (cut.x + cut.width < piece.x + piece.width)
        out.push_back(Rect{cut.x + cut.width, top, piece.x + piece.width - cut.x - cut.width, bottom - top});
}

} // namespace

void WindowFramebuffer::resize(Size content, double scale)
{
    m_content = content;
    m_scale = scale;
    m_pixelWidth = std::max(0, int(std::lround(content.width * scale)));
    m_pixelHeight = std::max(0, int(std::lround(content.height * scale)));
    m_pixels.assign(std::size_t(m_pixelWidth) * std::size_t(m_pixelHeight), 0u);
    m_marked.clear();
}

std::vector<Rect> WindowFramebuffer::mark(const std::vector<Rect>& areas)
{
    std::vector<Rect> inside;
    for (const Rect& area : areas) {
        const Rect part = clampToSize(area, m_content);
        if (part.isEmpty())
            continue;
        inside.push_back(part);
        addToMarked(part);
    }
    return inside;
}

// Keeps only the parts of area not marked yet, so that each pixel is drawn
// once.
void WindowFramebuffer::addToMarked(const Rect& area)
{
    std::vector<Rect> pieces{area}, rest;
    for (const Rect& done : m_marked) {
        rest.clear();
        for (const Rect& piece : pieces)
            if (overlaps(piece, done))
                subtract(piece, done, rest);
            else
                rest.push_back(piece);
        pieces.swap(rest);
    }
    m_marked.insert(m_marked.end(), pieces.begin(), pieces.end());
    if (m_marked.size() > kMaxMarkedRects) {
        Rect bounds = m_marked.front();
        for (const Rect& r : m_marked)
            bounds = unite(bounds, r);
        m_marked.assign(1, bounds);
    }
}

std::vector<Rect> WindowFramebuffer::drawMarked(WindowClient& client)
{
    std::vector<Rect> marked;
    marked.swap(m_marked);
    if (marked.empty() || m_pixels.empty())
        return {};
    CGContextRef context = CGBitmapContextCreate(m_pixels.data(), std::size_t(m_pixelWidth), std::size_t(m_pixelHeight),
                                                 8, std::size_t(m_pixelWidth) * 4, nullptr,
                                                 kCGBitmapByteOrder32Little | kCGImageAlphaPremultipliedFirst);
    CGContextScaleCTM(context, m_scale, m_scale);
    for (const Rect& area : marked) {
        CGContextSaveGState(context);
        CGContextClipToRect(context, toBottomUp(area, m_content.height));
        client.draw(context, area);
        CGContextRestoreGState(context);
    }
    CGContextRelease(context);
    return marked;
}

} // namespace platform::peer
