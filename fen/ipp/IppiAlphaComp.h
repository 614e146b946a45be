#pragma once
// Alpha compositing of four-channel 8-bit pixels under the twelve
// Porter-Duff operators (IppAlphaType), in place or from two sources.
//
// ippiAlphaComp_8u_AC4IR is dispatched to the build selected for the
// processor (see IppCore.h); each build's own copies carry its prefix.
#include "fen/ipp/IppTypes.h"

// In place: the result replaces the source-destination pixels.
IppStatus ippiAlphaComp_8u_AC4IR(const Ipp8u* pSrc, int32_t srcStep, Ipp8u* pSrcDst, int32_t srcDstStep,
                                 IppiSize roiSize, int32_t alphaType);

// One row of width pixels under one operator (pSrc1 over pSrc2 into pDst),
// without argument checks; premultiplied is 0 or 1.
using IppiAlphaCompRow = void (*)(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,
                                  int32_t premultiplied);
// The row of an operator (alphaType 0 to 5) in the selected build, made
// once per run of rows by callers that composite many short rows; selects
// the build on first use.
IppiAlphaCompRow ippiAlphaCompRowKernel(int32_t alphaType);

// Blending by alpha in place: each colour channel of pSrcDst becomes
// D(d * (255 - t) + s * t) with t = D(sourceAlpha * targetAlpha) and
// D(x) = (x + (x >> 8) + 1) >> 8; the target's alpha stays.
using IppiBlendRow = void (*)(const Ipp8u* pSrc, Ipp8u* pSrcDst, int32_t width);
// The blending row of the selected build; selects the build on first use.
IppiBlendRow ippiBlendByAlphaRowKernel();

#define FEN_IPP_DECLARE_ALPHA_COMP(prefix)                                                                             \
    IppStatus prefix##_ippiAlphaComp_8u_AC4IR(const Ipp8u* pSrc, int32_t srcStep, Ipp8u* pSrcDst, int32_t srcDstStep,  \
                                              IppiSize roiSize, int32_t alphaType);                                    \
    IppStatus prefix##_ippiAlphaComp_8u_AC4R(const Ipp8u* pSrc1, int32_t src1Step, const Ipp8u* pSrc2,                 \
                                             int32_t src2Step, Ipp8u* pDst, int32_t dstStep, IppiSize roiSize,         \
                                             int32_t alphaType);                                                       \
    void prefix##_ippi_AlphaCompOver_AC4S_8u(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,       \
                                             int32_t premultiplied);                                                   \
    void prefix##_ippi_AlphaCompIn_AC4S_8u(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,         \
                                           int32_t premultiplied);                                                     \
    void prefix##_ippi_AlphaCompOut_AC4S_8u(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,        \
                                            int32_t premultiplied);                                                    \
    void prefix##_ippi_AlphaCompAtop_AC4S_8u(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,       \
                                             int32_t premultiplied);                                                   \
    void prefix##_ippi_AlphaCompXor_AC4S_8u(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,        \
                                            int32_t premultiplied);                                                    \
    void prefix##_ippi_AlphaCompPlus_AC4S_8u(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t width,       \
                                             int32_t premultiplied);                                                   \
    void prefix##_ownsAdd_8u(const Ipp8u* pSrc1, const Ipp8u* pSrc2, Ipp8u* pDst, int32_t length);                     \
    void prefix##_ippi_BlendByAlpha_AC4S_8u(const Ipp8u* pSrc, Ipp8u* pSrcDst, int32_t width);

FEN_IPP_DECLARE_ALPHA_COMP(n8)
FEN_IPP_DECLARE_ALPHA_COMP(y8)
FEN_IPP_DECLARE_ALPHA_COMP(e9)
FEN_IPP_DECLARE_ALPHA_COMP(l9)
FEN_IPP_DECLARE_ALPHA_COMP(k0)
