#pragma once
// What a window peer keeps of its content between draws: the pixels
// (premultiplied B, G, R, A words, top row first, the content size times
// the backing scale) and the part marked for drawing. The window client
// draws the marked part through a bitmap context whose user space covers
// the content bottom-up in points.
#include "platform/peer/Geometry.h"
#include "platform/peer/WindowPeer.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace platform::peer {

class WindowFramebuffer {
public:
    // New pixels (cleared) for a content size at a scale; nothing is marked.
    void resize(Size content, double scale);

    // Marks part of the content (top-down points); returns the part inside
    // the content (empty when none).
    Rect mark(const Rect& area);
    void markAll() { mark(Rect{0, 0, m_content.width, m_content.height}); }
    const std::optional<Rect>& marked() const { return m_marked; }
    // Forgets the marked part without drawing it.
    void unmark() { m_marked.reset(); }
    // Lets the client draw the marked part into the pixels and clears the
    // mark; the part drawn (none when nothing was marked or there are no
    // pixels).
    std::optional<Rect> drawMarked(WindowClient& client);

    double scale() const { return m_scale; }
    int pixelWidth() const { return m_pixelWidth; }
    int pixelHeight() const { return m_pixelHeight; }
    bool empty() const { return m_pixels.empty(); }
    const std::vector<std::uint32_t>& pixels() const { return m_pixels; }
    std::uint32_t* data() { return m_pixels.data(); }
    // The word at pixel (x, y), top row 0.
    std::uint32_t pixel(int x, int y) const { return m_pixels[std::size_t(y) * std::size_t(m_pixelWidth) + std::size_t(x)]; }

private:
    Size m_content;
    double m_scale = 1;
    int m_pixelWidth = 0;
    int m_pixelHeight = 0;
    std::vector<std::uint32_t> m_pixels;
    std::optional<Rect> m_marked;
};

} // namespace platform::peer
