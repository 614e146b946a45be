// Drawing and compositing throughput on window-sized pictures.
#include <benchmark/benchmark.h>

#include "FEN/Picture.h"
#include "FEN/PictureCombiner.h"

namespace {

using namespace CV::FEN;

void makeWindow(Picture& p, int side)
{
    p.setSize(side, side, true);
    p.clear(0xFF204060);
}

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

template <class F>
void BM_PutPicture(benchmark::State& state)
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

} // namespace
