#include "fen/ipp/IppiSet.h"

#include "fen/ipp/IppCore.h"

namespace {

using SetFunction = IppStatus (*)(Ipp32u, Ipp32u*, int32_t, IppiSize);

IppStatus initialisingSet(Ipp32u value, Ipp32u* pDst, int32_t dstStep, IppiSize roiSize)
{
    ippSafeInit();
    return ippiSet_32u_C1R(value, pDst, dstStep, roiSize);
}

// Entry index + 1: the initialising entry, then the builds n8 to k0.
const SetFunction kSetVariants[kIppBuildCount + 1] = {
    &initialisingSet,    &n8_ippiSet_32u_C1R, &y8_ippiSet_32u_C1R,
    &e9_ippiSet_32u_C1R, &l9_ippiSet_32u_C1R, &k0_ippiSet_32u_C1R,
};

} // namespace

IppStatus ippiSet_32u_C1R(Ipp32u value, Ipp32u* pDst, int32_t dstStep, IppiSize roiSize)
{
    return kSetVariants[ippGetJumpIndex() + 1](value, pDst, dstStep, roiSize);
}
