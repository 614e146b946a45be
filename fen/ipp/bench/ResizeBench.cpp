// Nearest-neighbour resize of the selected build next to pixman's nearest
// filter, on the sizes of picture scaling: an icon, the window at twice its
// size, and a frame halved. Each kernel iteration runs the whole sequence of
// picture scaling: size query, record, work buffer size, resize.
#include "fen/ipp/IppCore.h"
#include "fen/ipp/IppiResize.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<uint32_t> pixelsOf(int width, int height)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint32_t(i * 2654435761u) | 0xFF000000u;
    return pixels;
}

void BM_ResizeKernel(benchmark::State& state, IppiSize src, IppiSize dst)
{
    ippInit();
    const std::vector<uint32_t> source = pixelsOf(src.width, src.height);
    std::vector<uint32_t> target(size_t(dst.width) * dst.height);
    int32_t specSize = 0, initSize = 0, bufferSize = 0;
    ippiResizeGetSize_8u(src, dst, kInterpolationNearest, 0, &specSize, &initSize);
    std::vector<Ipp8u> spec(static_cast<size_t>(specSize));
    ippiResizeNearestInit_8u(src, dst, spec.data());
    ippiResizeGetBufferSize_8u(spec.data(), dst, 4, &bufferSize);
    std::vector<Ipp8u> buffer(static_cast<size_t>(bufferSize));
    for (auto _ : state) {
        ippiResizeGetSize_8u(src, dst, kInterpolationNearest, 0, &specSize, &initSize);
        ippiResizeNearestInit_8u(src, dst, spec.data());
        ippiResizeGetBufferSize_8u(spec.data(), dst, 4, &bufferSize);
        ippiResizeNearest_8u_C4R(reinterpret_cast<const Ipp8u*>(source.data()), src.width * 4,
                                 reinterpret_cast<Ipp8u*>(target.data()), dst.width * 4, {0, 0}, dst, spec.data(),
                                 buffer.data());
        benchmark::DoNotOptimize(target.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(dst.width) * dst.height);
    state.counters["build"] = ippGetJumpIndex();
}

void BM_ResizePixman(benchmark::State& state, IppiSize src, IppiSize dst)
{
    std::vector<uint32_t> source = pixelsOf(src.width, src.height);
    std::vector<uint32_t> target(size_t(dst.width) * dst.height);
    pixman_image_t* srcImage =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, src.width, src.height, source.data(), src.width * 4);
    pixman_image_t* dstImage =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, dst.width, dst.height, target.data(), dst.width * 4);
    pixman_transform_t transform;
    pixman_transform_init_scale(&transform, pixman_double_to_fixed(double(src.width) / dst.width),
                                pixman_double_to_fixed(double(src.height) / dst.height));
    pixman_image_set_transform(srcImage, &transform);
    pixman_image_set_filter(srcImage, PIXMAN_FILTER_NEAREST, nullptr, 0);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, srcImage, nullptr, dstImage, 0, 0, 0, 0, 0, 0, dst.width, dst.height);
        benchmark::DoNotOptimize(target.data());
    }
    pixman_image_unref(srcImage);
    pixman_image_unref(dstImage);
    state.SetItemsProcessed(state.iterations() * int64_t(dst.width) * dst.height);
}

BENCHMARK_CAPTURE(BM_ResizeKernel, icon_64_to_128, IppiSize{64, 64}, IppiSize{128, 128});
BENCHMARK_CAPTURE(BM_ResizePixman, icon_64_to_128, IppiSize{64, 64}, IppiSize{128, 128});
BENCHMARK_CAPTURE(BM_ResizeKernel, window_627_to_1254, IppiSize{627, 335}, IppiSize{1254, 670});
BENCHMARK_CAPTURE(BM_ResizePixman, window_627_to_1254, IppiSize{627, 335}, IppiSize{1254, 670});
BENCHMARK_CAPTURE(BM_ResizeKernel, frame_1920_to_960, IppiSize{1920, 1080}, IppiSize{960, 540});
BENCHMARK_CAPTURE(BM_ResizePixman, frame_1920_to_960, IppiSize{1920, 1080}, IppiSize{960, 540});

} // namespace
