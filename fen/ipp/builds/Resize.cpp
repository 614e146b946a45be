// Nearest-neighbour resize, compiled once per processor build (see
// BuildName.h). The builds differ only in the pixel loop and in how the
// index tables round: the FMA builds evaluate (k + 0.5) * ratio - 1e-10 with
// a single rounding.
#include "fen/ipp/IppCore.h"
#include "fen/ipp/IppiResize.h"
#include "fen/ipp/builds/BuildName.h"

#include <cstddef>
#include <cstring>

#if defined(__SSE4_1__)
#include <immintrin.h>
#endif

namespace {

constexpr int64_t kStatusSizeLimit = 0x7FFFFFFF;

int64_t align32(int64_t v)
{
    return (v + 31) & ~int64_t(31);
}

int64_t minOf(int64_t a, int64_t b)
{
    return a < b ? a : b;
}

uint32_t greatestCommonDivisor(uint32_t a, uint32_t b)
{
    while (b != 0) {
        const uint32_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

// The record lives at the first 64-byte boundary at or after the buffer.
template <class Byte> Byte* recordAddress(Byte* buffer)
{
    const uintptr_t address = reinterpret_cast<uintptr_t>(buffer);
    return buffer + ((64 - (address & 63)) & 63);
}

const IppiResizeSpec* readRecord(const Ipp8u* buffer)
{
    return reinterpret_cast<const IppiResizeSpec*>(recordAddress(buffer));
}

const int32_t* tableOf(const IppiResizeSpec* spec, const IppiResizeAxis& axis)
{
    return reinterpret_cast<const int32_t*>(reinterpret_cast<const Ipp8u*>(spec) + axis.tableOffset);
}

// (k + 0.5) * ratio - 1e-10, truncated: the source index whose area holds
// the centre of destination index k; a centre on a boundary takes the lower.
int32_t sourceIndex(int64_t k, double ratio)
{
#if defined(__FMA__)
    const double position = __builtin_fma(static_cast<double>(k) + 0.5, ratio, -1e-10);
#else
    const double position = (static_cast<double>(k) + 0.5) * ratio - 1e-10;
#endif
    return static_cast<int32_t>(position);
}

void fillAxis(IppiResizeAxis& axis, int32_t srcLength, int32_t dstLength, int64_t tableOffset, int32_t* table)
{
    const uint32_t g = greatestCommonDivisor(static_cast<uint32_t>(srcLength), static_cast<uint32_t>(dstLength));
    axis.srcLength = srcLength;
    axis.dstLength = dstLength;
    axis.srcReduced = static_cast<int32_t>(static_cast<uint32_t>(srcLength) / g);
    axis.dstReduced = static_cast<int32_t>(static_cast<uint32_t>(dstLength) / g);
    axis.tableOffset = tableOffset;
    const double ratio = static_cast<double>(srcLength) / static_cast<double>(dstLength);
    for (int32_t k = 0; k < dstLength; ++k)
        table[k] = sourceIndex(k, ratio);
}

// The work buffer needs no alignment: its entries are read and written as bytes.
void storeEntry(Ipp8u* p, int32_t value)
{
    std::memcpy(p, &value, sizeof(value));
}

int32_t loadEntry(const Ipp8u* p)
{
    int32_t value;
    std::memcpy(&value, p, sizeof(value));
    return value;
}

void copyPixel(const Ipp8u* srcRow, const Ipp8u* columns, int32_t j, Ipp8u* dstRow)
{
    std::memcpy(dstRow + 4 * static_cast<ptrdiff_t>(j), srcRow + loadEntry(columns + 4 * static_cast<ptrdiff_t>(j)), 4);
}

#if defined(__SSE4_1__)

// Four pixels from four 32-bit reads, written with one 16-byte store; then
// two and one.
int32_t copyFourAtATime(const Ipp8u* srcRow, const Ipp8u* columns, int32_t j, int32_t width, Ipp8u* dstRow)
{
    auto word = [&](int32_t k) {
        int32_t v;
        std::memcpy(&v, srcRow + loadEntry(columns + 4 * static_cast<ptrdiff_t>(k)), 4);
        return v;
    };
    for (; j + 4 <= width; j += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dstRow + 4 * static_cast<ptrdiff_t>(j)),
                         _mm_setr_epi32(word(j), word(j + 1), word(j + 2), word(j + 3)));
    for (; j + 2 <= width; j += 2)
        _mm_storel_epi64(reinterpret_cast<__m128i*>(dstRow + 4 * static_cast<ptrdiff_t>(j)),
                         _mm_setr_epi32(word(j), word(j + 1), 0, 0));
    for (; j < width; ++j)
        copyPixel(srcRow, columns, j, dstRow);
    return j;
}

#endif

#if defined(__AVX2__)

// The feature pair that switches the wide builds to their gather loop.
constexpr uint64_t kGatherFeatures = kCpuAvx2Class | kCpuMpx;

__m256i gatherEight(const Ipp8u* srcRow, const Ipp8u* columns)
{
    const __m256i offsets = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(columns));
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(srcRow), offsets, 1);
}

// Whether the destination is written around the caches: only when the work
// is larger than the largest cache.
bool useStreamingStores(const Ipp8u* pDst, int32_t width, int32_t height, const Ipp8u* columns, const Ipp8u* rows,
                        int32_t* pLineSize)
{
    int32_t cacheSize = 0;
    if (ippGetMaxCacheSizeB(&cacheSize) != kStsOk)
        return false;
    ipp_get_cache_line_size(pLineSize);
    const int64_t columnSpan = int64_t(loadEntry(columns + 4 * int64_t(width - 1))) - loadEntry(columns);
    const int64_t rowSpan = int64_t(loadEntry(rows + 4 * int64_t(height - 1))) - loadEntry(rows);
    const int64_t footprint = 4 * (int64_t(width) * height + (columnSpan + 1) * (rowSpan + 1));
    // Streaming stores of 32 bytes need lines that keep 32-byte alignment.
    return footprint >= cacheSize && reinterpret_cast<uintptr_t>(pDst) % 4 == 0 && *pLineSize > 0 &&
        *pLineSize % 32 == 0;
}

void gatherRow(const Ipp8u* srcRow, const Ipp8u* columns, int32_t width, Ipp8u* dstRow, bool streaming,
               int32_t lineSize)
{
    int32_t j = 0;
    if (streaming) {
        const uintptr_t address = reinterpret_cast<uintptr_t>(dstRow);
        const int32_t toBoundary = static_cast<int32_t>(((lineSize - address % lineSize) % lineSize) / 4);
        for (; j < width && j < toBoundary; ++j)
            copyPixel(srcRow, columns, j, dstRow);
        if ((reinterpret_cast<uintptr_t>(dstRow + 4 * static_cast<ptrdiff_t>(j)) & 31) != 0)
            streaming = false; // a row that starts inside a pixel: no aligned stores
    }
    for (; j + 32 <= width; j += 32) {
        __m256i* out = reinterpret_cast<__m256i*>(dstRow + 4 * static_cast<ptrdiff_t>(j));
        const Ipp8u* offsets = columns + 4 * static_cast<ptrdiff_t>(j);
        const __m256i p0 = gatherEight(srcRow, offsets);
        const __m256i p1 = gatherEight(srcRow, offsets + 32);
        const __m256i p2 = gatherEight(srcRow, offsets + 64);
        const __m256i p3 = gatherEight(srcRow, offsets + 96);
        if (streaming) {
            _mm256_stream_si256(out, p0);
            _mm256_stream_si256(out + 1, p1);
            _mm256_stream_si256(out + 2, p2);
            _mm256_stream_si256(out + 3, p3);
        } else {
            _mm256_storeu_si256(out, p0);
            _mm256_storeu_si256(out + 1, p1);
            _mm256_storeu_si256(out + 2, p2);
            _mm256_storeu_si256(out + 3, p3);
        }
    }
    copyFourAtATime(srcRow, columns, j, width, dstRow);
}

#endif

} // namespace

double IPP_BUILD_NAME(ownsFloorOne)(double value)
{
    if (value != value)
        return value + value; // quiets a signalling not-a-number
    if (value >= 4503599627370496.0 || value <= -4503599627370496.0 || value == 0.0)
        return value; // already integral (keeps -0.0)
    double truncated = static_cast<double>(static_cast<int64_t>(value));
    if (truncated > value)
        truncated -= 1.0;
    return truncated;
}

float IPP_BUILD_NAME(ownsFloorOneF)(float value)
{
    if (value != value)
        return value + value;
    if (value >= 8388608.0f || value <= -8388608.0f || value == 0.0f)
        return value;
    float truncated = static_cast<float>(static_cast<int32_t>(value));
    if (truncated > value)
        truncated -= 1.0f;
    return truncated;
}

IppStatus IPP_BUILD_NAME(owniResizeGetSize)(int64_t sw, int64_t sh, int64_t W, int64_t H, int32_t /*mode*/,
                                            int32_t interpolation, uint32_t antialiasing, int64_t* pSpecSize,
                                            int64_t* pInitSize)
{
    if (interpolation == kInterpolationNone)
        return kStsModeErr;
    const int64_t A = align32(W) + align32(H);
    const int64_t minimum = interpolation == kInterpolationLinear ? 2 : 4;
    const bool needsMinimum = interpolation == kInterpolationLinear || interpolation == kInterpolationCubic ||
        interpolation == kInterpolationLanczos;
    if (needsMinimum && (sw < minimum || sh < minimum))
        return kStsSizeErr;
    if (interpolation == kInterpolationSuper && (sw < W || sh < H))
        return kStsSizeErr;

    IppStatus status = kStsOk;
    int64_t specSize = 0, initSize = 64;
    if (antialiasing && needsMinimum) {
        const int64_t taps = interpolation == kInterpolationLinear ? 2 : interpolation == kInterpolationCubic ? 4 : 6;
        const double xs = static_cast<double>(sw) / static_cast<double>(W);
        const double ys = static_cast<double>(sh) / static_cast<double>(H);
        auto span = [taps](double scale) {
            if (scale <= 1.0)
                return taps;
            const double product = static_cast<double>(taps) * scale;
            int64_t up = static_cast<int64_t>(product);
            if (static_cast<double>(up) < product)
                ++up;
            return 2 * up;
        };
        specSize = align32(4 * W * span(xs)) + align32(4 * H * span(ys)) + 4 * A + 304;
        if (interpolation == kInterpolationLinear && xs <= 1.0)
            specSize += align32(4 * W);
        initSize = 8 * A + 64;
    } else {
        switch (interpolation) {
        case kInterpolationNearest: specSize = 4 * A + 304; break;
        case kInterpolationLinear: specSize = 8 * A + 304; break;
        case kInterpolationCubic:
            specSize = 4 * A + 304 + 4 * (align32(4 * W + 96) + align32(4 * H + 96));
            initSize = 4 * A + 64;
            break;
        case kInterpolationLanczos:
            specSize = 4 * A + 304 + 4 * (align32(6 * W + 160) + align32(6 * H + 160));
            initSize = 4 * A + 64;
            break;
        case kInterpolationSuper: {
            auto taps = [](int64_t s, int64_t d) {
                const uint32_t g = greatestCommonDivisor(static_cast<uint32_t>(s), static_cast<uint32_t>(d));
                const int64_t sr = s / g, dr = d / g, r = sr % dr;
                return dr * (sr / dr + (r == 0 ? 0 : r == 1 ? 1 : 2));
            };
            const int64_t nX = taps(sw, W), nY = taps(sh, H);
            specSize = 4 * (nX + nY + align32(nX) + align32(nY)) + 304;
            break;
        }
        }
        if (antialiasing)
            status = kStsAntialiasIgnored;
    }
    *pSpecSize = specSize;
    *pInitSize = initSize;
    return status;
}

IppStatus IPP_BUILD_NAME(ippiResizeGetSize_8u)(IppiSize srcSize, IppiSize dstSize, int32_t interpolation,
                                               uint32_t antialiasing, int32_t* pSpecSize, int32_t* pInitBufSize)
{
    if (!pSpecSize || !pInitBufSize)
        return kStsNullPtrErr;
    if (srcSize.width == 0 || srcSize.height == 0 || dstSize.width == 0 || dstSize.height == 0)
        return kStsNothingToDo;
    if (srcSize.width < 0 || srcSize.height < 0 || dstSize.width < 0 || dstSize.height < 0)
        return kStsSizeErr;
    if (interpolation != kInterpolationNone && interpolation != kInterpolationNearest &&
        interpolation != kInterpolationLinear && interpolation != kInterpolationCubic &&
        interpolation != kInterpolationSuper && interpolation != kInterpolationLanczos)
        return kStsInterpolationErr;
    int64_t specSize = 0, initSize = 0;
    const IppStatus status =
        IPP_BUILD_NAME(owniResizeGetSize)(srcSize.width, srcSize.height, dstSize.width, dstSize.height, 1,
                                          interpolation, antialiasing, &specSize, &initSize);
    if (status < 0)
        return status;
    if (specSize >= kStatusSizeLimit || initSize >= kStatusSizeLimit)
        return kStsSizeOverflowErr;
    *pSpecSize = static_cast<int32_t>(specSize);
    *pInitBufSize = static_cast<int32_t>(initSize);
    return status;
}

IppStatus IPP_BUILD_NAME(owniResizeGetBufferSize)(const Ipp8u* pRecord, int64_t W, int64_t H, uint32_t /*channels*/,
                                                  int64_t* pSize)
{
    const IppiResizeSpec* spec = reinterpret_cast<const IppiResizeSpec*>(pRecord);
    const int64_t recordWidth = spec->horizontal.dstLength, recordHeight = spec->vertical.dstLength;
    *pSize = align32(4 * minOf(W, recordWidth)) + align32(4 * minOf(H, recordHeight)) + 64;
    return W > recordWidth || H > recordHeight ? kStsSizeLimited : kStsOk;
}

IppStatus IPP_BUILD_NAME(ippiResizeGetBufferSize_8u)(const Ipp8u* pSpec, IppiSize dstSize, uint32_t numChannels,
                                                     int32_t* pBufSize)
{
    if (!pSpec || !pBufSize)
        return kStsNullPtrErr;
    if (dstSize.width == 0 || dstSize.height == 0)
        return kStsNothingToDo;
    const IppiResizeSpec* spec = readRecord(pSpec);
    if (spec->magic != kResizeSpecMagic)
        return kStsContextMatchErr;
    if (numChannels != 1 && numChannels != 3 && numChannels != 4)
        return kStsChannelErr;
    if (dstSize.width < 0 || dstSize.height < 0)
        return kStsSizeErr;
    int64_t size = 0;
    const IppStatus status = IPP_BUILD_NAME(owniResizeGetBufferSize)(reinterpret_cast<const Ipp8u*>(spec),
                                                                     dstSize.width, dstSize.height, numChannels, &size);
    if (size >= kStatusSizeLimit)
        return kStsSizeOverflowErr;
    *pBufSize = static_cast<int32_t>(size);
    return status;
}

IppStatus IPP_BUILD_NAME(owniResizeNearestInit)(int64_t sw, int64_t sh, int64_t W, int64_t H, int32_t mode,
                                                uint32_t magic, Ipp8u* pSpec)
{
    Ipp8u* base = recordAddress(pSpec);
    IppiResizeSpec* spec = reinterpret_cast<IppiResizeSpec*>(base);
    std::memset(spec, 0, sizeof(IppiResizeSpec));
    spec->magic = magic;
    spec->kind = 12 + mode;
    spec->interpolation = kInterpolationNearest;
    const int64_t rowOffset = (sizeof(IppiResizeSpec) + 15) & ~size_t(15);
    const int64_t columnOffset = rowOffset + 4 * H;
    fillAxis(spec->vertical, static_cast<int32_t>(sh), static_cast<int32_t>(H), rowOffset,
             reinterpret_cast<int32_t*>(base + rowOffset));
    fillAxis(spec->horizontal, static_cast<int32_t>(sw), static_cast<int32_t>(W), columnOffset,
             reinterpret_cast<int32_t*>(base + columnOffset));
    return kStsOk;
}

IppStatus IPP_BUILD_NAME(ippiResizeNearestInit_8u)(IppiSize srcSize, IppiSize dstSize, Ipp8u* pSpec)
{
    if (!pSpec)
        return kStsNullPtrErr;
    if (srcSize.width == 0 || srcSize.height == 0 || dstSize.width == 0 || dstSize.height == 0)
        return kStsNothingToDo;
    if (srcSize.width < 0 || srcSize.height < 0 || dstSize.width < 0 || dstSize.height < 0)
        return kStsSizeErr;
    return IPP_BUILD_NAME(owniResizeNearestInit)(srcSize.width, srcSize.height, dstSize.width, dstSize.height, 1,
                                                 kResizeSpecMagic, pSpec);
}

void IPP_BUILD_NAME(ownResize4Nearest8u)(const Ipp8u* pSrc, int64_t srcStep, Ipp8u* pDst, int64_t dstStep,
                                         int32_t width, int32_t height, const int32_t* pRows,
                                         const int32_t* pColumnBytes)
{
    const Ipp8u* rows = reinterpret_cast<const Ipp8u*>(pRows);
    const Ipp8u* columns = reinterpret_cast<const Ipp8u*>(pColumnBytes);
#if defined(__AVX2__)
    const bool gather = ownGetFeature(kGatherFeatures) != 0;
    int32_t lineSize = 0;
    const bool streaming = gather && useStreamingStores(pDst, width, height, columns, rows, &lineSize);
#endif
    for (int32_t i = 0; i < height; ++i) {
        const int32_t row = loadEntry(rows + 4 * int64_t(i));
        const Ipp8u* srcRow = pSrc + int64_t(row) * srcStep;
        Ipp8u* dstRow = pDst + int64_t(i) * dstStep;
        // An enlarged picture repeats source rows: copy the row just made.
        if (i > 0 && row == loadEntry(rows + 4 * int64_t(i - 1))) {
            std::memmove(dstRow, dstRow - dstStep, 4 * static_cast<size_t>(width));
            continue;
        }
#if defined(__AVX2__)
        if (gather) {
            gatherRow(srcRow, columns, width, dstRow, streaming, lineSize);
            continue;
        }
#endif
#if defined(__SSE4_1__)
        copyFourAtATime(srcRow, columns, 0, width, dstRow);
#else
        for (int32_t j = 0; j < width; ++j)
            copyPixel(srcRow, columns, j, dstRow);
#endif
    }
#if defined(__AVX2__)
    if (streaming)
        _mm_sfence();
#endif
}

IppStatus IPP_BUILD_NAME(ippiResizeNearest_8u_C4R)(const Ipp8u* pSrc, int32_t srcStep, Ipp8u* pDst, int32_t dstStep,
                                                   IppiPoint dstOffset, IppiSize dstSize, const Ipp8u* pSpec,
                                                   Ipp8u* pBuffer)
{
    if (!pSrc || !pDst || !pSpec || !pBuffer)
        return kStsNullPtrErr;
    if (dstSize.width == 0 || dstSize.height == 0)
        return kStsNothingToDo;
    const IppiResizeSpec* spec = readRecord(pSpec);
    if (spec->magic != kResizeSpecMagic)
        return kStsContextMatchErr;
    if (dstSize.width < 0 || dstSize.height < 0)
        return kStsSizeErr;
    const int32_t recordWidth = spec->horizontal.dstLength, recordHeight = spec->vertical.dstLength;
    if (dstOffset.x < 0 || dstOffset.y < 0 || dstOffset.x >= recordWidth || dstOffset.y >= recordHeight)
        return kStsOutOfRangeErr;
    if (spec->antialiasing != 0)
        return kStsModeErr;
    if (spec->interpolation != kInterpolationNearest)
        return kStsContextMatchErr;
    return IPP_BUILD_NAME(owniResizeNearest_8u_C4R)(pSrc, srcStep, pDst, dstStep, dstOffset.x, dstOffset.y,
                                                    dstSize.width, dstSize.height, reinterpret_cast<const Ipp8u*>(spec),
                                                    pBuffer);
}

IppStatus IPP_BUILD_NAME(owniResizeNearest_8u_C4R)(const Ipp8u* pSrc, int64_t srcStep, Ipp8u* pDst, int64_t dstStep,
                                                   int32_t offsetX, int32_t offsetY, int32_t dstWidth,
                                                   int32_t dstHeight, const Ipp8u* pRecord, Ipp8u* pBuffer)
{
    const IppiResizeSpec* spec = reinterpret_cast<const IppiResizeSpec*>(pRecord);
    const IppiPoint dstOffset{offsetX, offsetY};
    const IppiSize dstSize{dstWidth, dstHeight};
    const int32_t recordWidth = spec->horizontal.dstLength, recordHeight = spec->vertical.dstLength;

    // Work on the part of the tile that the record covers.
    const int32_t width =
        int64_t(dstOffset.x) + dstSize.width > recordWidth ? recordWidth - dstOffset.x : dstSize.width;
    const int32_t height =
        int64_t(dstOffset.y) + dstSize.height > recordHeight ? recordHeight - dstOffset.y : dstSize.height;
    const double rx = static_cast<double>(spec->horizontal.srcReduced) / spec->horizontal.dstReduced;
    const double ry = static_cast<double>(spec->vertical.srcReduced) / spec->vertical.dstReduced;
    const int32_t x0 = static_cast<int32_t>(IPP_BUILD_NAME(ownsFloorOne)(dstOffset.x * rx));
    const int32_t y0 = static_cast<int32_t>(IPP_BUILD_NAME(ownsFloorOne)(dstOffset.y * ry));

    const int32_t* columnTable = tableOf(spec, spec->horizontal);
    const int32_t* rowTable = tableOf(spec, spec->vertical);
    Ipp8u* columns = pBuffer;
    Ipp8u* rows = pBuffer + 4 * int64_t(width);
    for (int32_t j = 0; j < width; ++j)
        storeEntry(columns + 4 * int64_t(j), 4 * (columnTable[dstOffset.x + j] - x0));
    for (int32_t i = 0; i < height; ++i)
        storeEntry(rows + 4 * int64_t(i), rowTable[dstOffset.y + i] - y0);

    IPP_BUILD_NAME(ownResize4Nearest8u)
    (pSrc, srcStep, pDst, dstStep, width, height, reinterpret_cast<const int32_t*>(rows),
     reinterpret_cast<const int32_t*>(columns));
    return dstSize.width > recordWidth || dstSize.height > recordHeight ? kStsSizeLimited : kStsOk;
}
