#include "FEN/PictureScaler.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <boost/align/aligned_allocator.hpp>

#include "FEN/Picture.h"
#include "fen/ipp/IppiResize.h"

namespace CV {
namespace FEN {

namespace {

// The kernels expect their record and work buffers on 64-byte boundaries.
using AlignedBytes = std::vector<Ipp8u, boost::alignment::aligned_allocator<Ipp8u, 64>>;

bool hasPixels(Picture const& picture)
{
    return picture.getWidth() > 0 && picture.getHeight() > 0 && picture.getPixels() != nullptr;
}

IppiSize sizeOf(Picture const& picture)
{
    return IppiSize{picture.getWidth(), picture.getHeight()};
}

// Warnings other than "nothing done" still mean the work was done.
bool failed(IppStatus status)
{
    return status < 0 || status == kStsNothingToDo;
}

void clearPixels(Picture& picture)
{
    std::memset(picture.getPixels(), 0, size_t(picture.getWidth()) * size_t(picture.getHeight()) * 4);
}

// One source pixel's share of a destination pixel along one axis.
struct Tap {
    int32_t source;
    uint32_t weight;
};

// Taps of every destination index along an axis of sourceLength pixels
// scaled to destinationLength. Measured in units where a source pixel is
// destinationLength long and a destination pixel sourceLength long, the
// weights are the exact overlaps and add up to sourceLength per pixel.
class AxisTaps {
public:
    AxisTaps(int32_t sourceLength, int32_t destinationLength)
    {
        int64_t const s = sourceLength;
        int64_t const d = destinationLength;
        m_first.reserve(size_t(d) + 1);
        for (int64_t j = 0; j < d; ++j) {
            m_first.push_back(m_taps.size());
            int64_t const low = j * s;
            int64_t const high = low + s;
            for (int64_t k = low / d; k * d < high; ++k) {
                int64_t const overlap = std::min(high, (k + 1) * d) - std::max(low, k * d);
                m_taps.push_back(Tap{int32_t(k), uint32_t(overlap)});
            }
        }
        m_first.push_back(m_taps.size());
    }

    Tap const* begin(int32_t index) const { return m_taps.data() + m_first[size_t(index)]; }
    Tap const* end(int32_t index) const { return m_taps.data() + m_first[size_t(index) + 1]; }

private:
    std::vector<size_t> m_first;
    std::vector<Tap> m_taps;
};

uint8_t const* sourceBytes(Picture const& picture, int32_t row)
{
    return reinterpret_cast<uint8_t const*>(picture.pixelRow(row));
}

} // namespace

PictureScaler::ResizeKernels const& PictureScaler::imageKernels()
{
    static ResizeKernels const kernels{&ippiResizeGetSize_8u, &ippiResizeNearestInit_8u, &ippiResizeGetBufferSize_8u,
                                       &ippiResizeNearest_8u_C4R};
    return kernels;
}

IppStatus PictureScaler::scaleNearest(Picture const& source, Picture& destination) const
{
    if (!hasPixels(source) || !hasPixels(destination))
        return kStsOk;
    IppiSize const sourceSize = sizeOf(source);
    IppiSize const destinationSize = sizeOf(destination);

    IppStatus status = kStsOk;
    auto const fail = [&destination](IppStatus failure) {
        clearPixels(destination);
        return failure;
    };

    int32_t specSize = 0;
    int32_t initSize = 0;
    status = m_kernels.getSize(sourceSize, destinationSize, kInterpolationNearest, 0, &specSize, &initSize);
    if (failed(status))
        return fail(status);
    if (specSize < 0 || initSize < 0)
        return fail(kStsSizeErr);
    AlignedBytes spec(static_cast<size_t>(specSize));
    // The nearest-neighbour set-up takes no initialisation buffer; it is
    // made as the size query asks and released before the resize.
    AlignedBytes initBuffer(static_cast<size_t>(initSize));

    status = m_kernels.nearestInit(sourceSize, destinationSize, spec.data());
    if (failed(status))
        return fail(status);

    int32_t workSize = 0;
    status = m_kernels.getBufferSize(spec.data(), destinationSize, 4, &workSize);
    if (failed(status))
        return fail(status);
    if (workSize < 0)
        return fail(kStsSizeErr);
    AlignedBytes work(static_cast<size_t>(workSize));
    AlignedBytes().swap(initBuffer);

    status = m_kernels.resizeNearest(reinterpret_cast<Ipp8u const*>(source.getPixels()), sourceSize.width * 4,
                                     reinterpret_cast<Ipp8u*>(destination.getPixels()), destinationSize.width * 4,
                                     IppiPoint{0, 0}, destinationSize, spec.data(), work.data());
    if (failed(status))
        return fail(status);
    return kStsOk;
}

void PictureScaler::scaleSmooth(Picture const& source, Picture& destination)
{
    if (!hasPixels(source) || !hasPixels(destination))
        return;
    int32_t const sourceWidth = source.getWidth();
    int32_t const width = destination.getWidth();
    AxisTaps const columns(sourceWidth, width);
    AxisTaps const rows(source.getHeight(), destination.getHeight());
    uint64_t const area = uint64_t(sourceWidth) * uint64_t(source.getHeight());

    // Per destination row: the weighted sum of the source rows it covers,
    // then per destination pixel the weighted sum of those column sums.
    std::vector<uint64_t> rowSums(size_t(sourceWidth) * 4);
    for (int32_t y = 0; y < destination.getHeight(); ++y) {
        std::fill(rowSums.begin(), rowSums.end(), 0);
        for (Tap const* tap = rows.begin(y); tap != rows.end(y); ++tap) {
            uint8_t const* bytes = sourceBytes(source, tap->source);
            for (size_t i = 0; i < rowSums.size(); ++i)
                rowSums[i] += uint64_t(tap->weight) * bytes[i];
        }
        auto* out = reinterpret_cast<uint8_t*>(destination.pixelRow(y));
        for (int32_t x = 0; x < width; ++x) {
            for (int channel = 0; channel < 4; ++channel) {
                uint64_t sum = 0;
                for (Tap const* tap = columns.begin(x); tap != columns.end(x); ++tap)
                    sum += uint64_t(tap->weight) * rowSums[size_t(tap->source) * 4 + size_t(channel)];
                out[size_t(x) * 4 + size_t(channel)] = uint8_t((sum + area / 2) / area);
            }
        }
    }
}

} // namespace FEN
} // namespace CV
