// Random sequences of region operations checked against a plain bitmap of
// the same pixels. The seed is fixed; VARANTO_REGION_SEED overrides it.
#include "RegionTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

using CV::BAS::Point;
using CV::BAS::Rect;
using CV::BAS::Region;
using regiontest::fill;
using regiontest::itemsOf;

namespace {

// Pixels from kOrigin to kOrigin + kSize on both axes.
constexpr int kOrigin = -32;
constexpr int kSize = 128;
constexpr int kField = 64; // random rectangles lie in [0, kField)
constexpr int kMaxDrift = 16; // moveBy keeps the total offset within this

class Bitmap {
public:
    Bitmap() { clear(); }
    void clear() { m_pixels.fill(false); }
    bool at(int x, int y) const { return m_pixels[index(x, y)]; }
    void set(int x, int y, bool value) { m_pixels[index(x, y)] = value; }

    void addRect(Rect const& r)
    {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                set(x, y, true);
    }
    void keepRect(Rect const& r)
    {
        forEach([&](int x, int y) {
            if (x < r.left || x >= r.right || y < r.top || y >= r.bottom)
                set(x, y, false);
        });
    }
    void intersectWith(Bitmap const& other)
    {
        forEach([&](int x, int y) { set(x, y, at(x, y) && other.at(x, y)); });
    }
    void unite(Bitmap const& other)
    {
        forEach([&](int x, int y) { set(x, y, at(x, y) || other.at(x, y)); });
    }
    Bitmap movedBy(int dx, int dy) const
    {
        Bitmap moved;
        forEach([&](int x, int y) {
            if (at(x, y))
                moved.set(x + dx, y + dy, true);
        });
        return moved;
    }
    bool operator==(Bitmap const& other) const { return m_pixels == other.m_pixels; }

    template <class F> static void forEach(F f)
    {
        for (int y = kOrigin; y < kOrigin + kSize; ++y)
            for (int x = kOrigin; x < kOrigin + kSize; ++x)
                f(x, y);
    }

private:
    static int index(int x, int y) { return (y - kOrigin) * kSize + (x - kOrigin); }
    std::array<bool, kSize * kSize> m_pixels;
};

Bitmap pixelsOf(Region const& region)
{
    Bitmap bitmap;
    if (region.first() == region.last()) {
        if (!region.isEmpty())
            bitmap.addRect(region.bounds());
        return bitmap;
    }
    for (Rect const& r : itemsOf(region))
        bitmap.addRect(r);
    return bitmap;
}

bool isEmptyRect(Rect const& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

// The representation rules every operation keeps.
void expectWellFormed(Region const& region)
{
    std::vector<Rect> items = itemsOf(region);
    ASSERT_EQ(region.count(), int(items.size()));
    Region::ListItem const* previous = nullptr;
    for (Region::ListItem const* item = region.first(); item; item = item->next) {
        ASSERT_EQ(item->prev, previous) << "links";
        previous = item;
    }
    ASSERT_EQ(region.last(), previous);

    if (region.isEmpty()) {
        EXPECT_TRUE(items.empty());
        EXPECT_EQ(region.bounds(), (Rect{0, 0, 0, 0}));
        return;
    }
    if (items.size() == 1) {
        EXPECT_EQ(items[0], region.bounds());
        return;
    }
    if (items.empty())
        return;
    Rect hull = items[0];
    for (size_t i = 0; i < items.size(); ++i) {
        Rect const& r = items[i];
        ASSERT_FALSE(isEmptyRect(r)) << "item " << i;
        hull = Rect{std::min(hull.left, r.left), std::min(hull.top, r.top), std::max(hull.right, r.right),
                    std::max(hull.bottom, r.bottom)};
        if (i == 0)
            continue;
        Rect const& p = items[i - 1];
        if (p.top == r.top) {
            EXPECT_EQ(p.bottom, r.bottom) << "a band shares its bottom, item " << i;
            EXPECT_LT(p.right, r.left) << "items of a band neither overlap nor touch, item " << i;
        } else {
            EXPECT_LT(p.top, r.top) << "bands sorted by top, item " << i;
            EXPECT_LE(p.bottom, r.top) << "bands do not overlap, item " << i;
        }
    }
    EXPECT_EQ(region.bounds(), hull);
}

int expectedTestRect(Bitmap const& bitmap, Rect const& r)
{
    if (isEmptyRect(r))
        return Region::eOutside;
    int in = 0;
    int total = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            ++total;
            in += bitmap.at(x, y) ? 1 : 0;
        }
    return in == 0 ? Region::eOutside : in == total ? Region::eInside : Region::ePartlyInside;
}

Bitmap walkedPixels(Region const& region, Rect const& clip)
{
    Bitmap bitmap;
    for (Region::const_intersector it(region, clip, Point{0, 0}); !it.isDone(); it.advance())
        bitmap.addRect(it.getRect());
    return bitmap;
}

unsigned seedFromEnvironment()
{
    const char* text = std::getenv("VARANTO_REGION_SEED");
    return text && *text ? unsigned(std::strtoul(text, nullptr, 0)) : 20261210u;
}

class RandomRegions {
public:
    explicit RandomRegions(unsigned seed)
        : m_random(seed)
    {
    }

    int upTo(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    // Mostly real rectangles, sometimes empty ones.
    Rect rect()
    {
        int x1 = upTo(kField);
        int y1 = upTo(kField);
        int x2 = x1 + upTo(24) - (upTo(10) == 0 ? 4 : 0);
        int y2 = y1 + upTo(24) - (upTo(10) == 0 ? 4 : 0);
        return Rect{x1, y1, x2, y2};
    }

    std::vector<Rect> rects(int most)
    {
        std::vector<Rect> list;
        for (int n = upTo(most + 1); n > 0; --n)
            list.push_back(rect());
        return list;
    }

private:
    std::mt19937 m_random;
};

using RegionProperty = regiontest::RegionPoolTest;

TEST_F(RegionProperty, RandomOperationsMatchABitmap)
{
    const unsigned seed = seedFromEnvironment();
    SCOPED_TRACE(testing::Message() << "seed " << seed << " (set VARANTO_REGION_SEED to repeat)");
    RandomRegions random(seed);
    {
        Region region;
        Bitmap expected;
        Point drift{0, 0};
        for (int step = 0; step < 3000; ++step) {
            std::string what;
            const int choice = random.upTo(6);
            if (choice == 0) {
                Rect r = random.rect();
                what = "addFast " + testing::PrintToString(r);
                region.addFast(r);
                if (!isEmptyRect(r))
                    expected.addRect(r);
            } else if (choice == 1 || choice == 2) {
                std::vector<Rect> parts = random.rects(4);
                Region other;
                fill(other, parts);
                Bitmap otherPixels = pixelsOf(other);
                const bool unite = choice == 1;
                const int target = random.upTo(3); // 0 region, 1 the other operand, 2 a fresh region
                const bool swapped = random.upTo(2) == 1;
                what = std::string(unite ? "add" : "intersect") + " target " + std::to_string(target) + " of " +
                    testing::PrintToString(parts);
                Region fresh;
                Region& out = target == 0 ? region : target == 1 ? other : fresh;
                Region const& a = swapped ? other : region;
                Region const& b = swapped ? region : other;
                if (unite)
                    Region::add(out, a, b);
                else
                    Region::intersect(out, a, b);
                if (unite)
                    expected.unite(otherPixels);
                else
                    expected.intersectWith(otherPixels);
                if (&out != &region)
                    out.copyTo(region);
            } else if (choice == 3) {
                Rect r = random.rect();
                r = Rect{r.left - 8, r.top - 8, r.right + 24, r.bottom + 24};
                what = "intersect " + testing::PrintToString(r);
                region.intersect(r);
                if (isEmptyRect(r))
                    expected.clear();
                else
                    expected.keepRect(r);
            } else if (choice == 4) {
                int dx = random.upTo(9) - 4;
                int dy = random.upTo(9) - 4;
                if (std::abs(drift.x + dx) > kMaxDrift)
                    dx = -dx;
                if (std::abs(drift.y + dy) > kMaxDrift)
                    dy = -dy;
                drift = Point{drift.x + dx, drift.y + dy};
                what = "moveBy " + std::to_string(dx) + "," + std::to_string(dy);
                region.moveBy(dx, dy);
                expected = expected.movedBy(dx, dy);
            } else if (random.upTo(8) == 0) {
                what = "clear";
                region.clear();
                expected.clear();
            } else {
                what = "nothing";
            }
            SCOPED_TRACE(testing::Message() << "step " << step << ": " << what);

            ASSERT_NO_FATAL_FAILURE(expectWellFormed(region));
            ASSERT_TRUE(pixelsOf(region) == expected);
            Rect probe = random.rect();
            ASSERT_EQ(region.testRect(probe), expectedTestRect(expected, probe)) << testing::PrintToString(probe);
            Rect clip = random.rect();
            Bitmap clipped = expected;
            if (isEmptyRect(clip))
                clipped.clear();
            else
                clipped.keepRect(clip);
            ASSERT_TRUE(walkedPixels(region, clip) == clipped) << "walk within " << testing::PrintToString(clip);
        }
    }
}

} // namespace
