#include <gtest/gtest.h>

#include <algorithm>

#include "FEN/Picture.h"
#include "FEN/PictureCombiner.h"
#include "PictureTestSupport.h"

namespace CV {
namespace FEN {
namespace {

using test::at;
using test::positionPixel;
using Copy = PictureCombinerFunctors::CopySource;
using Blend = PictureCombinerFunctors::BlendUsingAlpha;
using Dye = PictureCombinerFunctors::DyeUsingAlphaMask;

// Checks that target pixel (x, y) holds source pixel map(x, y) inside the
// area and the background elsewhere.
template <class Map> void expectMapped(Picture const& target, BAS::Rect area, uint32_t background, Map map)
{
    for (int y = 0; y < target.getHeight(); ++y)
        for (int x = 0; x < target.getWidth(); ++x) {
            bool const inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
            uint32_t const expected = inside ? map(x, y) : background;
            ASSERT_EQ(at(target, x, y), expected) << "at " << x << "," << y;
        }
}

TEST(PictureCompositing, FramesOfAnimatedPictures)
{
    struct Case {
        const char* name;
        int w, h, frames;
        bool sideBySide;
        unsigned frame;
        bool withRect;
        BAS::Rect sourceRect;
        BAS::Rect drawn; // in the target, drawn at (1, 1)
        int sx, sy; // source of the first pixel drawn
    };
    Case const cases[] = {
        {"StackedFrameClamped", 20, 30, 3, false, 5, false, {}, {1, 1, 21, 11}, 0, 20},
        {"SideBySideWithRect", 20, 10, 2, true, 1, true, {2, 2, 6, 6}, {1, 1, 5, 5}, 12, 2},
        {"SingleFrameWholePicture", 6, 5, 0, false, 3, false, {}, {1, 1, 7, 6}, 0, 0},
        {"RectBeyondStripIsCut", 8, 8, 2, false, 1, true, {4, 2, 12, 12}, {1, 1, 5, 3}, 4, 6},
        {"RectLeftOfStripIsCut", 8, 8, 2, true, 0, true, {-3, 0, 2, 1}, {4, 1, 6, 2}, 0, 0},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Picture source;
        test::fillWithPositions(source, c.w, c.h);
        source.setNumAnimations(c.frames);
        source.setHorizontalAnimation(c.sideBySide);
        Picture target;
        test::fill(target, 30, 30, 0);
        target.putPicture<Copy>(1, 1, source, c.frame, c.withRect ? &c.sourceRect : nullptr);
        expectMapped(target, c.drawn, 0,
                     [&](int x, int y) { return positionPixel(c.sx + x - c.drawn.left, c.sy + y - c.drawn.top); });
    }
}

TEST(PictureCompositing, FrameOffsetBeyondPictureDrawsNothing)
{
    Picture source;
    test::fillWithPositions(source, 4, 4);
    source.setNumAnimations(2);
    BAS::Rect const beyond{0, 3, 4, 4}; // moved to row 5 of frame 1
    Picture target;
    test::fill(target, 8, 8, 0);
    target.putPicture<Copy>(0, 0, source, 1, &beyond);
    target.putPicture<Blend>(0, 0, source, 1, &beyond);
    expectMapped(target, {0, 0, 0, 0}, 0, [](int, int) { return 0u; });
}

TEST(PictureCompositing, CopyModes)
{
    struct Case {
        const char* name;
        bool alpha, legacySource, legacyTarget;
        uint32_t source, target, expected;
    };
    Case const cases[] = {
        {"VerbatimWithoutAlphaChannel", false, false, false, 0x40FF0000, 0xFF0000FF, 0x40FF0000},
        {"CompositedWithAlpha", true, false, false, 0x80FF0000, 0xFF000000, 0xFF800000},
        {"CompositedInvisible", true, false, false, 0x00FF0000, 0xFF102030, 0xFF102030},
        {"LegacySource", true, true, false, 0x80FF0000, 0xFF0000FF, 0x807F007E},
        {"LegacyTarget", true, false, true, 0x80FF0000, 0xFF0000FF, 0x807F007E},
        {"LegacyOpaque", true, true, false, 0xFFFF0000, 0xFF0000FF, 0xFFFF0000},
        {"LegacyInvisible", true, false, true, 0x00FF0000, 0xFF0000FF, 0xFF0000FF},
        {"LegacyWithoutAlphaChannel", false, true, true, 0x40FF0000, 0xFF0000FF, 0x40FF0000},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Picture source, target;
        test::fill(source, 3, 2, c.source);
        source.setAlphaChannel(c.alpha);
        source.setUseLegacyAlphaCompositing(c.legacySource);
        test::fill(target, 5, 4, c.target);
        target.setUseLegacyAlphaCompositing(c.legacyTarget);
        target.putPicture<Copy>(1, 1, source, 0, nullptr);
        expectMapped(target, {1, 1, 4, 3}, c.target, [&](int, int) { return c.expected; });
    }
}

TEST(PictureCompositing, BlendAndDye)
{
    struct Case {
        const char* name;
        bool dye;
        uint32_t colour; // the dye colour
        uint32_t source, target, expected;
    };
    Case const cases[] = {
        {"BlendOntoTransparent", false, 0, 0xFFFF0000, 0x00000000, 0x00000000},
        {"BlendOntoHalfAlpha", false, 0, 0xFFFF0000, 0x80000000, 0x80800000},
        {"BlendOpaque", false, 0, 0xFF123456, 0xFF000000, 0xFF123456},
        {"BlendInvisibleSource", false, 0, 0x00FFFFFF, 0xFF102030, 0xFF102030},
        {"DyeThroughOpaqueMask", true, 0xFF00FF00, 0xFF000000, 0xFF000000, 0xFF00FF00},
        {"DyeThroughInvisibleMask", true, 0xFF00FF00, 0x00FFFFFF, 0xFF000000, 0xFF000000},
        {"DyeIgnoresMaskColour", true, 0xFF00FF00, 0xFFFF00FF, 0x7F000000, 0x7F00FF00},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Picture source, target;
        test::fill(source, 4, 4, c.source);
        source.setAlphaChannel(true);
        test::fill(target, 6, 6, c.target);
        if (c.dye) {
            Dye dye(c.colour);
            PictureCombiner<Dye>(target, dye).combine(1, 1, 4, 4, source, 0, 0);
        } else {
            target.putPicture<Blend>(1, 1, source, 0, nullptr);
        }
        expectMapped(target, {1, 1, 5, 5}, c.target, [&](int, int) { return c.expected; });
    }
}

TEST(PictureCompositing, BlendWithinOnePicture)
{
    Picture p;
    test::fillWithPositions(p, 8, 1);
    p.setAlphaChannel(true);
    // Overlapping areas of the same row: read and written pixel by pixel.
    PictureCombiner<Blend>(p, Blend()).combine(1, 0, 7, 1, p, 0, 0);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(at(p, x, 0), positionPixel(0, 0)) << x;
}

TEST(PictureCompositing, CombineClipsAndMovesTheSource)
{
    Picture source;
    test::fillWithPositions(source, 10, 10);
    Picture target;
    test::fill(target, 12, 12, 0);
    target.setOrigin({1, 0});
    target.setClipRect({2, 3, 6, 20});
    PictureCombiner<Copy>(target, Copy()).combine(0, 0, 10, 10, source, 0, 0);
    expectMapped(target, {3, 3, 7, 10}, 0, [](int x, int y) { return positionPixel(x - 1, y); });
}

TEST(PictureCompositing, TilingKeepsItsPhaseUnderTheClip)
{
    Picture tile;
    test::fillWithPositions(tile, 4, 4);
    Picture target;
    test::fill(target, 12, 6, 0);
    target.setClipRect({3, 0, 10, 4});
    PictureCombiner<Copy>(target, Copy()).combineAndRepeatSource(0, 0, 10, 4, tile, 0, 0, 4, 4);
    int const tileColumn[] = {3, 0, 1, 2, 3, 0, 1};
    expectMapped(target, {3, 0, 10, 4}, 0, [&](int x, int y) { return positionPixel(tileColumn[x - 3], y); });
}

TEST(PictureCompositing, TilingFromASourceArea)
{
    Picture source;
    test::fillWithPositions(source, 8, 8);
    Picture target;
    test::fill(target, 9, 7, 0);
    target.setClipRect({0, 2, 9, 7});
    // Tile (2, 3, 3, 2) over (1, 1, 7, 5); rows above 2 are clipped away.
    PictureCombiner<Copy>(target, Copy()).combineAndRepeatSource(1, 1, 7, 5, source, 2, 3, 3, 2);
    expectMapped(target, {1, 2, 8, 6}, 0, [](int x, int y) { return positionPixel(2 + (x - 1) % 3, 3 + (y - 1) % 2); });

    test::fill(target, 9, 7, 0);
    PictureCombiner<Copy>(target, Copy()).combineAndRepeatSourceUnclipped(1, 1, 7, 5, source, 2, 3, 3, 2, 4, 4);
    expectMapped(target, {1, 1, 8, 6}, 0, [](int x, int y) { return positionPixel(2 + (x + 1) % 3, 3 + y % 2); });
}

// Long tiled areas give the pixels of drawing every target pixel on its
// own from its tile pixel: translucent and opaque sources, blending, and a
// tile reaching past the source's pixels (whose outside part draws nothing).
TEST(PictureCompositing, LongTiledAreasGiveThePixelsOfTheirTiles)
{
    struct Case {
        const char* name;
        bool alpha;
        bool blend;
        int sx, sy, tw, th;
    };
    Case const cases[] = {
        {"opaque", false, false, 2, 3, 3, 2},
        {"translucent", true, false, 2, 3, 3, 2},
        {"blended", true, true, 1, 1, 2, 5},
        {"pastTheSource", true, false, 6, 6, 4, 4},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Picture source;
        source.setSize(8, 8, true);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                source.pixelRow(y)[x] = (c.alpha ? uint32_t(37 * x + 53 * y) % 256 : 0xFFu) << 24 |
                    uint32_t(x * 31) << 16 | uint32_t(y * 29) << 8 | uint32_t(x * y * 3);
        source.setAlphaChannel(c.alpha);
        BAS::Rect const area{2, 1, 290, 97};
        Picture tiled, single;
        test::fill(tiled, 300, 100, 0x80336699);
        test::fill(single, 300, 100, 0x80336699);
        auto draw = [&](auto functor) {
            using F = decltype(functor);
            PictureCombiner<F>(tiled, functor)
                .combineAndRepeatSourceUnclipped(area.left, area.top, area.right - area.left, area.bottom - area.top,
                                                 source, c.sx, c.sy, c.tw, c.th, c.sx + 1, c.sy + 1);
            PictureCombiner<F> one(single, functor);
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x)
                    one.combine(x, y, 1, 1, source, c.sx + (x - area.left + 1) % c.tw,
                                c.sy + (y - area.top + 1) % c.th);
        };
        if (c.blend)
            draw(Blend());
        else
            draw(Copy());
        for (int y = 0; y < 100; ++y)
            ASSERT_TRUE(std::equal(tiled.pixelRow(y), tiled.pixelRow(y) + 300, single.pixelRow(y))) << "row " << y;
    }
}

TEST(PictureCompositing, EmptyTilesDrawNothing)
{
    Picture tile;
    test::fillWithPositions(tile, 4, 4);
    Picture target;
    test::fill(target, 8, 8, 0);
    PictureCombiner<Copy> combiner(target, Copy());
    int const sizes[][2] = {{0, 4}, {4, 0}, {0, 0}, {-4, 4}, {4, -1}};
    for (auto const& s : sizes) {
        combiner.combineAndRepeatSource(0, 0, 8, 8, tile, 0, 0, s[0], s[1]);
        combiner.combineAndRepeatSourceUnclipped(0, 0, 8, 8, tile, 0, 0, s[0], s[1], 0, 0);
        target.setClipRect({0, 0, 8, 8});
        combiner.combineAndRepeatSource(0, 0, 8, 8, tile, 0, 0, s[0], s[1]);
        target.resetClipRect();
    }
    expectMapped(target, {0, 0, 0, 0}, 0, [](int, int) { return 0u; });
}

// A resizable frame of 9 x 9 with all borders 3.
void makeNinePatch(Picture& p, int frames = 1)
{
    test::fillWithPositions(p, 9, 9 * frames);
    p.setNumAnimations(frames);
    p.setVertResizable(true);
    p.setHorzResizable(true);
    p.setFixedTop(3);
    p.setFixedBottom(3);
    p.setFixedLeft(3);
    p.setFixedRight(3);
}

TEST(PictureCompositing, NinePatchStretchedWider)
{
    Picture source;
    makeNinePatch(source);
    Picture target;
    test::fill(target, 17, 11, 0);
    target.putStretched<Copy>({1, 1, 16, 10}, source, 0, nullptr);

    // Expected, row by row: the source column of every target column.
    int const column[15] = {0, 1, 2, 3, 4, 5, 3, 4, 5, 3, 4, 5, 6, 7, 8};
    Picture expected;
    test::fill(expected, 17, 11, 0);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 15; ++x)
            expected.pixelRow(y + 1)[x + 1] = positionPixel(column[x], y);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 17; ++x)
            ASSERT_EQ(at(target, x, y), at(expected, x, y)) << x << "," << y;
}

TEST(PictureCompositing, NinePatchTilesBothWaysFromTheSelectedFrame)
{
    Picture source;
    makeNinePatch(source, 2);
    Picture target;
    test::fill(target, 13, 14, 0);
    target.putStretched<Copy>({0, 0, 13, 14}, source, 7, nullptr);
    // Width 13: 3 + centre 7 (3, 3, 1) + 3; height 14: 3 + centre 8 (3, 3, 2) + 3.
    auto sourceOf = [](int t, int size) { return t < 3 ? t : t >= size - 3 ? t - (size - 9) : 3 + (t - 3) % 3; };
    expectMapped(target, {0, 0, 13, 14}, 0,
                 [&](int x, int y) { return positionPixel(sourceOf(x, 13), 9 + sourceOf(y, 14)); });
}

TEST(PictureCompositing, NinePatchCornersKeepTheirSizeInSmallRectangles)
{
    Picture source;
    makeNinePatch(source);
    Picture target;
    test::fill(target, 10, 10, 0);
    BAS::Rect const clip{0, 0, 10, 10};
    target.putStretched<Copy>({2, 2, 6, 6}, source, 0, &clip);
    // The corners overlap; the right and bottom ones, drawn last, start one
    // pixel in: offset 0 shows the left (top) corner, offsets 1..3 source
    // columns (rows) 6..8.
    auto sourceOf = [](int offset) { return offset == 0 ? 0 : offset + 5; };
    expectMapped(target, {2, 2, 6, 6}, 0,
                 [&](int x, int y) { return positionPixel(sourceOf(x - 2), sourceOf(y - 2)); });
}

TEST(PictureCompositing, NotResizableIsDrawnWhole)
{
    Picture source;
    test::fillWithPositions(source, 6, 6);
    Picture target;
    test::fill(target, 10, 10, 0);
    target.putStretched<Copy>({1, 1, 3, 3}, source, 0, nullptr);
    expectMapped(target, {1, 1, 7, 7}, 0, [](int x, int y) { return positionPixel(x - 1, y - 1); });

    test::fill(target, 10, 10, 0);
    BAS::Rect const clip{0, 0, 4, 5};
    target.putStretched<Copy>({1, 1, 3, 3}, source, 0, &clip);
    expectMapped(target, {1, 1, 4, 5}, 0, [](int x, int y) { return positionPixel(x - 1, y - 1); });
}

TEST(PictureCompositing, StretchingRestoresTheClipState)
{
    Picture source;
    makeNinePatch(source);
    for (bool clipping : {false, true})
        for (bool resizable : {false, true})
            for (bool withClip : {false, true}) {
                SCOPED_TRACE(testing::Message() << clipping << resizable << withClip);
                source.setVertResizable(resizable);
                source.setHorzResizable(resizable);
                Picture target;
                test::fill(target, 20, 20, 0);
                if (clipping)
                    target.setClipRect({1, 2, 15, 16});
                BAS::Rect const before = target.getClipRect();
                BAS::Rect const clip{4, 4, 30, 30};
                target.putStretched<Blend>({0, 0, 18, 18}, source, 0, withClip ? &clip : nullptr);
                EXPECT_EQ(target.isClipping(), clipping);
                EXPECT_EQ(target.getClipRect(), before);
            }
}

TEST(PictureCompositing, NinePatchSkipsEmptyAreas)
{
    // A frame whose centre is transparent: compositing it would still change
    // translucent target pixels, so a skipped centre leaves them alone.
    Picture source;
    makeNinePatch(source);
    source.setAlphaChannel(true);
    for (int y = 3; y < 6; ++y)
        for (int x = 3; x < 6; ++x)
            source.pixelRow(y)[x] = 0x00FFFFFF;
    source.initEmptyAreaFlags();
    ASSERT_EQ(source.getEmptyAreaFlags(), std::vector<uint32_t>{16});
    Picture target;
    test::fill(target, 15, 9, 0x80402010);
    target.putStretched<Copy>({0, 0, 15, 9}, source, 0, nullptr);
    for (int y = 3; y < 6; ++y)
        for (int x = 3; x < 12; ++x)
            EXPECT_EQ(at(target, x, y), 0x80402010u) << x << "," << y;
    EXPECT_EQ(at(target, 0, 0), positionPixel(0, 0));
}

TEST(PictureCompositing, DyeThroughANinePatchMask)
{
    Picture mask;
    makeNinePatch(mask);
    mask.setAlphaChannel(true);
    mask.clear(0xFF000000);
    Picture target;
    test::fill(target, 20, 12, 0xFF000000);
    Dye dye(0xFF00FF00);
    BAS::Rect const clip{2, 2, 30, 30};
    PictureCombiner<Dye>(target, dye).combineStretchedApplySourceAnimation({0, 0, 15, 9}, mask, 0, &clip);
    expectMapped(target, {2, 2, 15, 9}, 0xFF000000, [](int, int) { return 0xFF00FF00u; });
}

// Sources from style sheets may describe areas beyond the picture: frames,
// rectangles, tiles and borders that do not fit. The target's memory stays
// untouched around its pixels; the sanitizer build watches the reads.
TEST(PictureCompositing, OutOfRangeAreasStayInsideBothPictures)
{
    int const big = INT32_MAX, small = INT32_MIN;
    struct Call {
        const char* name;
        void (*run)(Picture& target, Picture const& source);
    };
    Call const calls[] = {
        {"CopyBeyond", [](Picture& t, Picture const& s) { t.copyAreaUC(-3, -3, 50, 50, s, -2, 1); }},
        {"CopyFarSource", [](Picture& t, Picture const& s) { t.copyAreaUC(0, 0, 5, 5, s, big - 2, small); }},
        {"CopyExtreme", [](Picture& t, Picture const& s) { t.copyAreaUC(small, small, big, big, s, small, small); }},
        {"CopyNegativeSize", [](Picture& t, Picture const& s) { t.copyAreaUC(4, 4, -3, -9, s, 0, 0); }},
        {"PutBeyond", [](Picture& t, Picture const& s) { t.putPicture<Copy>(5, 2, s, 0, nullptr); }},
        {"PutRectBeyond",
         [](Picture& t, Picture const& s) {
             BAS::Rect const r{-4, -4, big, big};
             t.putPicture<Blend>(-2, -2, s, 9, &r);
         }},
        {"PutReversedRect",
         [](Picture& t, Picture const& s) {
             BAS::Rect const r{6, 6, -6, -6};
             t.putPicture<Copy>(1, 1, s, 0, &r);
         }},
        {"TileBeyond",
         [](Picture& t, Picture const& s) {
             PictureCombiner<Copy>(t, Copy()).combineAndRepeatSource(-5, -5, 40, 40, s, 3, 3, 20, 20);
         }},
        {"TileUnclippedOddStart",
         [](Picture& t, Picture const& s) {
             PictureCombiner<Blend>(t, Blend())
                 .combineAndRepeatSourceUnclipped(-1, -1, 30, 30, s, -2, -2, 3, 5, small, big);
         }},
        {"TileHuge",
         [](Picture& t, Picture const& s) {
             PictureCombiner<Copy>(t, Copy()).combineAndRepeatSource(small, small, big, big, s, 0, 0, 1, 1);
         }},
        {"StretchHugeBorders",
         [](Picture& t, Picture const& s) {
             Picture p;
             test::fillWithPositions(p, 6, 6);
             p.setVertResizable(true);
             p.setHorzResizable(true);
             p.setFixedLeft(big);
             p.setFixedRight(small);
             p.setFixedTop(-2);
             t.putStretched<Copy>({-3, -3, 40, 40}, p, 0, nullptr);
             (void)s;
         }},
        {"StretchFramesBeyond",
         [](Picture& t, Picture const& s) {
             Picture p;
             test::fillWithPositions(p, 6, 7);
             p.setNumAnimations(2);
             p.setVertResizable(true);
             p.setHorzResizable(true);
             p.setFixedLeft(1);
             p.setFixedBottom(1);
             t.putStretched<Blend>({small, -1, big, 9}, p, 4, nullptr);
             (void)s;
         }},
        {"Dye",
         [](Picture& t, Picture const& s) {
             Dye dye(0x80FF00FF);
             PictureCombiner<Dye>(t, dye).combine(-8, 3, 30, 30, s, -1, 2);
         }},
    };
    BAS::Point const origins[] = {{0, 0}, {2, 3}, {-3, -1}};
    for (Call const& call : calls) {
        for (BAS::Point origin : origins) {
            for (bool clip : {false, true}) {
                SCOPED_TRACE(testing::Message()
                             << call.name << " origin " << origin.x << "," << origin.y << (clip ? " clipped" : ""));
                test::GuardedPicture g(7, 5, 0xFF000000);
                g.picture.setOrigin(origin);
                if (clip)
                    g.picture.setClipRect({small, small, big, big});
                Picture source;
                test::fillWithPositions(source, 8, 6);
                source.setAlphaChannel(true);
                source.setOrigin(origin);
                call.run(g.picture, source);
                EXPECT_TRUE(g.intact());
            }
        }
    }
}

} // namespace
} // namespace FEN
} // namespace CV
