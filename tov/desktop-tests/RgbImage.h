#pragma once
// A picture as a 24-bit screen shows it: 0xRRGGBB words, top row first, in
// device pixels. Made from a window framebuffer of premultiplied B, G, R, A
// words (the alpha byte dropped, as an opaque window's surface drops it) or
// read back from the X server; written as PNG for a look by eye.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace CV::test {
class Screenshot;
}

namespace CV::TOV::TEST {

class RgbImage {
public:
    RgbImage() = default;
    // From framebuffer words (B, G, R, A in memory, top row first).
    static RgbImage fromFramebuffer(std::vector<std::uint32_t> const& words, int width, int height);
    static RgbImage fromScreenshot(CV::test::Screenshot const& shot);

    int width() const { return m_width; }
    int height() const { return m_height; }
    bool empty() const { return m_pixels.empty(); }
    std::uint32_t pixel(int x, int y) const { return m_pixels[std::size_t(y) * std::size_t(m_width) + std::size_t(x)]; }
    // As an RGB PNG file; false when it could not be written.
    bool save(std::string const& path) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint32_t> m_pixels;
};

// Success when both images have the same size and pixels; otherwise the
// sizes, or the first differing pixel (top row first) and how many differ.
::testing::AssertionResult samePixels(RgbImage const& actual, RgbImage const& expected);

} // namespace CV::TOV::TEST
