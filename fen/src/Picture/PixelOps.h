#pragma once
// Pixel arithmetic shared by the drawing and compositing operations.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "BAS/Rect.h"

namespace CV {
namespace FEN {
namespace PixelOps {

inline uint32_t alphaOf(uint32_t pixel)
{
    return pixel >> 24;
}
inline uint32_t channel(uint32_t pixel, int shift)
{
    return (pixel >> shift) & 0xFFu;
}
inline bool isOpaque(uint32_t colour)
{
    return colour >= 0xFF000000u;
}
inline bool isInvisible(uint32_t colour)
{
    return colour <= 0x00FFFFFFu;
}

// D(x) = (x + (x >> 8) + 1) >> 8, the shift-and-add division by 255.
inline uint32_t div255(uint32_t x)
{
    return (x + (x >> 8) + 1) >> 8;
}

// Straight-alpha "over" of one colour onto one pixel.
uint32_t over(uint32_t pixel, uint32_t colour);
// The legacy blend: channels (s*a + d*(256 - a)) >> 8, alpha byte 0.
uint32_t legacyBlend(uint32_t pixel, uint32_t colour);
// One colour composited onto a pixel as setPixelUC does it.
uint32_t compositeColour(uint32_t pixel, uint32_t colour, bool legacy);

// Stores colour into height rows of width pixels, stride pixels apart
// (height 1: one row of any length; otherwise the rows' bytes fit an int).
void fillPixels(uint32_t* first, int64_t width, int64_t height, ptrdiff_t stride, uint32_t colour);

// Composites a translucent colour over height rows of width pixels, stride
// pixels apart, through the compositing kernel in chunks of 16.
void compositeRows(uint32_t* first, int64_t width, int64_t height, ptrdiff_t stride, uint32_t colour);

// count pixels from first, step pixels apart (1 for a row, the width for a
// column): opaque colours stored, invisible ones nothing, translucent ones
// composited (legacy blend or the compositing kernel in chunks of 16).
void drawRun(uint32_t* first, int64_t count, ptrdiff_t step, uint32_t colour, bool legacy);

// Cuts the span [lo, hi) to [min, max); false when nothing is left.
inline bool cutSpan(int64_t& lo, int64_t& hi, int64_t min, int64_t max)
{
    lo = std::max(lo, min);
    hi = std::min(hi, max);
    return lo < hi;
}

// The span covered by a start and a (possibly negative) length.
inline void spanOf(int64_t p, int64_t len, int64_t& lo, int64_t& hi)
{
    lo = std::min(p, p + len);
    hi = std::max(p, p + len);
}

inline int32_t clampToInt(int64_t v)
{
    return int32_t(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, v)));
}

inline bool isEmpty(BAS::Rect const& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

} // namespace PixelOps
} // namespace FEN
} // namespace CV
