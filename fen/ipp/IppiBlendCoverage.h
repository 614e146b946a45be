#pragma once
// Blending one colour over 32-bit pixels (B, G, R, A in memory) through a
// row of 8-bit coverage, as text is drawn. With A the colour's alpha and c
// a pixel's coverage, the weight is a = c * A / 255 (rounded down); each
// colour channel d becomes (d * (256 - a) + colour * a) >> 8 and the alpha
// becomes min(255, alpha + a). A weight of 0 leaves the pixel as it is.
//
// The row kernel is dispatched to the build selected for the processor (see
// IppCore.h); each build's own copy carries its prefix.
#include "fen/ipp/IppTypes.h"

using IppiBlendCoverageRow = void (*)(const Ipp8u* pCoverage, Ipp32u* pSrcDst, int32_t width, Ipp32u colour);
// The row kernel of the selected build; selects the build on first use.
IppiBlendCoverageRow ippiBlendCoverageRowKernel();

#define FEN_IPP_DECLARE_BLEND_COVERAGE(prefix)                                                                         \
    void prefix##_ippi_BlendCoverage_C4S_8u(const Ipp8u* pCoverage, Ipp32u* pSrcDst, int32_t width, Ipp32u colour);

FEN_IPP_DECLARE_BLEND_COVERAGE(n8)
FEN_IPP_DECLARE_BLEND_COVERAGE(y8)
FEN_IPP_DECLARE_BLEND_COVERAGE(e9)
FEN_IPP_DECLARE_BLEND_COVERAGE(l9)
FEN_IPP_DECLARE_BLEND_COVERAGE(k0)
