#include "FEN/PictureCombinerFunctors.h"

#include "FEN/Picture.h"
#include "PictureArea.h"
#include "PixelOps.h"
#include "fen/ipp/IppiAlphaComp.h"

namespace CV {
namespace FEN {
namespace PictureCombinerFunctors {

namespace {

using PixelOps::div255;

// Mixes the colour channels of src into dst by weight t (0..255); dst's
// alpha byte stays.
inline uint32_t mix(uint32_t dst, uint32_t src, uint32_t t)
{
    uint32_t result = dst & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t const c = div255(PixelOps::channel(dst, shift) * (255 - t) + PixelOps::channel(src, shift) * t);
        result |= c << shift;
    }
    return result;
}

inline uint32_t weight(uint32_t alphaA, uint32_t alphaB)
{
    return div255(alphaA * alphaB);
}

template <class Op> void rowPixelByPixel(uint32_t* t, uint32_t const* s, int64_t count, Op op)
{
    for (int64_t i = 0; i < count; ++i)
        t[i] = op(t[i], s[i]);
}

// The same for rows that do not overlap, so that the compiler may work on
// several pixels at a time.
template <class Op> void rowApart(uint32_t* __restrict t, uint32_t const* __restrict s, int64_t count, Op op)
{
    for (int64_t i = 0; i < count; ++i)
        t[i] = op(t[i], s[i]);
}

// Runs op(targetPixel, sourcePixel) over a mapped area; overlapping rows of
// one picture are read and written pixel by pixel in reading order, rows
// apart by rowKernel(source, target, width) when one is given.
template <class Op>
void forEachPixel(Picture& target, BAS::Rect const& area, Picture const& source, BAS::Point sourcePos, Op op,
                  IppiBlendRow rowKernel = nullptr)
{
    PictureArea mapped;
    if (!PictureArea::map(target, area.left, area.top, int64_t(area.right) - area.left, int64_t(area.bottom) - area.top,
                          source, sourcePos.x, sourcePos.y, mapped))
        return;
    for (int64_t row = 0; row < mapped.height; ++row) {
        uint32_t* t = target.pixelRow(int(mapped.targetY + row)) + mapped.targetX;
        uint32_t const* s = source.pixelRow(int(mapped.sourceY + row)) + mapped.sourceX;
        bool const apart = t + mapped.width <= s || s + mapped.width <= t;
        if (apart && rowKernel)
            rowKernel(reinterpret_cast<Ipp8u const*>(s), reinterpret_cast<Ipp8u*>(t), int32_t(mapped.width));
        else if (apart)
            rowApart(t, s, mapped.width, op);
        else
            rowPixelByPixel(t, s, mapped.width, op);
    }
}

} // namespace

void CopySource::combineArea(Picture& target, BAS::Rect const& area, Picture const& source, BAS::Point sourcePos) const
{
    int64_t const w = int64_t(area.right) - area.left, h = int64_t(area.bottom) - area.top;
    if (w <= 0 || h <= 0)
        return;
    target.copyAreaUC(area.left, area.top, PixelOps::clampToInt(w), PixelOps::clampToInt(h), source, sourcePos.x,
                      sourcePos.y);
}

void BlendUsingAlpha::combineArea(Picture& target, BAS::Rect const& area, Picture const& source,
                                  BAS::Point sourcePos) const
{
    forEachPixel(
        target, area, source, sourcePos,
        [](uint32_t d, uint32_t s) { return mix(d, s, weight(PixelOps::alphaOf(s), PixelOps::alphaOf(d))); },
        ippiBlendByAlphaRowKernel());
}

void DyeUsingAlphaMask::combineArea(Picture& target, BAS::Rect const& area, Picture const& mask,
                                    BAS::Point maskPos) const
{
    uint32_t const colour = m_uColour;
    uint32_t const colourAlpha = PixelOps::alphaOf(colour);
    forEachPixel(target, area, mask, maskPos, [colour, colourAlpha](uint32_t d, uint32_t m) {
        return mix(d, colour, weight(PixelOps::alphaOf(m), colourAlpha));
    });
}

} // namespace PictureCombinerFunctors
} // namespace FEN
} // namespace CV
