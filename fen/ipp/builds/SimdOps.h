#pragma once
// Register operations of the vector builds, in the widest registers that the
// build's instruction set offers: 128 bits (y8, and e9 in AVX encodings),
// 256 bits (l9) or 512 bits (k0). Lanes are 16-bit unless a name says 8.
// All in the anonymous namespace: each build keeps its own copy.
// allBitsSet(v, mask): every bit of mask is set in v.
#include <cstdint>
#include <immintrin.h>

namespace {

// Every helper is forced inline: the kernels are chains of them, and a call
// would spill the registers and reload the constants.
#define FEN_IPP_INLINE inline __attribute__((always_inline))
#define FEN_IPP_INLINE_LAMBDA __attribute__((always_inline))

#if defined(__AVX512BW__)

using Reg = __m512i;
constexpr int kRegBytes = 64;

FEN_IPP_INLINE Reg loadu(const void* p)
{
    return _mm512_loadu_si512(p);
}
FEN_IPP_INLINE void storeu(void* p, Reg v)
{
    _mm512_storeu_si512(p, v);
}
FEN_IPP_INLINE Reg zero()
{
    return _mm512_setzero_si512();
}
FEN_IPP_INLINE Reg set16(int v)
{
    return _mm512_set1_epi16(static_cast<short>(v));
}
FEN_IPP_INLINE Reg set64(long long v)
{
    return _mm512_set1_epi64(v);
}
FEN_IPP_INLINE Reg broadcast128(__m128i v)
{
    return _mm512_maskz_broadcast_i32x4(0xFFFF, v);
}
FEN_IPP_INLINE Reg widenLo(Reg v)
{
    return _mm512_unpacklo_epi8(v, zero());
}
FEN_IPP_INLINE Reg widenHi(Reg v)
{
    return _mm512_unpackhi_epi8(v, zero());
}
FEN_IPP_INLINE Reg narrow(Reg lo, Reg hi)
{
    return _mm512_packus_epi16(lo, hi);
}
FEN_IPP_INLINE Reg add(Reg a, Reg b)
{
    return _mm512_add_epi16(a, b);
}
FEN_IPP_INLINE Reg sub(Reg a, Reg b)
{
    return _mm512_sub_epi16(a, b);
}
FEN_IPP_INLINE Reg addSat(Reg a, Reg b)
{
    return _mm512_adds_epu16(a, b);
}
FEN_IPP_INLINE Reg subSat(Reg a, Reg b)
{
    return _mm512_subs_epu16(a, b);
}
FEN_IPP_INLINE Reg addSat8(Reg a, Reg b)
{
    return _mm512_adds_epu8(a, b);
}
FEN_IPP_INLINE Reg mulLo(Reg a, Reg b)
{
    return _mm512_mullo_epi16(a, b);
}
FEN_IPP_INLINE Reg mulHi(Reg a, Reg b)
{
    return _mm512_mulhi_epu16(a, b);
}
template <int N> FEN_IPP_INLINE Reg shr(Reg a)
{
    return _mm512_srli_epi16(a, N);
}
template <int N> FEN_IPP_INLINE Reg shl(Reg a)
{
    return _mm512_slli_epi16(a, N);
}
FEN_IPP_INLINE Reg greater(Reg a, Reg b)
{
    return _mm512_movm_epi16(_mm512_cmpgt_epi16_mask(a, b));
}
FEN_IPP_INLINE Reg andBits(Reg a, Reg b)
{
    return _mm512_and_si512(a, b);
}
FEN_IPP_INLINE Reg orBits(Reg a, Reg b)
{
    return _mm512_or_si512(a, b);
}
FEN_IPP_INLINE Reg xorBits(Reg a, Reg b)
{
    return _mm512_xor_si512(a, b);
}
FEN_IPP_INLINE Reg select(Reg mask, Reg a, Reg b)
{
    return _mm512_mask_blend_epi16(_mm512_movepi16_mask(mask), b, a);
}
FEN_IPP_INLINE Reg shuffle8(Reg v, Reg pattern)
{
    return _mm512_shuffle_epi8(v, pattern);
}
FEN_IPP_INLINE bool allOnes8(Reg v)
{
    return _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8(-1)) == ~0ull;
}
FEN_IPP_INLINE bool allBitsSet(Reg v, Reg mask)
{
    return _mm512_cmpeq_epi32_mask(_mm512_and_si512(v, mask), mask) == 0xFFFF;
}
FEN_IPP_INLINE bool allZero(Reg v)
{
    return _mm512_test_epi64_mask(v, v) == 0;
}
FEN_IPP_INLINE bool noneInMask(Reg v, Reg mask)
{
    return _mm512_test_epi64_mask(v, mask) == 0;
}
// The first `pixels` 32-bit lanes of a block (fewer than a whole block);
// loads give 0 in the other lanes, stores leave them alone.
constexpr bool kMaskedTails = true;
FEN_IPP_INLINE __mmask16 firstLanes(int pixels)
{
    return static_cast<__mmask16>((1u << pixels) - 1);
}
FEN_IPP_INLINE Reg loadFirst(const void* p, int pixels)
{
    return _mm512_maskz_loadu_epi32(firstLanes(pixels), p);
}
FEN_IPP_INLINE void storeFirst(void* p, Reg v, int pixels)
{
    _mm512_mask_storeu_epi32(p, firstLanes(pixels), v);
}

#elif defined(__AVX2__)

using Reg = __m256i;
constexpr int kRegBytes = 32;

FEN_IPP_INLINE Reg loadu(const void* p)
{
    return _mm256_loadu_si256(static_cast<const __m256i*>(p));
}
FEN_IPP_INLINE void storeu(void* p, Reg v)
{
    _mm256_storeu_si256(static_cast<__m256i*>(p), v);
}
FEN_IPP_INLINE Reg zero()
{
    return _mm256_setzero_si256();
}
FEN_IPP_INLINE Reg set16(int v)
{
    return _mm256_set1_epi16(static_cast<short>(v));
}
FEN_IPP_INLINE Reg set64(long long v)
{
    return _mm256_set1_epi64x(v);
}
FEN_IPP_INLINE Reg broadcast128(__m128i v)
{
    return _mm256_broadcastsi128_si256(v);
}
FEN_IPP_INLINE Reg widenLo(Reg v)
{
    return _mm256_unpacklo_epi8(v, zero());
}
FEN_IPP_INLINE Reg widenHi(Reg v)
{
    return _mm256_unpackhi_epi8(v, zero());
}
FEN_IPP_INLINE Reg narrow(Reg lo, Reg hi)
{
    return _mm256_packus_epi16(lo, hi);
}
FEN_IPP_INLINE Reg add(Reg a, Reg b)
{
    return _mm256_add_epi16(a, b);
}
FEN_IPP_INLINE Reg sub(Reg a, Reg b)
{
    return _mm256_sub_epi16(a, b);
}
FEN_IPP_INLINE Reg addSat(Reg a, Reg b)
{
    return _mm256_adds_epu16(a, b);
}
FEN_IPP_INLINE Reg subSat(Reg a, Reg b)
{
    return _mm256_subs_epu16(a, b);
}
FEN_IPP_INLINE Reg addSat8(Reg a, Reg b)
{
    return _mm256_adds_epu8(a, b);
}
FEN_IPP_INLINE Reg mulLo(Reg a, Reg b)
{
    return _mm256_mullo_epi16(a, b);
}
FEN_IPP_INLINE Reg mulHi(Reg a, Reg b)
{
    return _mm256_mulhi_epu16(a, b);
}
template <int N> FEN_IPP_INLINE Reg shr(Reg a)
{
    return _mm256_srli_epi16(a, N);
}
template <int N> FEN_IPP_INLINE Reg shl(Reg a)
{
    return _mm256_slli_epi16(a, N);
}
FEN_IPP_INLINE Reg greater(Reg a, Reg b)
{
    return _mm256_cmpgt_epi16(a, b);
}
FEN_IPP_INLINE Reg andBits(Reg a, Reg b)
{
    return _mm256_and_si256(a, b);
}
FEN_IPP_INLINE Reg orBits(Reg a, Reg b)
{
    return _mm256_or_si256(a, b);
}
FEN_IPP_INLINE Reg xorBits(Reg a, Reg b)
{
    return _mm256_xor_si256(a, b);
}
FEN_IPP_INLINE Reg select(Reg mask, Reg a, Reg b)
{
    return _mm256_blendv_epi8(b, a, mask);
}
FEN_IPP_INLINE Reg shuffle8(Reg v, Reg pattern)
{
    return _mm256_shuffle_epi8(v, pattern);
}
FEN_IPP_INLINE bool allOnes8(Reg v)
{
    return _mm256_movemask_epi8(_mm256_cmpeq_epi8(v, _mm256_set1_epi8(-1))) == -1;
}
FEN_IPP_INLINE bool allBitsSet(Reg v, Reg mask)
{
    return _mm256_testc_si256(v, mask) != 0;
}
FEN_IPP_INLINE bool allZero(Reg v)
{
    return _mm256_testz_si256(v, v) != 0;
}
FEN_IPP_INLINE bool noneInMask(Reg v, Reg mask)
{
    return _mm256_testz_si256(v, mask) != 0;
}
constexpr bool kMaskedTails = true;
FEN_IPP_INLINE Reg firstLanes(int pixels)
{
    return _mm256_cmpgt_epi32(_mm256_set1_epi32(pixels), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
}
FEN_IPP_INLINE Reg loadFirst(const void* p, int pixels)
{
    return _mm256_maskload_epi32(static_cast<const int*>(p), firstLanes(pixels));
}
FEN_IPP_INLINE void storeFirst(void* p, Reg v, int pixels)
{
    _mm256_maskstore_epi32(static_cast<int*>(p), firstLanes(pixels), v);
}

#elif defined(__SSE4_1__)

using Reg = __m128i;
constexpr int kRegBytes = 16;

FEN_IPP_INLINE Reg loadu(const void* p)
{
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}
FEN_IPP_INLINE void storeu(void* p, Reg v)
{
    _mm_storeu_si128(static_cast<__m128i*>(p), v);
}
FEN_IPP_INLINE Reg zero()
{
    return _mm_setzero_si128();
}
FEN_IPP_INLINE Reg set16(int v)
{
    return _mm_set1_epi16(static_cast<short>(v));
}
FEN_IPP_INLINE Reg set64(long long v)
{
    return _mm_set1_epi64x(v);
}
FEN_IPP_INLINE Reg broadcast128(__m128i v)
{
    return v;
}
FEN_IPP_INLINE Reg widenLo(Reg v)
{
    return _mm_unpacklo_epi8(v, zero());
}
FEN_IPP_INLINE Reg widenHi(Reg v)
{
    return _mm_unpackhi_epi8(v, zero());
}
FEN_IPP_INLINE Reg narrow(Reg lo, Reg hi)
{
    return _mm_packus_epi16(lo, hi);
}
FEN_IPP_INLINE Reg add(Reg a, Reg b)
{
    return _mm_add_epi16(a, b);
}
FEN_IPP_INLINE Reg sub(Reg a, Reg b)
{
    return _mm_sub_epi16(a, b);
}
FEN_IPP_INLINE Reg addSat(Reg a, Reg b)
{
    return _mm_adds_epu16(a, b);
}
FEN_IPP_INLINE Reg subSat(Reg a, Reg b)
{
    return _mm_subs_epu16(a, b);
}
FEN_IPP_INLINE Reg addSat8(Reg a, Reg b)
{
    return _mm_adds_epu8(a, b);
}
FEN_IPP_INLINE Reg mulLo(Reg a, Reg b)
{
    return _mm_mullo_epi16(a, b);
}
FEN_IPP_INLINE Reg mulHi(Reg a, Reg b)
{
    return _mm_mulhi_epu16(a, b);
}
template <int N> FEN_IPP_INLINE Reg shr(Reg a)
{
    return _mm_srli_epi16(a, N);
}
template <int N> FEN_IPP_INLINE Reg shl(Reg a)
{
    return _mm_slli_epi16(a, N);
}
FEN_IPP_INLINE Reg greater(Reg a, Reg b)
{
    return _mm_cmpgt_epi16(a, b);
}
FEN_IPP_INLINE Reg andBits(Reg a, Reg b)
{
    return _mm_and_si128(a, b);
}
FEN_IPP_INLINE Reg orBits(Reg a, Reg b)
{
    return _mm_or_si128(a, b);
}
FEN_IPP_INLINE Reg xorBits(Reg a, Reg b)
{
    return _mm_xor_si128(a, b);
}
FEN_IPP_INLINE Reg select(Reg mask, Reg a, Reg b)
{
    return _mm_blendv_epi8(b, a, mask);
}
FEN_IPP_INLINE Reg shuffle8(Reg v, Reg pattern)
{
    return _mm_shuffle_epi8(v, pattern);
}
FEN_IPP_INLINE bool allOnes8(Reg v)
{
    return _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(-1))) == 0xFFFF;
}
FEN_IPP_INLINE bool allBitsSet(Reg v, Reg mask)
{
    return _mm_testc_si128(v, mask) != 0;
}
FEN_IPP_INLINE bool allZero(Reg v)
{
    return _mm_testz_si128(v, v) != 0;
}
FEN_IPP_INLINE bool noneInMask(Reg v, Reg mask)
{
    return _mm_testz_si128(v, mask) != 0;
}
constexpr bool kMaskedTails = false;
FEN_IPP_INLINE Reg loadFirst(const void*, int)
{
    return zero();
}
FEN_IPP_INLINE void storeFirst(void*, Reg, int) { }

#endif

} // namespace
