#include "PixelOps.h"

#include "fen/ipp/IppiAlphaComp.h"
#include "fen/ipp/IppiSet.h"

namespace CV {
namespace FEN {
namespace PixelOps {

namespace {

constexpr int kScratchPixels = 16;

// Rows of a translucent colour, each in chunks of at most 16 pixels from a
// buffer of copies of the colour, through the kernel of the selected build
// found once for all of them.
void compositeRowChunks(uint32_t* first, int64_t width, int64_t height, ptrdiff_t stride, uint32_t colour)
{
    uint32_t scratch[kScratchPixels];
    std::fill(scratch, scratch + std::min<int64_t>(width, kScratchPixels), colour);
    IppiAlphaCompRow const over = ippiAlphaCompRowKernel(kAlphaOver);
    auto const* source = reinterpret_cast<Ipp8u const*>(scratch);
    int32_t const tail = int32_t(width % kScratchPixels);
    for (int64_t row = 0; row < height; ++row) {
        uint32_t* const rowStart = first + row * stride;
        uint32_t* const tailStart = rowStart + (width - tail);
        for (uint32_t* chunk = rowStart; chunk != tailStart; chunk += kScratchPixels) {
            auto* target = reinterpret_cast<Ipp8u*>(chunk);
            over(source, target, target, kScratchPixels, 0);
        }
        if (tail != 0) {
            auto* target = reinterpret_cast<Ipp8u*>(tailStart);
            over(source, target, target, tail, 0);
        }
    }
}

// A column of a translucent colour, in chunks of at most 16 pixels.
void compositeColumnChunks(uint32_t* first, int64_t count, ptrdiff_t step, uint32_t colour)
{
    uint32_t scratch[kScratchPixels];
    std::fill(scratch, scratch + std::min<int64_t>(count, kScratchPixels), colour);
    for (int64_t done = 0; done < count;) {
        int const chunk = int(std::min<int64_t>(count - done, kScratchPixels));
        ippiAlphaComp_8u_AC4IR(reinterpret_cast<Ipp8u const*>(scratch), 4,
                               reinterpret_cast<Ipp8u*>(first + done * step), int32_t(step * 4), IppiSize{1, chunk},
                               kAlphaOver);
        done += chunk;
    }
}

} // namespace

void compositeRows(uint32_t* first, int64_t width, int64_t height, ptrdiff_t stride, uint32_t colour)
{
    if (width > 0 && height > 0)
        compositeRowChunks(first, width, height, stride, colour);
}

void fillPixels(uint32_t* first, int64_t width, int64_t height, ptrdiff_t stride, uint32_t colour)
{
    // Rows longer than the kernel's int go in pieces.
    constexpr int64_t kMostPerCall = INT32_MAX / 4;
    for (int64_t done = 0; done < width; done += kMostPerCall) {
        int32_t const w = int32_t(std::min(width - done, kMostPerCall));
        ippiSet_32u_C1R(colour, first + done, int32_t(stride * 4), IppiSize{w, int32_t(height)});
    }
}

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
            fillPixels(first, count, 1, 0, colour);
        } else {
            for (int64_t i = 0; i < count; ++i)
                first[i * step] = colour;
        }
    } else if (legacy) {
        for (int64_t i = 0; i < count; ++i)
            first[i * step] = legacyBlend(first[i * step], colour);
    } else {
        if (step == 1)
            compositeRowChunks(first, count, 1, 0, colour);
        else
            compositeColumnChunks(first, count, step, colour);
    }
}

} // namespace PixelOps
} // namespace FEN
} // namespace CV
