// Union and intersection of two regions of N rectangles each, with our
// regions and with pixman's on the same rectangles.
#include "BAS/Region.h"

#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <random>
#include <vector>

using CV::BAS::Rect;
using CV::BAS::Region;

namespace {

// N rectangles in rows of equal height (one band per row), with random
// horizontal extents and gaps; the second operand is shifted so that the
// two overlap partly everywhere.
std::vector<Rect> makeRects(int count, int shift, unsigned seed)
{
    std::mt19937 random(seed);
    const int columns = std::max(1, int(std::sqrt(double(count))));
    std::vector<Rect> rects;
    rects.reserve(count);
    for (int i = 0; i < count; ++i) {
        const int row = i / columns;
        const int column = i % columns;
        const int left = column * 20 + int(random() % 6) + shift;
        const int right = left + 6 + int(random() % 8);
        const int top = row * 12 + shift;
        rects.push_back(Rect{left, top, right, top + 8});
    }
    return rects;
}

struct Operands {
    explicit Operands(int count)
        : a(makeRects(count, 0, 1))
        , b(makeRects(count, 5, 2))
    {
    }
    std::vector<Rect> a;
    std::vector<Rect> b;
};

void fillRegion(Region& region, std::vector<Rect> const& rects)
{
    for (Rect const& r : rects)
        region.addFast(r);
}

void fillPixman(pixman_region32_t& region, std::vector<Rect> const& rects)
{
    std::vector<pixman_box32_t> boxes;
    boxes.reserve(rects.size());
    for (Rect const& r : rects)
        boxes.push_back(pixman_box32_t{r.left, r.top, r.right, r.bottom});
    pixman_region32_init_rects(&region, boxes.data(), int(boxes.size()));
}

template <bool Unite> void BM_Region(benchmark::State& state)
{
    Region::init();
    {
        Operands operands(int(state.range(0)));
        Region a;
        Region b;
        Region out;
        fillRegion(a, operands.a);
        fillRegion(b, operands.b);
        for (auto _ : state) {
            if (Unite)
                Region::add(out, a, b);
            else
                Region::intersect(out, a, b);
            benchmark::DoNotOptimize(out.count());
        }
        state.counters["items"] = out.count();
    }
    Region::deInit();
}

template <bool Unite> void BM_Pixman(benchmark::State& state)
{
    Operands operands(int(state.range(0)));
    pixman_region32_t a;
    pixman_region32_t b;
    pixman_region32_t out;
    fillPixman(a, operands.a);
    fillPixman(b, operands.b);
    pixman_region32_init(&out);
    for (auto _ : state) {
        if (Unite)
            pixman_region32_union(&out, &a, &b);
        else
            pixman_region32_intersect(&out, &a, &b);
        benchmark::DoNotOptimize(pixman_region32_n_rects(&out));
    }
    state.counters["items"] = pixman_region32_n_rects(&out);
    pixman_region32_fini(&out);
    pixman_region32_fini(&b);
    pixman_region32_fini(&a);
}

void BM_RegionUnion(benchmark::State& state)
{
    BM_Region<true>(state);
}
void BM_PixmanUnion(benchmark::State& state)
{
    BM_Pixman<true>(state);
}
void BM_RegionIntersect(benchmark::State& state)
{
    BM_Region<false>(state);
}
void BM_PixmanIntersect(benchmark::State& state)
{
    BM_Pixman<false>(state);
}

} // namespace

BENCHMARK(BM_RegionUnion)->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK(BM_PixmanUnion)->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK(BM_RegionIntersect)->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK(BM_PixmanIntersect)->RangeMultiplier(10)->Range(10, 10000);
