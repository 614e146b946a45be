#pragma once
// Small helpers for the picture tests: pictures filled with a colour or
// with a pattern that tells every pixel apart, views as text grids, and a
// picture with guard rows after its pixels.
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "FEN/Picture.h"

namespace CV {
namespace BAS {

inline bool operator==(Rect const& a, Rect const& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& os, Rect const& r)
{
    return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

} // namespace BAS

namespace FEN {
namespace test {

inline void fill(Picture& picture, int w, int h, uint32_t colour)
{
    picture.setSize(w, h, true);
    picture.clear(colour);
}

// Opaque pixel that encodes its own position.
inline uint32_t positionPixel(int x, int y)
{
    return 0xFF000000u | uint32_t(y) << 8 | uint32_t(x);
}

inline void fillWithPositions(Picture& picture, int w, int h)
{
    picture.setSize(w, h, true);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            picture.pixelRow(y)[x] = positionPixel(x, y);
}

inline uint32_t at(Picture const& picture, int x, int y)
{
    return picture.pixelRow(y)[x];
}

// '#' where the pixel differs from the background, '.' elsewhere.
inline std::vector<std::string> grid(Picture const& picture, uint32_t background = 0)
{
    std::vector<std::string> rows;
    for (int y = 0; y < picture.getHeight(); ++y) {
        std::string row;
        for (int x = 0; x < picture.getWidth(); ++x)
            row += at(picture, x, y) == background ? '.' : '#';
        rows.push_back(row);
    }
    return rows;
}

// A w x h picture whose buffer goes on for guard rows of a fixed pattern;
// intact() tells whether they are untouched. (The sanitizer build watches
// the memory before the buffer.)
class GuardedPicture {
public:
    static constexpr uint32_t kGuard = 0xA5C3E1F7u;
    static constexpr int kGuardRows = 2;

    GuardedPicture(int w, int h, uint32_t colour)
    {
        picture.setSize(w, h + kGuardRows, true);
        picture.clear(kGuard);
        picture.setSize(w, h, false);
        picture.clear(colour);
    }

    bool intact() const
    {
        uint32_t const* guard = picture.getPixels() + size_t(picture.getWidth()) * picture.getHeight();
        for (int i = 0; i < picture.getWidth() * kGuardRows; ++i)
            if (guard[i] != kGuard)
                return false;
        return true;
    }

    Picture picture;
};

} // namespace test
} // namespace FEN
} // namespace CV
