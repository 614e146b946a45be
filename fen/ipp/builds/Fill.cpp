// Filling rectangles of 32-bit pixels with one value, compiled once per
// processor build (see BuildName.h). A row of at least a register's width
// is one unaligned store at each end and aligned stores as wide as the
// build's registers between them; the stores may overlap, as they all write
// the same value. Shorter rows take two overlapping stores of the widest
// size that fits, or a masked store where the build has cheap ones.
#include "fen/ipp/IppiSet.h"
#include "fen/ipp/builds/BuildName.h"

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

inline Block splat(uint32_t value)
{
    return set64(static_cast<long long>(uint64_t(value) << 32 | value));
}
inline void storeBlock(uint32_t* p, Block v)
{
    storeu(p, v);
}

#else

using Block = __m128i;
constexpr size_t kBlockBytes = 16;

inline Block splat(uint32_t value)
{
    return _mm_set1_epi32(static_cast<int>(value));
}
inline void storeBlock(uint32_t* p, Block v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

#endif

constexpr size_t kBlockPixels = kBlockBytes / 4;

struct Fill {
    Block block;
    __m128i quad;
    uint32_t value;
};

#if !defined(__AVX512F__)
inline void storeQuad(uint32_t* p, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
inline void storePair(uint32_t* p, __m128i v)
{
    _mm_storel_epi64(reinterpret_cast<__m128i*>(p), v);
}
#endif

// Fewer pixels than a block: a masked store where masked stores cost about
// as much as plain ones (AVX-512), else two overlapping stores.
void fillShortRow(uint32_t* p, size_t count, const Fill& fill)
{
#if defined(__AVX512F__)
    storeFirst(p, fill.block, static_cast<int>(count));
#else
    if (count >= 4) {
        storeQuad(p, fill.quad);
        storeQuad(p + count - 4, fill.quad);
    } else if (count >= 2) {
        storePair(p, fill.quad);
        storePair(p + count - 2, fill.quad);
    } else {
        *p = fill.value;
    }
#endif
}

// The first block boundary after p, or p plus a block where p is not on a
// pixel boundary (its stores then stay unaligned).
uint32_t* firstAlignedAfter(uint32_t* p)
{
    const size_t offset = reinterpret_cast<uintptr_t>(p) % kBlockBytes;
    return offset % 4 == 0 ? p + (kBlockBytes - offset) / 4 : p + kBlockPixels;
}

void fillRow(uint32_t* p, size_t count, const Fill& fill)
{
    if (count < kBlockPixels) {
        fillShortRow(p, count, fill);
        return;
    }
    uint32_t* const end = p + count;
    storeBlock(p, fill.block);
    uint32_t* q = firstAlignedAfter(p);
    for (; q + 4 * kBlockPixels <= end; q += 4 * kBlockPixels) {
        storeBlock(q, fill.block);
        storeBlock(q + kBlockPixels, fill.block);
        storeBlock(q + 2 * kBlockPixels, fill.block);
        storeBlock(q + 3 * kBlockPixels, fill.block);
    }
    for (; q + kBlockPixels <= end; q += kBlockPixels)
        storeBlock(q, fill.block);
    if (q < end)
        storeBlock(end - kBlockPixels, fill.block);
}

} // namespace

IppStatus IPP_BUILD_NAME(ippiSet_32u_C1R)(Ipp32u value, Ipp32u* pDst, int32_t dstStep, IppiSize roiSize)
{
    if (!pDst)
        return kStsNullPtrErr;
    if (roiSize.width <= 0 || roiSize.height <= 0)
        return kStsSizeErr;
    const Fill fill{splat(value), _mm_set1_epi32(static_cast<int>(value)), value};
    auto* row = reinterpret_cast<Ipp8u*>(pDst);
    for (int32_t y = 0; y < roiSize.height; ++y, row += dstStep)
        fillRow(reinterpret_cast<uint32_t*>(row), size_t(roiSize.width), fill);
    return kStsOk;
}
