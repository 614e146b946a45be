#pragma once
// Filling a rectangle of 32-bit pixels with one value.
//
// ippiSet_32u_C1R is dispatched to the build selected for the processor
// (see IppCore.h); each build's own copy carries its prefix.
#include "fen/ipp/IppTypes.h"

// roiSize.height rows of roiSize.width pixels, dstStep bytes apart.
IppStatus ippiSet_32u_C1R(Ipp32u value, Ipp32u* pDst, int32_t dstStep, IppiSize roiSize);

#define FEN_IPP_DECLARE_SET(prefix)                                                                                    \
    IppStatus prefix##_ippiSet_32u_C1R(Ipp32u value, Ipp32u* pDst, int32_t dstStep, IppiSize roiSize);

FEN_IPP_DECLARE_SET(n8)
FEN_IPP_DECLARE_SET(y8)
FEN_IPP_DECLARE_SET(e9)
FEN_IPP_DECLARE_SET(l9)
FEN_IPP_DECLARE_SET(k0)
