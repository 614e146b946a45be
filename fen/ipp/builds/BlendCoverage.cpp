// Blending a colour through a row of coverage, compiled once per processor
// build (see BuildName.h). The vector builds take a register of pixels per
// step in 16-bit lanes: the weights are worked out in 32-bit lanes, one per
// pixel, then spread over the pixel's four bytes; a row's last pixels short
// of a register are loaded and stored under a mask where the build has
// masked loads, else through a copy of one register's width. The n8 build
// takes one pixel per step. All give the same bytes.
#include "fen/ipp/IppiBlendCoverage.h"
#include "fen/ipp/builds/BuildName.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE4_1__)
#include "fen/ipp/builds/SimdOps.h"
#endif

namespace {

#if defined(__SSE4_1__)

constexpr int kBlockPixels = kRegBytes / 4;

// The block's coverage bytes, one in the low byte of each 32-bit lane.
FEN_IPP_INLINE Reg loadCoverage(const Ipp8u* p)
{
#if defined(__AVX512BW__)
    return _mm512_maskz_cvtepu8_epi32(0xFFFF, _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
#elif defined(__AVX2__)
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
#else
    int32_t four = 0;
    std::memcpy(&four, p, sizeof(four));
    return _mm_cvtepu8_epi32(_mm_cvtsi32_si128(four));
#endif
}

struct Colour {
    Reg lanes; // the colour widened to 16-bit lanes, twice per 128 bits
    Reg alpha; // its alpha in every 16-bit lane
};

FEN_IPP_INLINE Colour colourOf(Ipp32u colour)
{
    const Reg pixels = set64(static_cast<long long>(uint64_t(colour) << 32 | colour));
    return {widenLo(pixels), set16(int(colour >> 24))};
}

// One register of pixels: the weight of each pixel in all four of its bytes,
// the colour channels mixed in 16-bit lanes, the alpha added with saturation.
FEN_IPP_INLINE Reg blendBlock(Reg pixels, Reg coverage, const Colour& colour)
{
    const Reg weighted = mulLo(coverage, colour.alpha); // below 2^16; 0 in the upper half
    const Reg weight = shr<7>(mulHi(weighted, set16(0x8081))); // weighted / 255, rounded down
    const Reg spread =
        shuffle8(weight, broadcast128(_mm_setr_epi8(0, 0, 0, 0, 4, 4, 4, 4, 8, 8, 8, 8, 12, 12, 12, 12)));
    const Reg weightLo = widenLo(spread), weightHi = widenHi(spread);
    const Reg keepLo = sub(set16(256), weightLo), keepHi = sub(set16(256), weightHi);
    const Reg lo = shr<8>(add(mulLo(widenLo(pixels), keepLo), mulLo(colour.lanes, weightLo)));
    const Reg hi = shr<8>(add(mulLo(widenHi(pixels), keepHi), mulLo(colour.lanes, weightHi)));
    const Reg alphaBytes = set64(static_cast<long long>(0xFF000000FF000000ull));
    const Reg mixed = narrow(lo, hi);
    return orBits(andBits(addSat8(pixels, spread), alphaBytes), andBits(mixed, xorBits(alphaBytes, set16(-1))));
}

void blendRow(const Ipp8u* coverage, Ipp32u* pixels, int32_t width, Ipp32u colourValue)
{
    const Colour colour = colourOf(colourValue);
    int32_t x = 0;
    for (; x + kBlockPixels <= width; x += kBlockPixels)
        storeu(pixels + x, blendBlock(loadu(pixels + x), loadCoverage(coverage + x), colour));
    const int rest = width - x;
    if (rest == 0)
        return;
#if defined(__AVX512BW__)
    const Reg restCoverage = _mm512_maskz_cvtepu8_epi32(
        0xFFFF, _mm_maskz_loadu_epi8(static_cast<__mmask16>((1u << rest) - 1), coverage + x));
    storeFirst(pixels + x, blendBlock(loadFirst(pixels + x, rest), restCoverage, colour), rest);
#else
    alignas(64) Ipp8u restCoverage[kBlockPixels] = {};
    for (int i = 0; i < rest; ++i)
        restCoverage[i] = coverage[x + i];
    if (kMaskedTails) {
        storeFirst(pixels + x, blendBlock(loadFirst(pixels + x, rest), loadCoverage(restCoverage), colour), rest);
        return;
    }
    alignas(64) Ipp32u restPixels[kBlockPixels] = {};
    std::memcpy(restPixels, pixels + x, size_t(rest) * 4);
    storeu(restPixels, blendBlock(loadu(restPixels), loadCoverage(restCoverage), colour));
    std::memcpy(pixels + x, restPixels, size_t(rest) * 4);
#endif
}

#else

// Red and blue share one multiplication: each lane's sum stays below 2^16,
// so the lanes never carry into each other.
void blendRow(const Ipp8u* coverage, Ipp32u* pixels, int32_t width, Ipp32u colour)
{
    const uint32_t alpha = colour >> 24;
    const uint32_t redBlue = colour & 0x00FF00FF;
    const uint32_t green = colour & 0x0000FF00;
    for (int32_t x = 0; x < width; ++x) {
        const uint32_t a = uint32_t(coverage[x]) * alpha / 255;
        const uint32_t keep = 256 - a;
        const uint32_t d = pixels[x];
        const uint32_t newRedBlue = (((d & 0x00FF00FF) * keep + redBlue * a) >> 8) & 0x00FF00FF;
        const uint32_t newGreen = (((d & 0x0000FF00) * keep + green * a) >> 8) & 0x0000FF00;
        const uint32_t sum = (d >> 24) + a;
        const uint32_t newAlpha = sum > 255 ? 255 : sum;
        pixels[x] = (newAlpha << 24) | newRedBlue | newGreen;
    }
}

#endif

} // namespace

void IPP_BUILD_NAME(ippi_BlendCoverage_C4S_8u)(const Ipp8u* pCoverage, Ipp32u* pSrcDst, int32_t width, Ipp32u colour)
{
    blendRow(pCoverage, pSrcDst, width, colour);
}
