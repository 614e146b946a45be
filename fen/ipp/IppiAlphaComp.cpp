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
    &initialisingAlphaComp,     &n8_ippiAlphaComp_8u_AC4IR, &y8_ippiAlphaComp_8u_AC4IR,
    &e9_ippiAlphaComp_8u_AC4IR, &l9_ippiAlphaComp_8u_AC4IR, &k0_ippiAlphaComp_8u_AC4IR,
};

// The row kernels of each build, by operator.
#define FEN_IPP_ROW_KERNELS(prefix)                                                                                    \
    {                                                                                                                  \
        &prefix##_ippi_AlphaCompOver_AC4S_8u, &prefix##_ippi_AlphaCompIn_AC4S_8u, &prefix##_ippi_AlphaCompOut_AC4S_8u, \
            &prefix##_ippi_AlphaCompAtop_AC4S_8u, &prefix##_ippi_AlphaCompXor_AC4S_8u,                                 \
            &prefix##_ippi_AlphaCompPlus_AC4S_8u                                                                       \
    }
const IppiAlphaCompRow kRowKernels[kIppBuildCount][6] = {
    FEN_IPP_ROW_KERNELS(n8), FEN_IPP_ROW_KERNELS(y8), FEN_IPP_ROW_KERNELS(e9),
    FEN_IPP_ROW_KERNELS(l9), FEN_IPP_ROW_KERNELS(k0),
};

const IppiBlendRow kBlendRows[kIppBuildCount] = {
    &n8_ippi_BlendByAlpha_AC4S_8u, &y8_ippi_BlendByAlpha_AC4S_8u, &e9_ippi_BlendByAlpha_AC4S_8u,
    &l9_ippi_BlendByAlpha_AC4S_8u, &k0_ippi_BlendByAlpha_AC4S_8u,
};

int32_t selectedBuild()
{
    int32_t index = ippGetJumpIndex();
    if (index < 0) {
        ippSafeInit();
        index = ippGetJumpIndex();
    }
    return index < 0 ? 0 : index;
}

} // namespace

IppiAlphaCompRow ippiAlphaCompRowKernel(int32_t alphaType)
{
    return kRowKernels[selectedBuild()][static_cast<uint32_t>(alphaType) % 6];
}

IppiBlendRow ippiBlendByAlphaRowKernel()
{
    return kBlendRows[selectedBuild()];
}

IppStatus ippiAlphaComp_8u_AC4IR(const Ipp8u* pSrc, int32_t srcStep, Ipp8u* pSrcDst, int32_t srcDstStep,
                                 IppiSize roiSize, int32_t alphaType)
{
    return kAlphaCompVariants[ippGetJumpIndex() + 1](pSrc, srcStep, pSrcDst, srcDstStep, roiSize, alphaType);
}
