// Filling rectangles of 32-bit pixels with one value, compiled once per
// processor build (see BuildName.h): aligned stores as wide as the build's
// registers, single pixels before the first and after the last aligned one.
#include "fen/ipp/builds/BuildName.h"
#include "fen/ipp/IppiSet.h"

#include <cstddef>
#include <cstdint>

#if defined(__SSE4_1__)
#include "fen/ipp/builds/SimdOps.h"
#else
#include <emmintrin.h>
#endif

namespace {

#if defined(__SSE4_1__)

using Block = Reg;
constexpr size_t kBlockBytes = kRegBytes;

inline Block splat(uint32_t value) { return set64(static_cast<long long>(uint64_t(value) << 32 | value)); }
inline void storeBlock(uint32_t* p, Block v) { storeu(p, v); }

#else

using Block = __m128i;
constexpr size_t kBlockBytes = 16;

inline Block splat(uint32_t value) { return _mm_set1_epi32(static_cast<int>(value)); }
inline void storeBlock(uint32_t* p, Block v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }

#endif

constexpr size_t kBlockPixels = kBlockBytes / 4;

void fillRow(uint32_t* p, size_t count, uint32_t value, Block block)
{
    size_t i = 0;
    while (i < count && (reinterpret_cast<uintptr_t>(p + i) & (kBlockBytes - 1)) != 0)
        p[i++] = value;
    for (; i + 4 * kBlockPixels <= count; i += 4 * kBlockPixels) {
        storeBlock(p + i, block);
        storeBlock(p + i + kBlockPixels, block);
        storeBlock(p + i + 2 * kBlockPixels, block);
        storeBlock(p + i + 3 * kBlockPixels, block);
    }
    for (; i + kBlockPixels <= count; i += kBlockPixels)
        storeBlock(p + i, block);
    for (; i < count; ++i)
        p[i] = value;
}

} // namespace

IppStatus IPP_BUILD_NAME(ippiSet_32u_C1R)(Ipp32u value, Ipp32u* pDst, int32_t dstStep, IppiSize roiSize)
{
    if (!pDst)
        return kStsNullPtrErr;
    if (roiSize.width <= 0 || roiSize.height <= 0)
        return kStsSizeErr;
    const Block block = splat(value);
    auto* row = reinterpret_cast<Ipp8u*>(pDst);
    for (int32_t y = 0; y < roiSize.height; ++y, row += dstStep)
        fillRow(reinterpret_cast<uint32_t*>(row), size_t(roiSize.width), value, block);
    return kStsOk;
}
