// Drawing and compositing throughput on window-sized pictures, each beside
// the same operation done by pixman on premultiplied pixels
// (BM_<name>_pixman).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <vector>

#include "FEN/Picture.h"
#include "FEN/PictureCombiner.h"

namespace {

using namespace CV::FEN;

void makeWindow(Picture& p, int side)
{
    p.setSize(side, side, true);
    p.clear(0xFF204060);
}

// A straight-alpha colour premultiplied, as pixman stores it.
uint32_t premultiplied(uint32_t colour)
{
    uint32_t const a = colour >> 24;
    uint32_t result = a << 24;
    for (int shift = 0; shift < 24; shift += 8)
        result |= (((colour >> shift) & 0xFF) * a + 127) / 255 << shift;
    return result;
}

// A pixman picture over its own pixels, filled with one colour.
class PixmanPicture {
public:
    PixmanPicture(int width, int height, uint32_t colour)
        : m_pixels(size_t(width) * height, premultiplied(colour))
        , m_image(pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, m_pixels.data(), width * 4))
    {
    }
    ~PixmanPicture() { pixman_image_unref(m_image); }
    PixmanPicture(PixmanPicture const&) = delete;
    PixmanPicture& operator=(PixmanPicture const&) = delete;

    pixman_image_t* image() const { return m_image; }
    uint32_t* pixels() { return m_pixels.data(); }
    void setArea(int x, int y, int w, int h, int stride, uint32_t colour)
    {
        for (int row = y; row < y + h; ++row)
            std::fill_n(m_pixels.begin() + row * stride + x, w, premultiplied(colour));
    }

private:
    std::vector<uint32_t> m_pixels;
    pixman_image_t* m_image;
};

pixman_color_t pixmanColour(uint32_t colour)
{
    uint32_t const p = premultiplied(colour);
    auto wide = [p](int shift) { return uint16_t(((p >> shift) & 0xFF) * 257); };
    return pixman_color_t{wide(16), wide(8), wide(0), wide(24)};
}

void fillPixman(benchmark::State& state, uint32_t colour)
{
    int const side = int(state.range(0));
    PixmanPicture window(side, side, 0xFF204060);
    pixman_color_t const fill = pixmanColour(colour);
    pixman_rectangle16_t const rect{1, 1, uint16_t(side - 2), uint16_t(side - 2)};
    for (auto _ : state) {
        pixman_image_fill_rectangles(PIXMAN_OP_OVER, window.image(), &fill, 1, &rect);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(side - 2) * (side - 2));
}

void BM_FillOpaque_pixman(benchmark::State& state)
{
    fillPixman(state, 0xFF808080);
}
BENCHMARK(BM_FillOpaque_pixman)->Arg(256)->Arg(1024);

void BM_FillTranslucent_pixman(benchmark::State& state)
{
    fillPixman(state, 0x80808080);
}
BENCHMARK(BM_FillTranslucent_pixman)->Arg(256)->Arg(1024);

// The source over the target (OVER), or atop it (ATOP, which keeps the
// target's alpha as blending with alpha does).
void putPicturePixman(benchmark::State& state, pixman_op_t op)
{
    int const side = int(state.range(0));
    PixmanPicture target(512, 512, 0xFF204060);
    PixmanPicture source(side, side, 0x80FFE040);
    for (auto _ : state) {
        pixman_image_composite32(op, source.image(), nullptr, target.image(), 0, 0, 0, 0, 3, 3, side, side);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
}

void BM_PutPictureCopySource_pixman(benchmark::State& state)
{
    putPicturePixman(state, PIXMAN_OP_OVER);
}
BENCHMARK(BM_PutPictureCopySource_pixman)
    ->Name("BM_PutPicture<PictureCombinerFunctors::CopySource>_pixman")
    ->Arg(64)
    ->Arg(256);

void BM_PutPictureBlendUsingAlpha_pixman(benchmark::State& state)
{
    putPicturePixman(state, PIXMAN_OP_ATOP);
}
BENCHMARK(BM_PutPictureBlendUsingAlpha_pixman)
    ->Name("BM_PutPicture<PictureCombinerFunctors::BlendUsingAlpha>_pixman")
    ->Arg(64)
    ->Arg(256);

void BM_FillOpaque(benchmark::State& state)
{
    Picture p;
    makeWindow(p, int(state.range(0)));
    for (auto _ : state) {
        p.fillArea(1, 1, p.getWidth() - 2, p.getHeight() - 2, 0xFF808080);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(p.getWidth() - 2) * (p.getHeight() - 2));
}
BENCHMARK(BM_FillOpaque)->Arg(256)->Arg(1024);

void BM_FillTranslucent(benchmark::State& state)
{
    Picture p;
    makeWindow(p, int(state.range(0)));
    for (auto _ : state) {
        p.fillArea(1, 1, p.getWidth() - 2, p.getHeight() - 2, 0x80808080);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * int64_t(p.getWidth() - 2) * (p.getHeight() - 2));
}
BENCHMARK(BM_FillTranslucent)->Arg(256)->Arg(1024);

template <class F> void BM_PutPicture(benchmark::State& state)
{
    Picture target, source;
    makeWindow(target, 512);
    source.setSize(int(state.range(0)), int(state.range(0)), true);
    source.clear(0x80FFE040);
    source.setAlphaChannel(true);
    for (auto _ : state) {
        target.putPicture<F>(3, 3, source, 0, nullptr);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * state.range(0));
}
BENCHMARK_TEMPLATE(BM_PutPicture, PictureCombinerFunctors::CopySource)->Arg(64)->Arg(256);
BENCHMARK_TEMPLATE(BM_PutPicture, PictureCombinerFunctors::BlendUsingAlpha)->Arg(64)->Arg(256);

// A 24 x 24 skin frame with 8-pixel borders stretched over most of a window,
// with and without a transparent centre that the masks let it skip.
void BM_NinePatch(benchmark::State& state)
{
    bool const hollow = state.range(0) != 0;
    Picture target, face;
    makeWindow(target, 512);
    face.setSize(24, 24, true);
    face.clear(0xC0A0A0A0);
    face.setAlphaChannel(true);
    if (hollow)
        face.setAreaColor({8, 8, 16, 16}, 0);
    face.setVertResizable(true);
    face.setHorzResizable(true);
    face.setFixedTop(8);
    face.setFixedBottom(8);
    face.setFixedLeft(8);
    face.setFixedRight(8);
    face.initEmptyAreaFlags();
    for (auto _ : state) {
        target.putStretched<PictureCombinerFunctors::CopySource>({10, 10, 500, 400}, face, 0, nullptr);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_NinePatch)->Arg(0)->Arg(1);

// The same frame as nine composites: corners once, edges and centre as
// repeating sources; the transparent centre is left out.
void BM_NinePatch_pixman(benchmark::State& state)
{
    bool const hollow = state.range(0) != 0;
    PixmanPicture target(512, 512, 0xFF204060);
    PixmanPicture face(24, 24, 0xC0A0A0A0);
    if (hollow)
        face.setArea(8, 8, 8, 8, 24, 0);
    // Source column and row starts and sizes of the three parts.
    int const sourceStart[3] = {0, 8, 16};
    int const sourceSize[3] = {8, 8, 8};
    int const destStart[2][3] = {{10, 18, 492}, {10, 18, 392}};
    int const destSize[2][3] = {{8, 474, 8}, {8, 374, 8}};
    pixman_image_t* parts[3][3];
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            parts[row][column] =
                pixman_image_create_bits(PIXMAN_a8r8g8b8, sourceSize[column], sourceSize[row],
                                         face.pixels() + sourceStart[row] * 24 + sourceStart[column], 24 * 4);
            pixman_image_set_repeat(parts[row][column], PIXMAN_REPEAT_NORMAL);
        }
    for (auto _ : state) {
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column) {
                if (hollow && row == 1 && column == 1)
                    continue;
                pixman_image_composite32(PIXMAN_OP_OVER, parts[row][column], nullptr, target.image(), 0, 0, 0, 0,
                                         destStart[0][column], destStart[1][row], destSize[0][column],
                                         destSize[1][row]);
            }
        benchmark::ClobberMemory();
    }
    for (auto& row : parts)
        for (pixman_image_t* part : row)
            pixman_image_unref(part);
}
BENCHMARK(BM_NinePatch_pixman)->Arg(0)->Arg(1);

} // namespace
