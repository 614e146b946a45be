#include "fen/ipp/IppiAlphaComp.h"

#include "fen/ipp/IppCore.h"

namespace {

using AlphaCompFunction = IppStatus (*)(const Ipp8u*, int32_t, Ipp8u*, int32_t, IppiSize, int32_t);

IppStatus initialisingAlphaComp(const Ipp8u* pSrc, int32_t srcStep, Ipp8u* pSrcDst, int32_t srcDstStep,
                                IppiSize roiSize, int32_t alphaType)
{
    ippSafeInit();
    return ippiAlphaComp_8u_AC4IR(pSrc, srcStep, pSrcDst, srcDstStep, roiSize, alphaType);
}

// Entry index + 1: the initialising entry, then the builds n8 to k0.
const AlphaCompFunction kAlphaCompVariants[kIppBuildCount + 1] = {
    &initialisingAlphaComp,      &n8_ippiAlphaComp_8u_AC4IR, &y8_ippiAlphaComp_8u_AC4IR,
    &e9_ippiAlphaComp_8u_AC4IR, &l9_ippiAlphaComp_8u_AC4IR, &k0_ippiAlphaComp_8u_AC4IR,
};

} // namespace

IppStatus ippiAlphaComp_8u_AC4IR(const Ipp8u* pSrc, int32_t srcStep, Ipp8u* pSrcDst, int32_t srcDstStep,
                                 IppiSize roiSize, int32_t alphaType)
{
    return kAlphaCompVariants[ippGetJumpIndex() + 1](pSrc, srcStep, pSrcDst, srcDstStep, roiSize, alphaType);
}
