// Straight Over compositing of the selected build next to pixman's OVER on
// premultiplied pixels, on the workloads of the window painting code.
#include "fen/ipp/IppCore.h"
#include "fen/ipp/IppiAlphaComp.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <vector>

namespace {

enum class Mix { Translucent, Picture };

// Valid premultiplied pixels (colour never above alpha), so that both
// libraries see meaningful data. `Picture` is mostly opaque with transparent
// margins and translucent edges; `Translucent` has random alpha everywhere.
std::vector<uint32_t> makePixels(int width, int height, Mix mix, uint32_t seed)
{
    std::vector<uint32_t> pixels(size_t(width) * height);
    uint32_t state = seed * 2654435761u + 1;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t alpha = next() & 0xFF;
            if (mix == Mix::Picture) {
                const int edge = std::min(std::min(x, width - 1 - x), std::min(y, height - 1 - y));
                alpha = edge < 3 ? 0 : edge < 6 ? 40 * uint32_t(edge) : 255;
            }
            const uint32_t r = alpha ? next() % (alpha + 1) : 0;
            const uint32_t g = alpha ? next() % (alpha + 1) : 0;
            const uint32_t b = alpha ? next() % (alpha + 1) : 0;
            pixels[size_t(y) * width + x] = alpha << 24 | r << 16 | g << 8 | b;
        }
    return pixels;
}

struct Workload {
    int srcWidth, srcHeight, dstWidth, dstHeight;
};

constexpr Workload kPicture{256, 64, 1254, 670};
constexpr Workload kFrame{1920, 1080, 1920, 1080};

class Surfaces {
public:
    Surfaces(const Workload& w, Mix mix)
        : m_w(w)
        , m_src(makePixels(w.srcWidth, w.srcHeight, mix, 1))
        , m_dst(makePixels(w.dstWidth, w.dstHeight, Mix::Translucent, 2))
    {
        m_srcImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, w.srcWidth, w.srcHeight, m_src.data(), w.srcWidth * 4);
        m_dstImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, w.dstWidth, w.dstHeight, m_dst.data(), w.dstWidth * 4);
    }
    ~Surfaces()
    {
        pixman_image_unref(m_srcImage);
        pixman_image_unref(m_dstImage);
    }
    Surfaces(const Surfaces&) = delete;
    Surfaces& operator=(const Surfaces&) = delete;

    // Destination position of the picture: centred, as a dialog's picture.
    int x() const { return (m_w.dstWidth - m_w.srcWidth) / 2; }
    int y() const { return (m_w.dstHeight - m_w.srcHeight) / 2; }

    void compositeKernel()
    {
        ippiAlphaComp_8u_AC4IR(reinterpret_cast<const Ipp8u*>(m_src.data()), m_w.srcWidth * 4,
                               reinterpret_cast<Ipp8u*>(&m_dst[size_t(y()) * m_w.dstWidth + x()]), m_w.dstWidth * 4,
                               {m_w.srcWidth, m_w.srcHeight}, kAlphaOver);
    }

    void compositePixman()
    {
        pixman_image_composite32(PIXMAN_OP_OVER, m_srcImage, nullptr, m_dstImage, 0, 0, 0, 0, x(), y(), m_w.srcWidth,
                                 m_w.srcHeight);
    }

    const uint32_t* destination() const { return m_dst.data(); }

private:
    Workload m_w;
    std::vector<uint32_t> m_src;
    std::vector<uint32_t> m_dst;
    pixman_image_t* m_srcImage = nullptr;
    pixman_image_t* m_dstImage = nullptr;
};

void setCounters(benchmark::State& state, int64_t pixels)
{
    state.SetItemsProcessed(state.iterations() * pixels);
    state.SetBytesProcessed(state.iterations() * pixels * 4);
    state.counters["build"] = ippGetJumpIndex();
}

// Runs the kernels of one build for the benchmark's duration (-1: the
// build selected for the processor).
class ForcedBuild {
public:
    explicit ForcedBuild(int32_t index)
    {
        ippInit();
        if (index >= 0)
            m_previous = ownForceJumpIndex(index);
    }
    ~ForcedBuild()
    {
        if (m_previous != kNone)
            ownForceJumpIndex(m_previous);
    }
    ForcedBuild(const ForcedBuild&) = delete;
    ForcedBuild& operator=(const ForcedBuild&) = delete;

private:
    static constexpr int32_t kNone = -2;
    int32_t m_previous = kNone;
};

constexpr int32_t kSelectedBuild = -1;
constexpr int32_t kAvx2Build = 3;

void BM_Picture(benchmark::State& state, bool kernel, const Workload& w, Mix mix, int32_t build = kSelectedBuild)
{
    ForcedBuild forced(build);
    Surfaces surfaces(w, mix);
    for (auto _ : state) {
        if (kernel)
            surfaces.compositeKernel();
        else
            surfaces.compositePixman();
        benchmark::DoNotOptimize(surfaces.destination());
    }
    setCounters(state, int64_t(w.srcWidth) * w.srcHeight);
}

// A translucent horizontal line across the canvas, in chunks of at most 16
// pixels from a buffer of copies of the colour.
void BM_LineChunks(benchmark::State& state, bool kernel)
{
    ippInit();
    const Workload w{16, 1, kPicture.dstWidth, kPicture.dstHeight};
    std::vector<uint32_t> run(16, 0x80402010u);
    std::vector<uint32_t> canvas = makePixels(w.dstWidth, w.dstHeight, Mix::Translucent, 3);
    pixman_image_t* runImage = pixman_image_create_bits(PIXMAN_a8r8g8b8, 16, 1, run.data(), 64);
    pixman_image_t* canvasImage =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, w.dstWidth, w.dstHeight, canvas.data(), w.dstWidth * 4);
    const int row = w.dstHeight / 2;
    for (auto _ : state) {
        for (int x = 0; x < w.dstWidth; x += 16) {
            const int chunk = std::min(16, w.dstWidth - x);
            if (kernel)
                ippiAlphaComp_8u_AC4IR(reinterpret_cast<const Ipp8u*>(run.data()), chunk * 4,
                                       reinterpret_cast<Ipp8u*>(&canvas[size_t(row) * w.dstWidth + x]), w.dstWidth * 4,
                                       {chunk, 1}, kAlphaOver);
            else
                pixman_image_composite32(PIXMAN_OP_OVER, runImage, nullptr, canvasImage, 0, 0, 0, 0, x, row, chunk, 1);
        }
        benchmark::DoNotOptimize(canvas.data());
    }
    pixman_image_unref(runImage);
    pixman_image_unref(canvasImage);
    setCounters(state, w.dstWidth);
}

BENCHMARK_CAPTURE(BM_Picture, picture_translucent_kernel, true, kPicture, Mix::Translucent);
BENCHMARK_CAPTURE(BM_Picture, picture_translucent_pixman, false, kPicture, Mix::Translucent);
BENCHMARK_CAPTURE(BM_Picture, picture_typical_kernel, true, kPicture, Mix::Picture);
BENCHMARK_CAPTURE(BM_Picture, picture_typical_pixman, false, kPicture, Mix::Picture);
BENCHMARK_CAPTURE(BM_LineChunks, line_chunks_kernel, true);
BENCHMARK_CAPTURE(BM_LineChunks, line_chunks_pixman, false);
BENCHMARK_CAPTURE(BM_Picture, frame_translucent_kernel, true, kFrame, Mix::Translucent);
BENCHMARK_CAPTURE(BM_Picture, frame_translucent_pixman, false, kFrame, Mix::Translucent);
BENCHMARK_CAPTURE(BM_Picture, frame_typical_kernel, true, kFrame, Mix::Picture);
BENCHMARK_CAPTURE(BM_Picture, frame_typical_pixman, false, kFrame, Mix::Picture);
// The AVX2 build forced, on processors that also run a wider one.
BENCHMARK_CAPTURE(BM_Picture, picture_translucent_kernel_avx2, true, kPicture, Mix::Translucent, kAvx2Build);
BENCHMARK_CAPTURE(BM_Picture, picture_typical_kernel_avx2, true, kPicture, Mix::Picture, kAvx2Build);
BENCHMARK_CAPTURE(BM_Picture, frame_translucent_kernel_avx2, true, kFrame, Mix::Translucent, kAvx2Build);
BENCHMARK_CAPTURE(BM_Picture, frame_typical_kernel_avx2, true, kFrame, Mix::Picture, kAvx2Build);

} // namespace
