#pragma once
// Resampling of a whole picture into another picture of a different size:
// nearest neighbour through the resize kernels, or smooth area averaging.
#include <cstdint>

#include "fen/ipp/IppTypes.h"

namespace CV {
namespace FEN {

class Picture;

class PictureScaler {
public:
    // The four resize kernel entries the nearest path calls; tests replace
    // them to see how failures are handled.
    struct ResizeKernels {
        IppStatus (*getSize)(IppiSize srcSize, IppiSize dstSize, int32_t interpolation, uint32_t antialiasing,
                             int32_t* pSpecSize, int32_t* pInitBufSize);
        IppStatus (*nearestInit)(IppiSize srcSize, IppiSize dstSize, Ipp8u* pSpec);
        IppStatus (*getBufferSize)(const Ipp8u* pSpec, IppiSize dstSize, uint32_t numChannels, int32_t* pBufSize);
        IppStatus (*resizeNearest)(const Ipp8u* pSrc, int32_t srcStep, Ipp8u* pDst, int32_t dstStep,
                                   IppiPoint dstOffset, IppiSize dstSize, const Ipp8u* pSpec, Ipp8u* pBuffer);
    };

    // The dispatched image kernels.
    static ResizeKernels const& imageKernels();

    explicit PictureScaler(ResizeKernels const& kernels = imageKernels())
        : m_kernels(kernels)
    {
    }

    // Both scale all of the source's pixels into all of the destination's.
    // A picture without pixels on either side leaves nothing to do (0).
    //
    // Nearest neighbour: 0 when every destination pixel was written; else
    // the status of the kernel that failed (negative, or 1 when a kernel did
    // nothing), and the destination's pixels are cleared to 0.
    // Allocation failures throw std::bad_alloc; the work buffers are freed.
    IppStatus scaleNearest(Picture const& source, Picture& destination) const;
    // Area averaging: each destination pixel is the mean of the source area
    // it covers, each of the four bytes of a pixel on its own (no
    // premultiplication), rounded to nearest.
    static void scaleSmooth(Picture const& source, Picture& destination);

private:
    ResizeKernels m_kernels;
};

} // namespace FEN
} // namespace CV
