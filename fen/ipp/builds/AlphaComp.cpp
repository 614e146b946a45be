// Alpha compositing, compiled once per processor build (see BuildName.h).
// The vector builds work in 16-bit lanes with exact integer rounding; the
// n8 build works one pixel at a time and computes the straight In, Out,
// Atop, Xor, Over and Plus colours, and the premultiplied Atop and Xor, in
// single precision.
#include "fen/ipp/IppiAlphaComp.h"
#include "fen/ipp/builds/BuildName.h"

#include <array>
#include <cstddef>
#include <cstring>
#include <initializer_list>

#if defined(__SSE4_1__)
#include "fen/ipp/builds/SimdOps.h"
#else
#include <xmmintrin.h>
#endif

namespace {

using RowKernel = void (*)(const Ipp8u*, const Ipp8u*, Ipp8u*, int32_t, int32_t);

#if defined(__SSE4_1__)

// ---- Vector builds -------------------------------------------------------

FEN_IPP_INLINE Reg alphaLanes()
{
    return set64(static_cast<long long>(0xFFFF000000000000ull));
}
FEN_IPP_INLINE Reg alphaLanes255()
{
    return set64(0x00FF000000000000ll);
}

// The alpha of each pixel in all four of its lanes.
FEN_IPP_INLINE Reg alphaOf(Reg v)
{
    return shuffle8(
        v, broadcast128(_mm_setr_epi8(6, -128, 6, -128, 6, -128, 6, -128, 14, -128, 14, -128, 14, -128, 14, -128)));
}

FEN_IPP_INLINE Reg inverse(Reg alpha)
{
    return sub(set16(255), alpha);
}

// Colour times alpha in the colour lanes, 255 * alpha in the alpha lane.
FEN_IPP_INLINE Reg colourTimesAlpha(Reg v)
{
    return mulLo(orBits(v, alphaLanes255()), alphaOf(v));
}

// min(255, round(x / 255)) for every 16-bit x.
FEN_IPP_INLINE Reg div255(Reg x)
{
    const Reg t = addSat(x, set16(128));
    return shr<8>(addSat(t, shr<8>(t)));
}

// An exact 32-bit numerator in two 16-bit halves.
struct Wide {
    Reg hi;
    Reg lo;
};

FEN_IPP_INLINE Wide product(Reg v, Reg factor)
{
    return {mulHi(v, factor), mulLo(v, factor)};
}

FEN_IPP_INLINE Wide sum(Wide x, Wide y)
{
    const Reg bias = set16(0x8000);
    const Reg lo = add(x.lo, y.lo);
    const Reg carry = greater(xorBits(x.lo, bias), xorBits(lo, bias));
    return {sub(add(x.hi, y.hi), carry), lo};
}

// The three-factor division by 65025 with the module's rounding.
FEN_IPP_INLINE Reg divide65025(Wide x)
{
    Reg h = add(x.hi, shr<15>(x.lo));
    h = add(h, shr<7>(h));
    Reg t = add(shl<9>(andBits(h, set16(127))), shr<7>(x.lo));
    t = subSat(t, h);
    t = add(t, x.lo);
    return sub(h, greater(x.lo, t));
}

// Operators on widened pixels: a from the first source, b from the second.
FEN_IPP_INLINE Reg inStraight(Reg a, Reg b)
{
    return divide65025(product(colourTimesAlpha(a), alphaOf(b)));
}

FEN_IPP_INLINE Reg outStraight(Reg a, Reg b)
{
    return divide65025(product(colourTimesAlpha(a), inverse(alphaOf(b))));
}

FEN_IPP_INLINE Reg atopStraight(Reg a, Reg b)
{
    const Wide x = sum(product(colourTimesAlpha(a), alphaOf(b)), product(colourTimesAlpha(b), inverse(alphaOf(a))));
    return select(alphaLanes(), b, divide65025(x));
}

FEN_IPP_INLINE Reg xorStraight(Reg a, Reg b)
{
    return divide65025(
        sum(product(colourTimesAlpha(a), inverse(alphaOf(b))), product(colourTimesAlpha(b), inverse(alphaOf(a)))));
}

FEN_IPP_INLINE Reg plusStraight(Reg a, Reg b)
{
    return div255(addSat(colourTimesAlpha(a), colourTimesAlpha(b)));
}

FEN_IPP_INLINE Reg overPremultiplied(Reg a, Reg b)
{
    return add(a, div255(mulLo(b, inverse(alphaOf(a)))));
}

FEN_IPP_INLINE Reg inPremultiplied(Reg a, Reg b)
{
    return div255(mulLo(a, alphaOf(b)));
}

FEN_IPP_INLINE Reg outPremultiplied(Reg a, Reg b)
{
    return div255(mulLo(a, inverse(alphaOf(b))));
}

FEN_IPP_INLINE Reg atopPremultiplied(Reg a, Reg b)
{
    return select(alphaLanes(), b, div255(addSat(mulLo(a, alphaOf(b)), mulLo(b, inverse(alphaOf(a))))));
}

FEN_IPP_INLINE Reg xorPremultiplied(Reg a, Reg b)
{
    return div255(addSat(mulLo(a, inverse(alphaOf(b))), mulLo(b, inverse(alphaOf(a)))));
}

template <Reg (*Op)(Reg, Reg)> FEN_IPP_INLINE Reg composeBlock(Reg a, Reg b)
{
    return narrow(Op(widenLo(a), widenLo(b)), Op(widenHi(a), widenHi(b)));
}

// Constants of the straight Over kernel, read from memory once per row
// (cheaper than making them for the short rows of translucent runs).
struct alignas(64) OverConstantBytes {
    uint32_t alphaBytes[16];
    uint16_t lowBytes[32];
    uint16_t half[32];
    uint16_t times255[32];
    uint16_t times257[32];
    // The alpha of each pixel into both of its 16-bit lanes.
    int8_t alphaPattern[64];
};

template <class T, size_t N> constexpr std::array<T, N> repeated(std::initializer_list<T> pattern)
{
    std::array<T, N> out{};
    for (size_t i = 0; i < N; ++i)
        out[i] = pattern.begin()[i % pattern.size()];
    return out;
}

template <class T, size_t N> constexpr void copyInto(T (&to)[N], std::array<T, N> const& from)
{
    for (size_t i = 0; i < N; ++i)
        to[i] = from[i];
}

constexpr OverConstantBytes makeOverConstantBytes()
{
    OverConstantBytes b{};
    copyInto(b.alphaBytes, repeated<uint32_t, 16>({0xFF000000u}));
    copyInto(b.lowBytes, repeated<uint16_t, 32>({0x00FF}));
    copyInto(b.half, repeated<uint16_t, 32>({128}));
    copyInto(b.times255, repeated<uint16_t, 32>({255}));
    copyInto(b.times257, repeated<uint16_t, 32>({257}));
    copyInto(b.alphaPattern,
             repeated<int8_t, 64>({3, -128, 3, -128, 7, -128, 7, -128, 11, -128, 11, -128, 15, -128, 15, -128}));
    return b;
}

constexpr OverConstantBytes kOverConstantBytes = makeOverConstantBytes();

// The constants' address, hidden from the compiler so that it loads them
// instead of making them from immediates again.
const OverConstantBytes& overConstantBytes()
{
    const OverConstantBytes* bytes = &kOverConstantBytes;
    asm("" : "+r"(bytes));
    return *bytes;
}

struct OverConstants {
    explicit OverConstants(const OverConstantBytes& b)
        : alphaBytes(loadu(b.alphaBytes))
        , lowBytes(loadu(b.lowBytes))
        , half(loadu(b.half))
        , times255(loadu(b.times255))
        , times257(loadu(b.times257))
        , alphaPattern(loadu(b.alphaPattern))
    {
    }
    Reg alphaBytes, lowBytes, half, times255, times257, alphaPattern;
};

// The background's weight w = b * (255 - a) of each pixel as 255 * q + r,
// in both 16-bit lanes of the pixel.
struct BackgroundWeight {
    Reg q;
    Reg r;
};

// q = w * 257 / 65536 is floor(w / 255) for every w up to 65,025 but the
// positive multiples of 255, where it is one less and r is 255; the shares
// below come out the same either way, and every Bc * r stays within 65,025.
FEN_IPP_INLINE BackgroundWeight backgroundWeight(const OverConstants& k, Reg alphaA, Reg alphaB)
{
    const Reg w = mulLo(alphaB, xorBits(alphaA, k.lowBytes));
    const Reg q = mulHi(w, k.times257);
    return {q, sub(w, mulLo(q, k.times255))};
}

// round(x / 255) as (x + 128) * 257 / 65536, exact for every x up to 65,407.
FEN_IPP_INLINE Reg divide255(const OverConstants& k, Reg x)
{
    return mulHi(add(x, k.half), k.times257);
}

// Straight Over on 16-bit lanes holding one channel of each pixel: Ac the
// source's, Bc the background's, 255 in both for the alpha channel. The
// background's share round(Bc * w / 255) is Bc * q + round(Bc * r / 255),
// every product below 65,536; Ac * a plus that share is at most 65,025, so
// neither division by 255 saturates.
FEN_IPP_INLINE Reg overStraightLanes(const OverConstants& k, Reg Ac, Reg Bc, Reg alphaA, BackgroundWeight w)
{
    // (x + 128) * 257 / 65536 as in divide255, the rounding of the remainder's
    // share added last: it is the longest chain.
    const Reg sum = add(add(mulLo(Ac, alphaA), mulLo(Bc, w.q)), k.half);
    return mulHi(add(sum, divide255(k, mulLo(Bc, w.r))), k.times257);
}

// Straight Over on a block of pixels, in two sets of 16-bit lanes: the even
// bytes of each pixel, and the odd bytes with the alpha byte set to 255;
// both share the alpha broadcasts and the background's weight. Two blocks
// need no arithmetic: an opaque source gives the source, a transparent
// source over an opaque background the background.
FEN_IPP_INLINE Reg overStraightBlock(const OverConstants& k, Reg a, Reg b)
{
    if (allBitsSet(a, k.alphaBytes))
        return a;
    if (noneInMask(a, k.alphaBytes) && allBitsSet(b, k.alphaBytes))
        return b;
    const Reg alphaA = shuffle8(a, k.alphaPattern);
    const BackgroundWeight w = backgroundWeight(k, alphaA, shuffle8(b, k.alphaPattern));
    const Reg even = overStraightLanes(k, andBits(a, k.lowBytes), andBits(b, k.lowBytes), alphaA, w);
    const Reg odd = overStraightLanes(k, shr<8>(orBits(a, k.alphaBytes)), shr<8>(orBits(b, k.alphaBytes)), alphaA, w);
    return orBits(even, shl<8>(odd));
}

FEN_IPP_INLINE Reg addBytesBlock(Reg a, Reg b)
{
    return addSat8(a, b);
}

// Runs a block operation along a row, two blocks a step so that their
// chains overlap; the last partial block goes through masked loads and
// stores of whole pixels where the build has them, else through a
// zero-padded copy, so that nothing outside the row is read or written.
template <class BlockFunction>
void runRowWith(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, ptrdiff_t bytes, BlockFunction Block)
{
    ptrdiff_t x = 0;
    for (; x + 2 * kRegBytes <= bytes; x += 2 * kRegBytes) {
        const Reg first = Block(loadu(pSrc1 + x), loadu(pSrc2 + x));
        const Reg second = Block(loadu(pSrc1 + x + kRegBytes), loadu(pSrc2 + x + kRegBytes));
        storeu(pDst + x, first);
        storeu(pDst + x + kRegBytes, second);
    }
    for (; x + kRegBytes <= bytes; x += kRegBytes)
        storeu(pDst + x, Block(loadu(pSrc1 + x), loadu(pSrc2 + x)));
    if (kMaskedTails && x < bytes && (bytes - x) % 4 == 0) {
        const int pixels = static_cast<int>((bytes - x) / 4);
        storeFirst(pDst + x, Block(loadFirst(pSrc1 + x, pixels), loadFirst(pSrc2 + x, pixels)), pixels);
        return;
    }
    if (x < bytes) {
        alignas(64) Ipp8u first[kRegBytes] = {};
        alignas(64) Ipp8u second[kRegBytes] = {};
        alignas(64) Ipp8u result[kRegBytes];
        const size_t rest = static_cast<size_t>(bytes - x);
        std::memcpy(first, pSrc1 + x, rest);
        std::memcpy(second, pSrc2 + x, rest);
        storeu(result, Block(loadu(first), loadu(second)));
        std::memcpy(pDst + x, result, rest);
    }
}

template <Reg (*Block)(Reg, Reg)> void runRow(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, ptrdiff_t bytes)
{
    runRowWith(pSrc1, pSrc2, pDst, bytes, [](Reg a, Reg b) { return Block(a, b); });
}

template <Reg (*Straight)(Reg, Reg), Reg (*Premultiplied)(Reg, Reg)>
void composeRow(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width, int32_t premultiplied)
{
    if (premultiplied)
        runRow<composeBlock<Premultiplied>>(pSrc1, pSrc2, pDst, ptrdiff_t(width) * 4);
    else
        runRow<composeBlock<Straight>>(pSrc1, pSrc2, pDst, ptrdiff_t(width) * 4);
}

void overRow(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width, int32_t premultiplied)
{
    if (premultiplied) {
        runRow<composeBlock<overPremultiplied>>(pSrc1, pSrc2, pDst, ptrdiff_t(width) * 4);
        return;
    }
    const OverConstants k(overConstantBytes());
    runRowWith(pSrc1, pSrc2, pDst, ptrdiff_t(width) * 4,
               [&k](Reg a, Reg b) FEN_IPP_INLINE_LAMBDA { return overStraightBlock(k, a, b); });
}

void addBytes(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t length)
{
    runRow<addBytesBlock>(pSrc1, pSrc2, pDst, length);
}

// (x + (x >> 8) + 1) >> 8 for every 16-bit x up to 65,025.
FEN_IPP_INLINE Reg divideShift255(Reg x)
{
    return shr<8>(add(add(x, shr<8>(x)), set16(1)));
}

// Blending by alpha on widened pixels: a the source, b the target. The
// weights t and 255 - t add up to 255, so every sum fits its lane.
FEN_IPP_INLINE Reg blendByAlpha(Reg a, Reg b)
{
    const Reg t = divideShift255(mulLo(alphaOf(a), alphaOf(b)));
    const Reg colour = divideShift255(add(mulLo(b, inverse(t)), mulLo(a, t)));
    return select(alphaLanes(), b, colour);
}

void blendRow(const Ipp8u* pSrc, Ipp8u* pSrcDst, int32_t width)
{
    runRow<composeBlock<blendByAlpha>>(pSrc, pSrcDst, pSrcDst, ptrdiff_t(width) * 4);
}

#else

// ---- n8: one pixel per step ----------------------------------------------

constexpr float kInv255 = 1.0f / 255.0f;
constexpr float kInv65025 = 1.0f / 65025.0f;

int div255(int x)
{
    int t = x + 128;
    if (t > 65535)
        t = 65535;
    t += t >> 8;
    if (t > 65535)
        t = 65535;
    return t >> 8;
}

int saturate(int x)
{
    return x > 255 ? 255 : x;
}

// Conversion with the processor's rounding: to nearest, ties to even.
int roundToInt(float value)
{
    return _mm_cvtss_si32(_mm_set_ss(value));
}

struct Pixel {
    int c[4];
};

Pixel loadPixel(const Ipp8u* p)
{
    return {{p[0], p[1], p[2], p[3]}};
}

void storePixel(Ipp8u* p, const Pixel& v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<Ipp8u>(v.c[i]);
}

template <Pixel (*Op)(const Pixel&, const Pixel&)>
void runRow(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width)
{
    for (int32_t x = 0; x < width; ++x) {
        const Pixel a = loadPixel(pSrc1 + 4 * x);
        const Pixel b = loadPixel(pSrc2 + 4 * x);
        storePixel(pDst + 4 * x, Op(a, b));
    }
}

Pixel overStraight(const Pixel& a, const Pixel& b)
{
    const int sa = a.c[3], sb = b.c[3];
    Pixel r;
    for (int i = 0; i < 3; ++i) {
        float t = static_cast<float>(b.c[i]) * kInv255;
        t = t * static_cast<float>(255 - sa);
        t = t * static_cast<float>(sb);
        t = static_cast<float>(a.c[i] * sa) + t;
        t = t * kInv255;
        r.c[i] = roundToInt(t);
    }
    r.c[3] = sa + div255(sb * (255 - sa));
    return r;
}

Pixel inOrOutStraight(const Pixel& a, int weight)
{
    const int sa = a.c[3];
    Pixel r;
    for (int i = 0; i < 3; ++i) {
        float t = static_cast<float>(a.c[i]) * kInv65025;
        t = t * static_cast<float>(sa);
        t = t * static_cast<float>(weight);
        r.c[i] = roundToInt(t);
    }
    r.c[3] = div255(sa * weight);
    return r;
}

Pixel inStraight(const Pixel& a, const Pixel& b)
{
    return inOrOutStraight(a, b.c[3]);
}

Pixel outStraight(const Pixel& a, const Pixel& b)
{
    return inOrOutStraight(a, 255 - b.c[3]);
}

Pixel atopStraight(const Pixel& a, const Pixel& b)
{
    const int sa = a.c[3], sb = b.c[3];
    Pixel r;
    for (int i = 0; i < 3; ++i) {
        const int x = a.c[i] * sa * sb + b.c[i] * sb * (255 - sa);
        r.c[i] = roundToInt(static_cast<float>(x) * kInv65025);
    }
    r.c[3] = sb;
    return r;
}

Pixel xorStraight(const Pixel& a, const Pixel& b)
{
    const int sa = a.c[3], sb = b.c[3];
    Pixel r;
    for (int i = 0; i < 3; ++i) {
        const int x = a.c[i] * sa * (255 - sb) + b.c[i] * sb * (255 - sa);
        r.c[i] = roundToInt(static_cast<float>(x) * kInv65025);
    }
    r.c[3] = roundToInt(static_cast<float>(sa * (255 - sb) + sb * (255 - sa)) * kInv255);
    return r;
}

Pixel plusStraight(const Pixel& a, const Pixel& b)
{
    const int sa = a.c[3], sb = b.c[3];
    Pixel r;
    for (int i = 0; i < 3; ++i) {
        const float total = static_cast<float>(a.c[i] * sa) + static_cast<float>(b.c[i] * sb);
        r.c[i] = saturate(roundToInt(total * kInv255));
    }
    r.c[3] = saturate(sa + sb);
    return r;
}

Pixel overPremultiplied(const Pixel& a, const Pixel& b)
{
    Pixel r;
    for (int i = 0; i < 4; ++i)
        r.c[i] = saturate(a.c[i] + div255(b.c[i] * (255 - a.c[3])));
    return r;
}

Pixel inPremultiplied(const Pixel& a, const Pixel& b)
{
    Pixel r;
    for (int i = 0; i < 4; ++i)
        r.c[i] = div255(a.c[i] * b.c[3]);
    return r;
}

Pixel outPremultiplied(const Pixel& a, const Pixel& b)
{
    Pixel r;
    for (int i = 0; i < 4; ++i)
        r.c[i] = div255(a.c[i] * (255 - b.c[3]));
    return r;
}

Pixel atopPremultiplied(const Pixel& a, const Pixel& b)
{
    Pixel r;
    for (int i = 0; i < 3; ++i) {
        const float total = static_cast<float>(a.c[i] * b.c[3]) + static_cast<float>(b.c[i] * (255 - a.c[3]));
        r.c[i] = saturate(roundToInt(total * kInv255));
    }
    r.c[3] = b.c[3];
    return r;
}

Pixel xorPremultiplied(const Pixel& a, const Pixel& b)
{
    Pixel r;
    for (int i = 0; i < 4; ++i) {
        const float total = static_cast<float>(a.c[i] * (255 - b.c[3])) + static_cast<float>(b.c[i] * (255 - a.c[3]));
        r.c[i] = saturate(roundToInt(total * kInv255));
    }
    return r;
}

template <Pixel (*Straight)(const Pixel&, const Pixel&), Pixel (*Premultiplied)(const Pixel&, const Pixel&)>
void composeRow(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width, int32_t premultiplied)
{
    if (premultiplied)
        runRow<Premultiplied>(pSrc1, pSrc2, pDst, width);
    else
        runRow<Straight>(pSrc1, pSrc2, pDst, width);
}

void overRow(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width, int32_t premultiplied)
{
    composeRow<overStraight, overPremultiplied>(pSrc1, pSrc2, pDst, width, premultiplied);
}

void addBytes(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t length)
{
    for (int32_t i = 0; i < length; ++i)
        pDst[i] = static_cast<Ipp8u>(saturate(pSrc1[i] + pSrc2[i]));
}

int divideShift255(int x)
{
    return (x + (x >> 8) + 1) >> 8;
}

void blendRow(const Ipp8u* pSrc, Ipp8u* pSrcDst, int32_t width)
{
    for (int32_t x = 0; x < width; ++x) {
        const Ipp8u* s = pSrc + 4 * x;
        Ipp8u* d = pSrcDst + 4 * x;
        const int t = divideShift255(s[3] * d[3]);
        for (int i = 0; i < 3; ++i)
            d[i] = static_cast<Ipp8u>(divideShift255(d[i] * (255 - t) + s[i] * t));
    }
}

#endif

} // namespace

void IPP_BUILD_NAME(ippi_AlphaCompOver_AC4S_8u)(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,
                                                int32_t premultiplied)
{
    overRow(pSrc1, pSrc2, pDst, width, premultiplied);
}

void IPP_BUILD_NAME(ippi_AlphaCompIn_AC4S_8u)(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,
                                              int32_t premultiplied)
{
    composeRow<inStraight, inPremultiplied>(pSrc1, pSrc2, pDst, width, premultiplied);
}

void IPP_BUILD_NAME(ippi_AlphaCompOut_AC4S_8u)(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,
                                               int32_t premultiplied)
{
    composeRow<outStraight, outPremultiplied>(pSrc1, pSrc2, pDst, width, premultiplied);
}

void IPP_BUILD_NAME(ippi_AlphaCompAtop_AC4S_8u)(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,
                                                int32_t premultiplied)
{
    composeRow<atopStraight, atopPremultiplied>(pSrc1, pSrc2, pDst, width, premultiplied);
}

void IPP_BUILD_NAME(ippi_AlphaCompXor_AC4S_8u)(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,
                                               int32_t premultiplied)
{
    composeRow<xorStraight, xorPremultiplied>(pSrc1, pSrc2, pDst, width, premultiplied);
}

void IPP_BUILD_NAME(ippi_AlphaCompPlus_AC4S_8u)(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,
                                                int32_t premultiplied)
{
    if (premultiplied) {
        IPP_BUILD_NAME(ownsAdd_8u)(pSrc1, pSrc2, pDst, ptrdiff_t(width) * 4);
        return;
    }
#if defined(__SSE4_1__)
    runRow<composeBlock<plusStraight>>(pSrc1, pSrc2, pDst, ptrdiff_t(width) * 4);
#else
    runRow<plusStraight>(pSrc1, pSrc2, pDst, width);
#endif
}

void IPP_BUILD_NAME(ippi_BlendByAlpha_AC4S_8u)(const Ipp8u* pSrc, Ipp8u* pSrcDst, int32_t width)
{
    blendRow(pSrc, pSrcDst, width);
}

void IPP_BUILD_NAME(ownsAdd_8u)(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t length)
{
    addBytes(pSrc1, pSrc2, pDst, length);
}

IppStatus IPP_BUILD_NAME(ippiAlphaComp_8u_AC4R)(const Ipp8u* pSrc1, int32_t src1Step, const Ipp8u* pSrc2,
                                                int32_t src2Step, Ipp8u* pDst, int32_t dstStep, IppiSize roiSize,
                                                int32_t alphaType)
{
    static const RowKernel kRowKernels[6] = {
        &IPP_BUILD_NAME(ippi_AlphaCompOver_AC4S_8u), &IPP_BUILD_NAME(ippi_AlphaCompIn_AC4S_8u),
        &IPP_BUILD_NAME(ippi_AlphaCompOut_AC4S_8u),  &IPP_BUILD_NAME(ippi_AlphaCompAtop_AC4S_8u),
        &IPP_BUILD_NAME(ippi_AlphaCompXor_AC4S_8u),  &IPP_BUILD_NAME(ippi_AlphaCompPlus_AC4S_8u),
    };
    if (!pSrc1 || !pSrc2 || !pDst)
        return kStsNullPtrErr;
    if (roiSize.width <= 0 || roiSize.height <= 0)
        return kStsSizeErr;
    if (static_cast<uint32_t>(alphaType) > 11u)
        return kStsAlphaTypeErr;
    const RowKernel kernel = kRowKernels[alphaType % 6];
    const int32_t premultiplied = alphaType >= 6 ? 1 : 0;
    for (int32_t y = 0; y < roiSize.height; ++y) {
        kernel(pSrc1 + static_cast<ptrdiff_t>(y) * src1Step, pSrc2 + static_cast<ptrdiff_t>(y) * src2Step,
               pDst + static_cast<ptrdiff_t>(y) * dstStep, roiSize.width, premultiplied);
    }
    return kStsOk;
}

IppStatus IPP_BUILD_NAME(ippiAlphaComp_8u_AC4IR)(const Ipp8u* pSrc, int32_t srcStep, Ipp8u* pSrcDst, int32_t srcDstStep,
                                                 IppiSize roiSize, int32_t alphaType)
{
    return IPP_BUILD_NAME(ippiAlphaComp_8u_AC4R)(pSrc, srcStep, pSrcDst, srcDstStep, pSrcDst, srcDstStep, roiSize,
                                                 alphaType);
}
