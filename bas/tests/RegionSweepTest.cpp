// Union and intersection of random regions give exactly the item lists of a
// plain array version of the band sweep: the same rectangles in the same
// order, the same bands merged, the same bounds, whatever the destination
// held before and whether it is one of the operands.
#include "RegionTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

using CV::BAS::Rect;
using CV::BAS::Region;
using regiontest::fill;
using regiontest::itemsOf;

namespace {

constexpr Rect kNone{0, 0, 0, 0};

bool isEmptyRect(Rect const& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

bool holds(Rect const& outer, Rect const& inner)
{
    return inner.left >= outer.left && inner.right <= outer.right && inner.top >= outer.top &&
        inner.bottom <= outer.bottom;
}

// A region's content as plain values: its items and bounds.
struct Plain {
    std::vector<Rect> items;
    Rect bounds;

    bool isEmpty() const { return isEmptyRect(bounds); }
    bool isSingle() const { return items.size() <= 1 && !isEmpty(); }
    // A single rectangle is copied as its bounds alone.
    Plain copy() const { return isSingle() ? Plain{{}, bounds} : *this; }
};

Plain plainOf(Region const& region)
{
    return Plain{itemsOf(region), region.bounds()};
}

// The band sweep over arrays, step by step as the regions define it.
class ArraySweep {
public:
    ArraySweep(bool unite)
        : m_unite(unite)
    {
    }

    std::vector<Rect> run(Plain const& a, Plain const& b)
    {
        const std::vector<Rect> as = a.items.empty() ? std::vector<Rect>{a.bounds} : a.items;
        const std::vector<Rect> bs = b.items.empty() ? std::vector<Rect>{b.bounds} : b.items;
        size_t ai = 0;
        size_t bi = 0;
        int ybot = std::min(as[0].top, bs[0].top);
        while (ai < as.size() && bi < bs.size()) {
            const size_t aEnd = bandEnd(as, ai);
            const size_t bEnd = bandEnd(bs, bi);
            Rect const ra = as[ai];
            Rect const rb = bs[bi];
            int ytop;
            if (ra.top < rb.top) {
                if (m_unite)
                    copyBand(as, ai, aEnd, std::max(ra.top, ybot), std::min(ra.bottom, rb.top));
                ytop = rb.top;
            } else if (rb.top < ra.top) {
                if (m_unite)
                    copyBand(bs, bi, bEnd, std::max(rb.top, ybot), std::min(rb.bottom, ra.top));
                ytop = ra.top;
            } else {
                ytop = ra.top;
            }
            ybot = std::min(ra.bottom, rb.bottom);
            if (ytop < ybot) {
                const size_t before = m_out.size();
                if (m_unite)
                    uniteBands(as, ai, aEnd, bs, bi, bEnd, ytop, ybot);
                else
                    intersectBands(as, ai, aEnd, bs, bi, bEnd, ytop, ybot);
                coalesce(before);
            }
            if (ra.bottom == ybot)
                ai = aEnd;
            if (rb.bottom == ybot)
                bi = bEnd;
        }
        if (m_unite) {
            std::vector<Rect> const& rest = ai < as.size() ? as : bs;
            size_t i = ai < as.size() ? ai : bi;
            if (i < rest.size()) {
                const size_t end = bandEnd(rest, i);
                copyBand(rest, i, end, std::max(rest[i].top, ybot), rest[i].bottom);
                m_out.insert(m_out.end(), rest.begin() + long(end), rest.end());
            }
        }
        return m_out;
    }

private:
    static size_t bandEnd(std::vector<Rect> const& items, size_t i)
    {
        size_t end = i;
        while (end < items.size() && items[end].top == items[i].top)
            ++end;
        return end;
    }

    void copyBand(std::vector<Rect> const& items, size_t from, size_t to, int top, int bottom)
    {
        if (top == bottom)
            return;
        const size_t before = m_out.size();
        for (size_t i = from; i < to; ++i)
            m_out.push_back(Rect{items[i].left, top, items[i].right, bottom});
        coalesce(before);
    }

    void uniteBands(std::vector<Rect> const& as, size_t ai, size_t aEnd, std::vector<Rect> const& bs, size_t bi,
                    size_t bEnd, int top, int bottom)
    {
        bool started = false;
        int x1 = 0;
        int x2 = 0;
        while (ai < aEnd || bi < bEnd) {
            Rect const& r = (bi == bEnd || (ai < aEnd && as[ai].left < bs[bi].left)) ? as[ai++] : bs[bi++];
            if (started && r.left <= x2) {
                x2 = std::max(x2, r.right);
                continue;
            }
            if (started)
                m_out.push_back(Rect{x1, top, x2, bottom});
            started = true;
            x1 = r.left;
            x2 = r.right;
        }
        if (started)
            m_out.push_back(Rect{x1, top, x2, bottom});
    }

    void intersectBands(std::vector<Rect> const& as, size_t ai, size_t aEnd, std::vector<Rect> const& bs, size_t bi,
                        size_t bEnd, int top, int bottom)
    {
        while (ai < aEnd && bi < bEnd) {
            const int x1 = std::max(as[ai].left, bs[bi].left);
            const int x2 = std::min(as[ai].right, bs[bi].right);
            if (x1 < x2)
                m_out.push_back(Rect{x1, top, x2, bottom});
            if (as[ai].right == x2)
                ++ai;
            if (bs[bi].right == x2)
                ++bi;
        }
    }

    // The band appended from `start` on joins the band above when it
    // continues it with the same columns.
    void coalesce(size_t start)
    {
        if (start == m_out.size())
            return;
        if (!m_havePrevious) {
            m_previous = 0;
            m_havePrevious = true;
            if (start == 0)
                return;
        }
        const size_t previousCount = start - m_previous;
        const size_t newCount = m_out.size() - start;
        bool same = m_out[m_previous].bottom == m_out[start].top && previousCount == newCount;
        for (size_t i = 0; same && i < newCount; ++i)
            same = m_out[m_previous + i].left == m_out[start + i].left &&
                m_out[m_previous + i].right == m_out[start + i].right;
        if (!same) {
            m_previous = start;
            return;
        }
        for (size_t i = m_previous; i < start; ++i)
            m_out[i].bottom = m_out[start].bottom;
        m_out.resize(start);
    }

    bool m_unite;
    std::vector<Rect> m_out;
    size_t m_previous = 0;
    bool m_havePrevious = false;
};

Plain withBounds(std::vector<Rect> items)
{
    if (items.empty())
        return Plain{{}, kNone};
    Rect hull = items[0];
    for (Rect const& r : items)
        hull = Rect{std::min(hull.left, r.left), std::min(hull.top, r.top), std::max(hull.right, r.right),
                    std::max(hull.bottom, r.bottom)};
    return Plain{std::move(items), hull};
}

Plain expectedUnion(Plain const& a, Plain const& b, bool sameObject)
{
    if (sameObject)
        return a.copy();
    if (a.items.empty() && a.isEmpty())
        return b.copy();
    if (b.items.empty() && b.isEmpty())
        return a.copy();
    if (a.isSingle() && holds(a.bounds, b.bounds))
        return a.copy();
    if (b.isSingle() && holds(b.bounds, a.bounds))
        return b.copy();
    return withBounds(ArraySweep(true).run(a, b));
}

Plain expectedIntersection(Plain const& a, Plain const& b, bool sameObject)
{
    if (a.isEmpty() || b.isEmpty())
        return Plain{{}, kNone};
    Rect const& p = a.bounds;
    Rect const& q = b.bounds;
    if (!(p.left < q.right && q.left < p.right && p.top < q.bottom && q.top < p.bottom))
        return Plain{{}, kNone};
    if (sameObject)
        return a.copy();
    if (a.isSingle() && b.isSingle()) {
        Rect r{std::max(p.left, q.left), std::max(p.top, q.top), std::min(p.right, q.right),
               std::min(p.bottom, q.bottom)};
        return Plain{{}, isEmptyRect(r) ? kNone : r};
    }
    if (a.isSingle() && holds(p, q))
        return b.copy();
    if (b.isSingle() && holds(q, p))
        return a.copy();
    return withBounds(ArraySweep(false).run(a, b));
}

// Random rectangles on a coarse grid, so that many bands touch and share
// their columns, with a few off the grid and a few empty ones.
class RandomRects {
public:
    explicit RandomRects(unsigned seed)
        : m_random(seed)
    {
    }

    int upTo(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    Rect rect()
    {
        const int grid = upTo(3) == 0 ? 1 : 4;
        const int x = upTo(16) * grid;
        const int y = upTo(16) * grid;
        const int w = (upTo(6) - (upTo(12) == 0 ? 1 : 0)) * grid;
        const int h = (upTo(6) - (upTo(12) == 0 ? 1 : 0)) * grid;
        return Rect{x, y, x + w, y + h};
    }

    std::vector<Rect> rects()
    {
        std::vector<Rect> list;
        for (int n = upTo(4) == 0 ? upTo(3) : upTo(24); n > 0; --n)
            list.push_back(rect());
        return list;
    }

private:
    std::mt19937 m_random;
};

enum class Destination { Fresh, Filled, IsA, IsB, AllThree };

void expectSame(Region const& region, Plain const& expected)
{
    EXPECT_EQ(itemsOf(region), expected.items);
    EXPECT_EQ(region.count(), int(expected.items.size()));
    EXPECT_EQ(region.bounds(), expected.bounds);
}

using RegionSweep = regiontest::RegionPoolTest;

TEST_F(RegionSweep, UnionAndIntersectionGiveTheItemsOfTheArraySweep)
{
    RandomRects random(4242);
    const Destination destinations[] = {Destination::Fresh, Destination::Filled, Destination::IsA, Destination::IsB,
                                        Destination::AllThree};
    for (int round = 0; round < 4000; ++round) {
        const bool unite = round % 2 == 0;
        const Destination destination = destinations[(round / 2) % 5];
        Region a;
        Region b;
        Region other;
        const std::vector<Rect> aRects = random.rects();
        const std::vector<Rect> bRects = random.rects();
        fill(a, aRects);
        fill(b, bRects);
        fill(other, random.rects());
        SCOPED_TRACE(testing::Message() << (unite ? "union" : "intersection") << " round " << round << " of "
                                        << testing::PrintToString(aRects) << " and " << testing::PrintToString(bRects)
                                        << " destination " << int(destination));
        const bool sameObject = destination == Destination::AllThree;
        const Plain pa = plainOf(a);
        const Plain pb = sameObject ? pa : plainOf(b);
        const Plain expected = unite ? expectedUnion(pa, pb, sameObject) : expectedIntersection(pa, pb, sameObject);

        Region& out = destination == Destination::IsA || destination == Destination::AllThree ? a
            : destination == Destination::IsB                                                 ? b
                                                                                              : other;
        if (destination == Destination::Fresh)
            other.clear();
        Region const& second = sameObject ? a : b;
        if (unite)
            Region::add(out, a, second);
        else
            Region::intersect(out, a, second);
        ASSERT_NO_FATAL_FAILURE(expectSame(out, expected));
        if (HasFailure())
            return;
    }
}

} // namespace
