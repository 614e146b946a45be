#pragma once
// What a window peer keeps of its content between draws: the pixels
// (premultiplied B, G, R, A words, top row first, the content size times
// the backing scale) and the region marked for drawing, as rectangles that
// do not overlap (past kMaxMarkedRects they merge into their bounding box).
// The window client draws each marked rectangle once through a bitmap
// context whose user space covers the content bottom-up in points.
#include "platform/peer/Geometry.h"
#include "platform/peer/WindowPeer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::peer {

class WindowFramebuffer {
public:
    static constexpr std::size_t kMaxMarkedRects = 16;

    // New pixels (cleared) for a content size at a scale; nothing is marked.
    void resize(Size content, double scale);

    // Adds the rectangles (top-down points) to the marked region; returns
    // the parts of them inside the content (none when nothing is).
    std::vector<Rect> mark(const std::vector<Rect>& areas);
    void markAll() { mark({Rect{0, 0, m_content.width, m_content.height}}); }
    bool hasMarked() const { return !m_marked.empty(); }
    const std::vector<Rect>& marked() const { return m_marked; }
    // Forgets the marked region without drawing it.
    void unmark() { m_marked.clear(); }
    // Lets the client draw the marked region into the pixels and clears the
    // mark; the rectangles drawn (none when nothing was marked or there are
    // no pixels).
    std::vector<Rect> drawMarked(WindowClient& client);

    double scale() const { return m_scale; }
    int pixelWidth() const { return m_pixelWidth; }
    int pixelHeight() const { return m_pixelHeight; }
    bool empty() const { return m_pixels.empty(); }
    const std::vector<std::uint32_t>& pixels() const { return m_pixels; }
    std::uint32_t* data() { return m_pixels.data(); }
    // The word at pixel (x, y), top row 0.
    std::uint32_t pixel(int x, int y) const
    {
        return m_pixels[std::size_t(y) * std::size_t(m_pixelWidth) + std::size_t(x)];
    }

private:
    void addToMarked(const Rect& area);

    Size m_content;
    double m_scale = 1;
    int m_pixelWidth = 0;
    int m_pixelHeight = 0;
    std::vector<std::uint32_t> m_pixels;
    std::vector<Rect> m_marked; // disjoint
};

} // namespace platform::peer
