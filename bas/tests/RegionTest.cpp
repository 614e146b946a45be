#include "RegionTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using CV::BAS::Point;
using CV::BAS::Rect;
using CV::BAS::Region;
using regiontest::fill;
using regiontest::itemsOf;
using RegionPool = regiontest::RegionPoolTest;

namespace {

enum class Op { Build, Add, Intersect, IntersectRect, MoveBy, CopyToFilled };

// Where the result of add and intersect goes.
enum class Out { Fresh, IsA, IsB };

struct RegionCase {
    const char* name;
    Op op;
    std::vector<Rect> a; // built with addFast, in order
    std::vector<Rect> b;
    Rect arg; // rectangle of IntersectRect; dx, dy of MoveBy in left, top
    std::vector<Rect> items;
    Rect bounds;
};

void PrintTo(RegionCase const& c, std::ostream* out)
{
    *out << c.name;
}

void checkResult(Region const& result, RegionCase const& c)
{
    EXPECT_EQ(itemsOf(result), c.items);
    EXPECT_EQ(result.count(), int(c.items.size()));
    EXPECT_EQ(result.bounds(), c.bounds);
}

void runCase(RegionCase const& c, Out out)
{
    Region a;
    Region b;
    Region fresh;
    fill(a, c.a);
    fill(b, c.b);
    switch (c.op) {
    case Op::Build: checkResult(a, c); break;
    case Op::Add:
    case Op::Intersect: {
        Region& target = out == Out::IsA ? a : out == Out::IsB ? b : fresh;
        if (c.op == Op::Add)
            Region::add(target, a, b);
        else
            Region::intersect(target, a, b);
        checkResult(target, c);
        break;
    }
    case Op::IntersectRect:
        a.intersect(c.arg);
        checkResult(a, c);
        break;
    case Op::MoveBy:
        a.moveBy(c.arg.left, c.arg.top);
        checkResult(a, c);
        break;
    case Op::CopyToFilled:
        fill(fresh, {{0, 0, 1, 1}, {0, 2, 1, 3}});
        a.copyTo(fresh);
        checkResult(fresh, c);
        break;
    }
}

class RegionCases : public RegionPool, public testing::WithParamInterface<RegionCase> { };

TEST_P(RegionCases, GiveExactItemsAndBounds)
{
    RegionCase const& c = GetParam();
    const bool combines = c.op == Op::Add || c.op == Op::Intersect;
    for (Out out : {Out::Fresh, Out::IsA, Out::IsB}) {
        if (!combines && out != Out::Fresh)
            continue;
        SCOPED_TRACE(testing::Message() << "out is " << (out == Out::Fresh ? "fresh" : out == Out::IsA ? "a" : "b"));
        runCase(c, out);
    }
}

const Rect kNone{0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Regions, RegionCases,
    testing::Values(
        RegionCase{"addTouchingSideBySide",
                   Op::Add,
                   {{0, 0, 10, 10}},
                   {{10, 0, 20, 10}},
                   kNone,
                   {{0, 0, 20, 10}},
                   {0, 0, 20, 10}},
        RegionCase{"addStackedCoalesces",
                   Op::Add,
                   {{0, 0, 10, 10}},
                   {{0, 10, 10, 20}},
                   kNone,
                   {{0, 0, 10, 20}},
                   {0, 0, 10, 20}},
        RegionCase{"addOverlapping",
                   Op::Add,
                   {{0, 0, 10, 10}},
                   {{5, 5, 15, 15}},
                   kNone,
                   {{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}},
                   {0, 0, 15, 15}},
        RegionCase{"addInsideSingleKeepsIt", Op::Add, {{0, 0, 10, 10}}, {{2, 2, 4, 4}}, kNone, {}, {0, 0, 10, 10}},
        RegionCase{"addEmpty",
                   Op::Add,
                   {{0, 0, 10, 10}, {20, 0, 30, 10}},
                   {},
                   kNone,
                   {{0, 0, 10, 10}, {20, 0, 30, 10}},
                   {0, 0, 30, 10}},
        RegionCase{"addInterleavedBands",
                   Op::Add,
                   {{0, 0, 4, 10}, {8, 0, 12, 10}},
                   {{2, 5, 10, 15}},
                   kNone,
                   {{0, 0, 4, 5}, {8, 0, 12, 5}, {0, 5, 12, 10}, {2, 10, 10, 15}},
                   {0, 0, 12, 15}},
        RegionCase{"intersectDisjoint", Op::Intersect, {{0, 0, 10, 10}}, {{20, 20, 30, 30}}, kNone, {}, kNone},
        RegionCase{"intersectWithEmpty", Op::Intersect, {{0, 0, 10, 10}, {0, 20, 10, 30}}, {}, kNone, {}, kNone},
        RegionCase{"intersectTwoSingles", Op::Intersect, {{0, 0, 10, 10}}, {{5, 5, 15, 15}}, kNone, {}, {5, 5, 10, 10}},
        RegionCase{"intersectBands",
                   Op::Intersect,
                   {{0, 0, 10, 10}, {20, 0, 30, 10}},
                   {{5, 2, 25, 20}},
                   kNone,
                   {{5, 2, 10, 10}, {20, 2, 25, 10}},
                   {5, 2, 25, 10}},
        RegionCase{"intersectCoalescesToOne",
                   Op::IntersectRect,
                   {{0, 0, 10, 10}, {5, 5, 15, 15}},
                   {},
                   {0, 0, 8, 8},
                   {{0, 0, 8, 8}},
                   {0, 0, 8, 8}},
        RegionCase{"intersectEmptyRect",
                   Op::IntersectRect,
                   {{0, 0, 10, 10}, {5, 5, 15, 15}},
                   {},
                   {3, 3, 3, 9},
                   {},
                   kNone},
        RegionCase{"addFastOverlapping",
                   Op::Build,
                   {{0, 0, 10, 10}, {5, 5, 15, 15}},
                   {},
                   kNone,
                   {{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}},
                   {0, 0, 15, 15}},
        RegionCase{"addFastLeavesLastBandUnmerged",
                   Op::Build,
                   {{0, 0, 10, 10}, {0, 10, 10, 20}},
                   {},
                   kNone,
                   {{0, 0, 10, 10}, {0, 10, 10, 20}},
                   {0, 0, 10, 20}},
        RegionCase{"addFastJoinsThreePieces",
                   Op::Build,
                   {{0, 0, 10, 10}, {0, 20, 10, 30}, {0, 10, 10, 20}},
                   {},
                   kNone,
                   {{0, 0, 10, 30}},
                   {0, 0, 10, 30}},
        RegionCase{"addFastPieceAboveBand",
                   Op::Build,
                   {{0, 10, 10, 20}, {0, 30, 10, 40}, {20, 0, 30, 5}},
                   {},
                   kNone,
                   {{20, 0, 30, 5}, {0, 10, 10, 20}, {0, 30, 10, 40}},
                   {0, 0, 30, 40}},
        RegionCase{"addFastFillsGapsInABand",
                   Op::Build,
                   {{0, 0, 10, 10}, {20, 0, 30, 10}, {12, 0, 18, 10}, {10, 0, 12, 10}},
                   {},
                   kNone,
                   {{0, 0, 18, 10}, {20, 0, 30, 10}},
                   {0, 0, 30, 10}},
        RegionCase{"addFastSplitsBandTwice",
                   Op::Build,
                   {{0, 0, 10, 30}, {20, 0, 30, 30}, {5, 10, 25, 20}},
                   {},
                   kNone,
                   {{0, 0, 10, 10}, {20, 0, 30, 10}, {0, 10, 30, 20}, {0, 20, 10, 30}, {20, 20, 30, 30}},
                   {0, 0, 30, 30}},
        RegionCase{"addFastInsideSingle", Op::Build, {{0, 0, 10, 10}, {2, 2, 5, 5}}, {}, kNone, {}, {0, 0, 10, 10}},
        RegionCase{"addFastCoveringSingle", Op::Build, {{2, 2, 5, 5}, {0, 0, 10, 10}}, {}, kNone, {}, {0, 0, 10, 10}},
        RegionCase{"addFastEmptyRect", Op::Build, {{4, 4, 4, 9}}, {}, kNone, {}, kNone},
        RegionCase{"moveByShiftsItemsAndBounds",
                   Op::MoveBy,
                   {{0, 0, 10, 10}, {5, 5, 15, 15}},
                   {},
                   {3, -2, 0, 0},
                   {{3, -2, 13, 3}, {3, 3, 18, 8}, {8, 8, 18, 13}},
                   {3, -2, 18, 13}},
        RegionCase{"moveByLeavesEmptyRegion", Op::MoveBy, {}, {}, {3, -2, 0, 0}, {}, kNone},
        RegionCase{"copyToReusesAndAppendsItems",
                   Op::CopyToFilled,
                   {{0, 0, 10, 10}, {5, 5, 15, 15}},
                   {},
                   kNone,
                   {{0, 0, 10, 5}, {0, 5, 15, 10}, {5, 10, 15, 15}},
                   {0, 0, 15, 15}},
        RegionCase{"copyToFromEmptyFreesAll", Op::CopyToFilled, {}, {}, kNone, {}, kNone}),
    [](const testing::TestParamInfo<RegionCase>& info) { return std::string(info.param.name); });

TEST_F(RegionPool, CopyFromOneItemRegionKeepsBoundsOnly)
{
    Region one;
    fill(one, {{0, 0, 10, 10}, {5, 5, 15, 15}});
    one.intersect(Rect{0, 0, 8, 8});
    ASSERT_EQ(one.count(), 1);
    Region dest;
    fill(dest, {{0, 0, 1, 1}, {0, 2, 1, 3}});
    one.copyTo(dest);
    EXPECT_EQ(dest.first(), nullptr);
    EXPECT_EQ(dest.count(), 0);
    EXPECT_EQ(dest.bounds(), (Rect{0, 0, 8, 8}));
}

TEST_F(RegionPool, TestRectTellsInsideOutsideAndPartly)
{
    Region gap;
    fill(gap, {{0, 0, 10, 10}, {20, 0, 30, 10}});
    Region stairs;
    fill(stairs, {{0, 0, 10, 10}, {5, 5, 15, 15}});
    Region single;
    fill(single, {{0, 0, 10, 10}});

    struct Case {
        Region const* region;
        Rect probe;
        int expected;
    } cases[] = {
        {&gap, {2, 2, 8, 8}, Region::eInside},
        {&gap, {5, 2, 25, 8}, Region::ePartlyInside}, // straddles the gap
        {&gap, {3, 3, 3, 8}, Region::eOutside}, // empty, inside the bounds
        {&gap, {12, 2, 18, 8}, Region::eOutside}, // in the gap
        {&gap, {40, 0, 50, 10}, Region::eOutside},
        {&gap, {20, 0, 30, 10}, Region::eInside},
        {&stairs, {5, 5, 10, 15}, Region::eInside},
        {&stairs, {0, 0, 15, 15}, Region::ePartlyInside},
        {&stairs, {11, 1, 14, 4}, Region::eOutside},
        {&single, {0, 0, 10, 10}, Region::eInside},
        {&single, {5, 5, 15, 15}, Region::ePartlyInside},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.probe));
        EXPECT_EQ(c.region->testRect(c.probe), c.expected);
    }
}

std::vector<Rect> walk(Region const& region, Rect const& clip, Point const& offset, int* mode = nullptr)
{
    std::vector<Rect> rects;
    Region::const_intersector it(region, clip, offset);
    if (mode)
        *mode = it.mode;
    for (; !it.isDone(); it.advance())
        rects.push_back(it.getRect());
    return rects;
}

TEST_F(RegionPool, IntersectorWalksTheRectanglesMeetingTheClip)
{
    Region stairs;
    fill(stairs, {{0, 0, 10, 10}, {5, 5, 15, 15}});
    Region single;
    fill(single, {{0, 0, 10, 10}});

    struct Case {
        Region const* region;
        Rect clip;
        int mode;
        std::vector<Rect> rects;
    } cases[] = {
        {&stairs, {0, 0, 6, 6}, 1, {{-1, -1, 5, 4}, {-1, 4, 5, 5}}},
        {&stairs, {-5, -5, 20, 20}, 0, {{-1, -1, 9, 4}, {-1, 4, 14, 9}, {4, 9, 14, 14}}},
        {&stairs, {11, 0, 20, 4}, 2, {}}, // beside the items, inside the bounds
        {&stairs, {20, 20, 30, 30}, 2, {}},
        {&single, {5, 5, 20, 20}, 1, {{4, 4, 9, 9}}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.clip));
        int mode = -1;
        EXPECT_EQ(walk(*c.region, c.clip, Point{1, 1}, &mode), c.rects);
        EXPECT_EQ(mode, c.mode);
    }
}

// The result replaces whatever the output held: its former items are used
// again or given back, whether it held more or fewer items than the result.
TEST_F(RegionPool, ResultsReplaceTheItemsOfAFilledOutput)
{
    std::vector<Rect> const a{{0, 0, 4, 10}, {8, 0, 12, 10}, {0, 20, 30, 30}};
    std::vector<Rect> const b{{2, 5, 10, 15}, {5, 25, 40, 40}};
    std::vector<std::vector<Rect>> const formerContents{{},
                                                        {{100, 0, 101, 1}, {100, 2, 101, 3}},
                                                        {{0, 50, 1, 51},
                                                         {2, 50, 3, 51},
                                                         {0, 52, 1, 53},
                                                         {0, 54, 1, 55},
                                                         {0, 56, 1, 57},
                                                         {0, 58, 1, 59},
                                                         {0, 60, 1, 61},
                                                         {0, 62, 1, 63}}};
    for (bool unite : {true, false}) {
        Region first;
        Region second;
        Region expected;
        fill(first, a);
        fill(second, b);
        if (unite)
            Region::add(expected, first, second);
        else
            Region::intersect(expected, first, second);
        for (std::vector<Rect> const& former : formerContents) {
            SCOPED_TRACE(testing::Message() << (unite ? "add" : "intersect") << " over " << former.size());
            Region out;
            fill(out, former);
            if (unite)
                Region::add(out, first, second);
            else
                Region::intersect(out, first, second);
            EXPECT_EQ(itemsOf(out), itemsOf(expected));
            EXPECT_EQ(out.count(), expected.count());
            EXPECT_EQ(out.bounds(), expected.bounds());
            size_t const held = size_t(first.count() + second.count() + expected.count() + out.count());
            EXPECT_EQ(Region::s_heap.usedSlotCount(), held) << "former items given back";
        }
    }
}

TEST_F(RegionPool, ExpropriateMovesTheItemsAndEmptiesTheSource)
{
    Region source;
    fill(source, {{0, 0, 10, 10}, {5, 5, 15, 15}});
    Region::ListItem* items = source.first();
    Region target;
    fill(target, {{40, 40, 50, 50}, {60, 60, 70, 70}});
    target.expropriate(source);
    EXPECT_EQ(target.first(), items);
    EXPECT_EQ(target.count(), 3);
    EXPECT_EQ(target.bounds(), (Rect{0, 0, 15, 15}));
    EXPECT_EQ(source.first(), nullptr);
    EXPECT_EQ(source.count(), 0);
    EXPECT_EQ(source.bounds(), (Rect{0, 0, 0, 0}));
}

TEST(RegionInit, IsCountedAndTheLastStopReleasesThePool)
{
    EXPECT_TRUE(Region::init());
    EXPECT_TRUE(Region::init());
    EXPECT_EQ(Region::s_heap.packetBytes(), 327736u);
    Region::deInit();
    EXPECT_TRUE(Region::s_heap.isConfigured());
    Region::deInit();
    EXPECT_FALSE(Region::s_heap.isConfigured());
    Region::deInit(); // count already 0: nothing
    EXPECT_EQ(Region::s_iInitCnt, 0);
}

} // namespace
