// Copying one picture's pixels onto another.
#include <cstring>

#include "FEN/Picture.h"
#include "PictureArea.h"
#include "PixelOps.h"
#include "fen/ipp/IppiAlphaComp.h"

namespace CV {
namespace FEN {

namespace {

// The legacy copy: opaque pixels copied, invisible ones skipped, others
// blended with a shift by 8 and given the source's alpha.
uint32_t legacyCopy(uint32_t target, uint32_t source)
{
    uint32_t const a = PixelOps::alphaOf(source);
    if (a == 255)
        return source;
    if (a == 0)
        return target;
    uint32_t result = a << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t const c = (PixelOps::channel(target, shift) * (255 - a) + PixelOps::channel(source, shift) * a) >> 8;
        result |= c << shift;
    }
    return result;
}

} // namespace

void Picture::copyAreaUC(int x, int y, int w, int h, Picture const& source, int sx, int sy)
{
    PictureArea area;
    if (!PictureArea::map(*this, x, y, w, h, source, sx, sy, area))
        return;
    uint32_t* target = pixelAt(area.targetX, area.targetY);
    uint32_t const* from = source.pixelRow(int(area.sourceY)) + area.sourceX;
    int const width = int(area.width), height = int(area.height);
    if (!source.hasAlphaChannel()) {
        for (int row = 0; row < height; ++row)
            std::memmove(target + ptrdiff_t(row) * m_iWidth, from + ptrdiff_t(row) * source.m_iWidth,
                         size_t(width) * 4);
    } else if (!m_bLegacyAlpha && !source.m_bLegacyAlpha) {
        ippiAlphaComp_8u_AC4IR(reinterpret_cast<Ipp8u const*>(from), source.m_iWidth * 4,
                               reinterpret_cast<Ipp8u*>(target), m_iWidth * 4, IppiSize{width, height}, kAlphaOver);
    } else {
        for (int row = 0; row < height; ++row) {
            uint32_t* t = target + ptrdiff_t(row) * m_iWidth;
            uint32_t const* s = from + ptrdiff_t(row) * source.m_iWidth;
            for (int i = 0; i < width; ++i)
                t[i] = legacyCopy(t[i], s[i]);
        }
    }
}

} // namespace FEN
} // namespace CV
