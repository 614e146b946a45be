#include <gtest/gtest.h>

#include "FEN/Picture.h"
#include "PictureTestSupport.h"

namespace CV {
namespace FEN {
namespace {

TEST(Picture, NewPictureIsEmpty)
{
    Picture p;
    EXPECT_EQ(p.getWidth(), 0);
    EXPECT_EQ(p.getHeight(), 0);
    EXPECT_EQ(p.getPixels(), nullptr);
    EXPECT_EQ(p.getCapacity(), 0u);
    EXPECT_FALSE(p.isClipping());
    EXPECT_TRUE(p.getEmptyAreaFlags().empty());
    EXPECT_FALSE(p.setSize(0, 0, false));
    EXPECT_FALSE(p.setSize(0, 0, true));
    EXPECT_EQ(p.getPixels(), nullptr);
}

TEST(Picture, BufferGrowsWhenNeededAndShrinksOnlyWhenForced)
{
    struct Step {
        int w, h;
        bool force;
        bool result;
        uint32_t capacity;
    };
    Step const steps[] = {
        {1, 1, false, true, 4},  {10, 10, false, true, 400}, {5, 5, false, true, 400}, {10, 10, false, true, 400},
        {5, 5, true, true, 100}, {0, 0, false, true, 100},   {0, 0, true, true, 16},
    };
    Picture p;
    for (Step const& s : steps) {
        SCOPED_TRACE(testing::Message() << s.w << "x" << s.h << (s.force ? " forced" : ""));
        EXPECT_EQ(p.setSize(s.w, s.h, s.force), s.result);
        EXPECT_EQ(p.getCapacity(), s.capacity);
        EXPECT_EQ(p.getWidth(), s.w);
        EXPECT_EQ(p.getHeight(), s.h);
    }
}

TEST(Picture, RefusesNegativeAndOversizedPicturesLeavingItUnchanged)
{
    struct Size {
        int w, h;
    };
    Size const refused[] = {
        {-1, 10},
        {10, -1},
        {Picture::kMaxSide + 1, 1},
        {1, Picture::kMaxSide + 1},
        {65536, 65536}, // 16 GiB, and 0 in 32-bit arithmetic
        {46341, 46341}, // wraps a 32-bit byte count
        {Picture::kMaxSide, 2049}, // a side within limits, 256 MiB + 128 KiB in all
        {8193, 8192},
    };
    Picture p;
    ASSERT_TRUE(p.setSize(3, 2));
    uint32_t* pixels = p.getPixels();
    for (Size const& s : refused) {
        SCOPED_TRACE(testing::Message() << s.w << "x" << s.h);
        EXPECT_FALSE(p.setSize(s.w, s.h, true));
        EXPECT_FALSE(p.reallocData(s.w, s.h, false));
        EXPECT_EQ(p.getWidth(), 3);
        EXPECT_EQ(p.getHeight(), 2);
        EXPECT_EQ(p.getPixels(), pixels);
        EXPECT_EQ(p.getCapacity(), 24u);
    }
}

TEST(Picture, SetSizeResetsOriginAndClip)
{
    Picture p;
    p.setSize(10, 10);
    p.setOrigin({3, 4});
    p.setClipRect({1, 1, 4, 4});
    p.setSize(20, 8);
    EXPECT_FALSE(p.isClipping());
    EXPECT_EQ(p.getOrigin().x, 0);
    EXPECT_EQ(p.getOrigin().y, 0);
    EXPECT_EQ(p.getClipRect(), (BAS::Rect{0, 0, 20, 8}));
}

TEST(PictureProperties, SettersAndDefaults)
{
    struct Counting : PictureProperties {
        void propertiesChanged() override { ++changes; }
        int changes = 0;
    } p;
    EXPECT_FALSE(p.hasAlphaChannel());
    EXPECT_EQ(p.getAnimationOrientation(), PictureProperties::eStacked);
    EXPECT_EQ(p.getNumAnimations(), 0u);
    EXPECT_EQ(p.getResizableFlags(), 0u);

    p.setHorizontalAnimation(true);
    EXPECT_EQ(p.getAnimationOrientation(), PictureProperties::eSideBySide);
    p.setHorizontalAnimation(false);
    EXPECT_EQ(p.getAnimationOrientation(), PictureProperties::eStacked);
    p.setVertResizable(true);
    p.setHorzResizable(true);
    EXPECT_EQ(p.getResizableFlags(), 3u);
    p.setHorzResizable(false);
    EXPECT_EQ(p.getResizableFlags(), 1u);
    p.setFixedTop(1);
    p.setFixedBottom(2);
    p.setFixedLeft(3);
    p.setFixedRight(4);
    EXPECT_EQ(p.getFixedTop() * 1000 + p.getFixedBottom() * 100 + p.getFixedLeft() * 10 + p.getFixedRight(), 1234);
    EXPECT_EQ(p.changes, 9);
}

TEST(Picture, FrameSizeFollowsOrientation)
{
    Picture p;
    p.setSize(20, 30);
    EXPECT_EQ(p.getAnimationWidth(), 20);
    EXPECT_EQ(p.getAnimationHeight(), 30);
    p.setNumAnimations(3);
    EXPECT_EQ(p.getAnimationWidth(), 20);
    EXPECT_EQ(p.getAnimationHeight(), 10);
    p.setHorizontalAnimation(true);
    EXPECT_EQ(p.getAnimationWidth(), 6);
    EXPECT_EQ(p.getAnimationHeight(), 30);
}

struct ClipCase {
    const char* name;
    BAS::Point origin;
    BAS::Rect clip;
    BAS::Rect expected;
};

class PictureClip : public testing::TestWithParam<ClipCase> { };

TEST_P(PictureClip, ClipIsLimitedToTheDrawableArea)
{
    Picture p;
    p.setSize(10, 10);
    p.setOrigin(GetParam().origin);
    p.setClipRect(GetParam().clip);
    EXPECT_TRUE(p.isClipping());
    EXPECT_EQ(p.getClipRect(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, PictureClip,
                         testing::Values(ClipCase{"Inside", {0, 0}, {2, 3, 5, 6}, {2, 3, 5, 6}},
                                         ClipCase{"CutToPicture", {0, 0}, {-5, -5, 5, 5}, {0, 0, 5, 5}},
                                         ClipCase{"CutWithOrigin", {3, 3}, {-5, -5, 5, 5}, {0, 0, 5, 5}},
                                         ClipCase{"FarEdgeWithOrigin", {3, 3}, {0, 0, 20, 20}, {0, 0, 7, 7}},
                                         ClipCase{"NegativeOrigin", {-4, 0}, {0, 0, 20, 20}, {4, 0, 14, 10}},
                                         ClipCase{"Outside", {0, 0}, {20, 20, 30, 30}, {0, 0, 0, 0}},
                                         ClipCase{"Reversed", {0, 0}, {5, 5, 2, 2}, {0, 0, 0, 0}},
                                         ClipCase{"OriginBeyondPicture", {10, 0}, {0, 0, 5, 5}, {0, 0, 0, 0}},
                                         ClipCase{"ExtremeOrigin",
                                                  {INT32_MIN, INT32_MAX},
                                                  {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
                                                  {0, 0, 0, 0}}),
                         [](testing::TestParamInfo<ClipCase> const& info) { return std::string(info.param.name); });

TEST(Picture, ClipOnEmptyPictureClipsEverything)
{
    Picture p;
    p.setClipRect({0, 0, 10, 10});
    EXPECT_TRUE(p.isClipping());
    EXPECT_EQ(p.getClipRect(), (BAS::Rect{0, 0, 0, 0}));
}

TEST(Picture, OriginMovesKeepTheClipOnTheSamePixels)
{
    struct Case {
        BAS::Point origin;
        BAS::Rect expected;
    };
    Case const cases[] = {{{2, 2}, {0, 0, 6, 6}}, {{-2, -1}, {2, 1, 10, 9}}, {{0, 0}, {0, 0, 8, 8}}};
    for (Case const& c : cases) {
        Picture p;
        p.setSize(10, 10);
        p.setClipRect({0, 0, 8, 8});
        p.setOrigin(c.origin);
        EXPECT_EQ(p.getClipRect(), c.expected);
    }
    Picture unclipped;
    unclipped.setSize(10, 10);
    unclipped.setOrigin({2, 2});
    EXPECT_FALSE(unclipped.isClipping());
    EXPECT_EQ(unclipped.getClipRect(), (BAS::Rect{0, 0, 10, 10}));
    unclipped.resetClipRect();
    EXPECT_EQ(unclipped.getOrigin().x, 2);
}

TEST(Picture, CheckClipRect)
{
    struct Case {
        BAS::Rect in;
        bool result;
        BAS::Rect out;
        int dx, dy;
    };
    Case const cases[] = {
        {{0, 0, 10, 10}, true, {2, 2, 10, 10}, -2, -2}, {{10, 10, 0, 0}, true, {10, 10, 2, 2}, -2, -2},
        {{5, 0, 30, 3}, true, {5, 2, 20, 3}, 0, -2},    {{4, 4, 6, 6}, true, {4, 4, 6, 6}, 0, 0},
        {{30, 30, 40, 40}, false, {0, 0, 0, 0}, 0, 0},  {{5, 5, 5, 9}, false, {0, 0, 0, 0}, 0, 0},
        {{8, 30, 0, 1}, true, {8, 20, 2, 2}, -2, -1},
    };
    Picture p;
    p.setSize(30, 30);
    p.setClipRect({2, 2, 20, 20});
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.in);
        BAS::Rect r = c.in;
        int dx = 99, dy = 99;
        EXPECT_EQ(p.checkClipRect(r, &dx, &dy), c.result);
        EXPECT_EQ(r, c.out);
        EXPECT_EQ(dx, c.dx);
        EXPECT_EQ(dy, c.dy);
        r = c.in;
        EXPECT_EQ(p.checkClipRect(r, nullptr, nullptr), c.result);
    }
}

// Two stacked 4 x 4 frames, resizable with all borders 1.
void makeNinePatchStrip(Picture& p)
{
    test::fill(p, 4, 8, 0x00FFFFFF);
    p.setAlphaChannel(true);
    p.setNumAnimations(2);
    p.setVertResizable(true);
    p.setHorzResizable(true);
    p.setFixedTop(1);
    p.setFixedBottom(1);
    p.setFixedLeft(1);
    p.setFixedRight(1);
}

TEST(Picture, EmptyAreaMasksPerFrame)
{
    struct Case {
        const char* name;
        int x, y; // one visible pixel, or none when x < 0
        std::vector<uint32_t> masks;
    };
    Case const cases[] = {
        {"AllTransparent", -1, 0, {511, 511}},
        {"CentreOfSecondFrame", 1, 5, {511, 511 - 16}},
        {"RightEdgeOfFirstFrame", 3, 2, {511 - 32, 511}},
        {"BottomRightCorner", 3, 7, {511, 511 - 256}},
        {"CentreColumnOfTopBand", 2, 0, {511 - 2, 511}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Picture p;
        makeNinePatchStrip(p);
        if (c.x >= 0)
            p.pixelRow(c.y)[c.x] = 0x01000000;
        p.initEmptyAreaFlags();
        EXPECT_EQ(p.getEmptyAreaFlags(), c.masks);
    }
}

TEST(Picture, EmptyAreaMasksNeedAlphaResizingAndACentre)
{
    Picture p;
    makeNinePatchStrip(p);
    p.setAlphaChannel(false);
    p.initEmptyAreaFlags();
    EXPECT_TRUE(p.getEmptyAreaFlags().empty());

    makeNinePatchStrip(p);
    p.setFixedLeft(2);
    p.setFixedRight(2); // no centre column left
    p.initEmptyAreaFlags();
    EXPECT_TRUE(p.getEmptyAreaFlags().empty());

    makeNinePatchStrip(p);
    p.setFixedTop(-3); // from a bad style sheet
    p.initEmptyAreaFlags();
    EXPECT_TRUE(p.getEmptyAreaFlags().empty());

    makeNinePatchStrip(p);
    p.setVertResizable(false);
    p.setHorzResizable(false);
    p.initEmptyAreaFlags();
    EXPECT_TRUE(p.getEmptyAreaFlags().empty());

    makeNinePatchStrip(p);
    p.setNumAnimations(100); // frames of no height
    p.initEmptyAreaFlags();
    EXPECT_TRUE(p.getEmptyAreaFlags().empty());
}

} // namespace
} // namespace FEN
} // namespace CV
