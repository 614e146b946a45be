#pragma once
// Nearest-neighbour resize of four-channel 8-bit pixels through a
// specification record and a work buffer, both provided by the caller:
//   ippiResizeGetSize_8u -> record size; ippiResizeNearestInit_8u fills it;
//   ippiResizeGetBufferSize_8u -> work buffer size; ippiResizeNearest_8u_C4R
//   resizes the whole destination or any tile of it.
// The four entries are dispatched to the build selected for the processor
// (see IppCore.h); each build's own copies carry its prefix.
#include "fen/ipp/IppTypes.h"

// Interpolation types known to the size query; only nearest neighbour can be
// initialised.
enum IppInterpolation : int32_t {
    kInterpolationNone = 0,
    kInterpolationNearest = 1,
    kInterpolationLinear = 2,
    kInterpolationCubic = 6,
    kInterpolationSuper = 8,
    kInterpolationLanczos = 16,
};

constexpr uint32_t kResizeSpecMagic = 0x4B617389u;
constexpr int32_t kResizeSpecKindNearest = 13;

// One axis of a record. Tables are found by their byte offset from the start
// of the record rather than by pointer, so a record copied byte for byte to
// another 64-byte boundary stays usable.
struct IppiResizeAxis {
    int32_t srcLength;
    int32_t dstLength;
    int32_t srcReduced; // srcLength / gcd(srcLength, dstLength)
    int32_t dstReduced;
    int64_t tableOffset; // int32 source index per destination index
    int64_t unusedOffsets[4];
    int32_t zero[2];
};

// The record, at the first 64-byte boundary of the caller's buffer.
struct IppiResizeSpec {
    uint32_t magic;
    int32_t kind;
    int32_t interpolation;
    int32_t filter[2];
    int32_t antialiasing;
    int32_t zero[4];
    IppiResizeAxis vertical;
    IppiResizeAxis horizontal;
};

IppStatus ippiResizeGetSize_8u(IppiSize srcSize, IppiSize dstSize, int32_t interpolation, uint32_t antialiasing,
                               int32_t* pSpecSize, int32_t* pInitBufSize);
IppStatus ippiResizeGetBufferSize_8u(const Ipp8u* pSpec, IppiSize dstSize, uint32_t numChannels, int32_t* pBufSize);
IppStatus ippiResizeNearestInit_8u(IppiSize srcSize, IppiSize dstSize, Ipp8u* pSpec);
IppStatus ippiResizeNearest_8u_C4R(const Ipp8u* pSrc, int32_t srcStep, Ipp8u* pDst, int32_t dstStep,
                                   IppiPoint dstOffset, IppiSize dstSize, const Ipp8u* pSpec, Ipp8u* pBuffer);
double ippsFloorOne(double value);

#define FEN_IPP_DECLARE_RESIZE(prefix)                                                                                 \
    IppStatus prefix##_ippiResizeGetSize_8u(IppiSize srcSize, IppiSize dstSize, int32_t interpolation,                 \
                                            uint32_t antialiasing, int32_t* pSpecSize, int32_t* pInitBufSize);         \
    IppStatus prefix##_ippiResizeGetBufferSize_8u(const Ipp8u* pSpec, IppiSize dstSize, uint32_t numChannels,          \
                                                  int32_t* pBufSize);                                                  \
    IppStatus prefix##_ippiResizeNearestInit_8u(IppiSize srcSize, IppiSize dstSize, Ipp8u* pSpec);                     \
    IppStatus prefix##_ippiResizeNearest_8u_C4R(const Ipp8u* pSrc, int32_t srcStep, Ipp8u* pDst, int32_t dstStep,      \
                                                IppiPoint dstOffset, IppiSize dstSize, const Ipp8u* pSpec,             \
                                                Ipp8u* pBuffer);                                                       \
    void prefix##_ownResize4Nearest8u(const Ipp8u* pSrc, int64_t srcStep, Ipp8u* pDst, int64_t dstStep, int32_t width, \
                                      int32_t height, const int32_t* pRows, const int32_t* pColumnBytes);              \
    IppStatus prefix##_owniResizeGetSize(int64_t srcWidth, int64_t srcHeight, int64_t dstWidth, int64_t dstHeight,     \
                                         int32_t mode, int32_t interpolation, uint32_t antialiasing,                   \
                                         int64_t* pSpecSize, int64_t* pInitSize);                                      \
    IppStatus prefix##_owniResizeGetBufferSize(const Ipp8u* pRecord, int64_t dstWidth, int64_t dstHeight,              \
                                               uint32_t numChannels, int64_t* pSize);                                  \
    IppStatus prefix##_owniResizeNearestInit(int64_t srcWidth, int64_t srcHeight, int64_t dstWidth, int64_t dstHeight, \
                                             int32_t mode, uint32_t magic, Ipp8u* pSpec);                              \
    IppStatus prefix##_owniResizeNearest_8u_C4R(const Ipp8u* pSrc, int64_t srcStep, Ipp8u* pDst, int64_t dstStep,      \
                                                int32_t offsetX, int32_t offsetY, int32_t dstWidth, int32_t dstHeight, \
                                                const Ipp8u* pRecord, Ipp8u* pBuffer);                                 \
    double prefix##_ownsFloorOne(double value);                                                                        \
    float prefix##_ownsFloorOneF(float value);

FEN_IPP_DECLARE_RESIZE(n8)
FEN_IPP_DECLARE_RESIZE(y8)
FEN_IPP_DECLARE_RESIZE(e9)
FEN_IPP_DECLARE_RESIZE(l9)
FEN_IPP_DECLARE_RESIZE(k0)
