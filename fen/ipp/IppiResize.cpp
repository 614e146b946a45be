#include "fen/ipp/IppiResize.h"

#include "fen/ipp/IppCore.h"

namespace {

// Each dispatched function: its initialising entry (index -1), then the
// builds n8 to k0. The initialising entry runs ippSafeInit and dispatches
// again, now to the selected build.
template <class Function> Function variant(const Function (&variants)[kIppBuildCount + 1])
{
    return variants[ippGetJumpIndex() + 1];
}

IppStatus initialisingGetSize(IppiSize srcSize, IppiSize dstSize, int32_t interpolation, uint32_t antialiasing,
                              int32_t* pSpecSize, int32_t* pInitBufSize)
{
    ippSafeInit();
    return ippiResizeGetSize_8u(srcSize, dstSize, interpolation, antialiasing, pSpecSize, pInitBufSize);
}

IppStatus initialisingGetBufferSize(const Ipp8u* pSpec, IppiSize dstSize, uint32_t numChannels, int32_t* pBufSize)
{
    ippSafeInit();
    return ippiResizeGetBufferSize_8u(pSpec, dstSize, numChannels, pBufSize);
}

IppStatus initialisingNearestInit(IppiSize srcSize, IppiSize dstSize, Ipp8u* pSpec)
{
    ippSafeInit();
    return ippiResizeNearestInit_8u(srcSize, dstSize, pSpec);
}

IppStatus initialisingNearest(const Ipp8u* pSrc, int32_t srcStep, Ipp8u* pDst, int32_t dstStep, IppiPoint dstOffset,
                              IppiSize dstSize, const Ipp8u* pSpec, Ipp8u* pBuffer)
{
    ippSafeInit();
    return ippiResizeNearest_8u_C4R(pSrc, srcStep, pDst, dstStep, dstOffset, dstSize, pSpec, pBuffer);
}

using GetSizeFunction = decltype(&ippiResizeGetSize_8u);
using GetBufferSizeFunction = decltype(&ippiResizeGetBufferSize_8u);
using NearestInitFunction = decltype(&ippiResizeNearestInit_8u);
using NearestFunction = decltype(&ippiResizeNearest_8u_C4R);

const GetSizeFunction kGetSize[kIppBuildCount + 1] = {
    &initialisingGetSize,     &n8_ippiResizeGetSize_8u, &y8_ippiResizeGetSize_8u,
    &e9_ippiResizeGetSize_8u, &l9_ippiResizeGetSize_8u, &k0_ippiResizeGetSize_8u,
};
const GetBufferSizeFunction kGetBufferSize[kIppBuildCount + 1] = {
    &initialisingGetBufferSize,     &n8_ippiResizeGetBufferSize_8u, &y8_ippiResizeGetBufferSize_8u,
    &e9_ippiResizeGetBufferSize_8u, &l9_ippiResizeGetBufferSize_8u, &k0_ippiResizeGetBufferSize_8u,
};
const NearestInitFunction kNearestInit[kIppBuildCount + 1] = {
    &initialisingNearestInit,     &n8_ippiResizeNearestInit_8u, &y8_ippiResizeNearestInit_8u,
    &e9_ippiResizeNearestInit_8u, &l9_ippiResizeNearestInit_8u, &k0_ippiResizeNearestInit_8u,
};
const NearestFunction kNearest[kIppBuildCount + 1] = {
    &initialisingNearest,         &n8_ippiResizeNearest_8u_C4R, &y8_ippiResizeNearest_8u_C4R,
    &e9_ippiResizeNearest_8u_C4R, &l9_ippiResizeNearest_8u_C4R, &k0_ippiResizeNearest_8u_C4R,
};

} // namespace

IppStatus ippiResizeGetSize_8u(IppiSize srcSize, IppiSize dstSize, int32_t interpolation, uint32_t antialiasing,
                               int32_t* pSpecSize, int32_t* pInitBufSize)
{
    return variant(kGetSize)(srcSize, dstSize, interpolation, antialiasing, pSpecSize, pInitBufSize);
}

IppStatus ippiResizeGetBufferSize_8u(const Ipp8u* pSpec, IppiSize dstSize, uint32_t numChannels, int32_t* pBufSize)
{
    return variant(kGetBufferSize)(pSpec, dstSize, numChannels, pBufSize);
}

IppStatus ippiResizeNearestInit_8u(IppiSize srcSize, IppiSize dstSize, Ipp8u* pSpec)
{
    return variant(kNearestInit)(srcSize, dstSize, pSpec);
}

IppStatus ippiResizeNearest_8u_C4R(const Ipp8u* pSrc, int32_t srcStep, Ipp8u* pDst, int32_t dstStep,
                                   IppiPoint dstOffset, IppiSize dstSize, const Ipp8u* pSpec, Ipp8u* pBuffer)
{
    return variant(kNearest)(pSrc, srcStep, pDst, dstStep, dstOffset, dstSize, pSpec, pBuffer);
}

double ippsFloorOne(double value)
{
    return n8_ownsFloorOne(value);
}
