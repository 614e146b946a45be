#include "PixelOps.h"

#include "fen/ipp/IppiAlphaComp.h"

namespace CV {
namespace FEN {
namespace PixelOps {

namespace {

constexpr int kScratchPixels = 16;

void compositeChunks(uint32_t* first, int64_t count, ptrdiff_t step, uint32_t colour)
{
    uint32_t scratch[kScratchPixels];
    int const copies = int(std::min<int64_t>(count, kScratchPixels));
    std::fill(scratch, scratch + copies, colour);
    for (int64_t done = 0; done < count;) {
        int const chunk = int(std::min<int64_t>(count - done, kScratchPixels));
        uint32_t* target = first + done * step;
        if (step == 1) {
            ippiAlphaComp_8u_AC4IR(reinterpret_cast<Ipp8u const*>(scratch), chunk * 4,
                                   reinterpret_cast<Ipp8u*>(target), chunk * 4, IppiSize{chunk, 1}, kAlphaOver);
        } else {
            ippiAlphaComp_8u_AC4IR(reinterpret_cast<Ipp8u const*>(scratch), 4, reinterpret_cast<Ipp8u*>(target),
                                   int32_t(step * 4), IppiSize{1, chunk}, kAlphaOver);
        }
        done += chunk;
    }
}

} // namespace

uint32_t over(uint32_t pixel, uint32_t colour)
{
    uint32_t const a = alphaOf(colour);
    uint32_t const g = (255 - a) * alphaOf(pixel);
    uint32_t const oa = a + (g + 127) / 255;
    if (oa == 0)
        return 0;
    uint32_t result = std::min<uint32_t>(oa, 255) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t const c = (channel(colour, shift) * a + (g * channel(pixel, shift) + 127) / 255 + oa / 2) / oa;
        result |= std::min<uint32_t>(c, 255) << shift;
    }
    return result;
}

uint32_t legacyBlend(uint32_t pixel, uint32_t colour)
{
    uint32_t const a = alphaOf(colour);
    uint32_t result = 0;
    for (int shift = 0; shift < 24; shift += 8)
        result |= ((channel(colour, shift) * a + channel(pixel, shift) * (256 - a)) >> 8) << shift;
    return result;
}

uint32_t compositeColour(uint32_t pixel, uint32_t colour, bool legacy)
{
    if (isOpaque(colour))
        return colour;
    if (legacy)
        return isInvisible(colour) ? pixel : legacyBlend(pixel, colour);
    return over(pixel, colour);
}

void drawRun(uint32_t* first, int64_t count, ptrdiff_t step, uint32_t colour, bool legacy)
{
    if (count <= 0 || isInvisible(colour))
        return;
    if (isOpaque(colour)) {
        if (step == 1) {
            std::fill(first, first + count, colour);
        } else {
            for (int64_t i = 0; i < count; ++i)
                first[i * step] = colour;
        }
    } else if (legacy) {
        for (int64_t i = 0; i < count; ++i)
            first[i * step] = legacyBlend(first[i * step], colour);
    } else {
        compositeChunks(first, count, step, colour);
    }
}

} // namespace PixelOps
} // namespace FEN
} // namespace CV
