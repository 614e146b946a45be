#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <utility>

#include "FEN/Picture.h"
#include "PictureTestSupport.h"

namespace CV {
namespace FEN {
namespace {

using test::at;
using test::grid;
using Grid = std::vector<std::string>;

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kHalfRed = 0x80FF0000u;
constexpr uint32_t kBlack = 0xFF000000u;

TEST(PictureDrawing, SetPixelComposites)
{
    struct Case {
        const char* name;
        bool legacy;
        uint32_t pixel, colour, expected;
    };
    Case const cases[] = {
        {"Opaque", false, 0x12345678, 0xFF00FF00, 0xFF00FF00},
        {"HalfRedOverBlack", false, kBlack, kHalfRed, 0xFF800000},
        {"InvisibleKeepsVisiblePixel", false, 0x80123456, 0x00FF0000, 0x80123456},
        {"InvisibleClearsTransparentPixel", false, 0x00123456, 0x00FF0000, 0x00000000},
        {"OverTransparentKeepsColour", false, 0x00000000, kHalfRed, kHalfRed},
        {"LegacyBlend", true, 0xFF0000FF, kHalfRed, 0x007F007F},
        {"LegacyInvisible", true, 0xFF0000FF, 0x00FF0000, 0xFF0000FF},
        {"LegacyOpaque", true, 0xFF0000FF, kRed, kRed},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        Picture p;
        test::fill(p, 2, 2, c.pixel);
        p.setUseLegacyAlphaCompositing(c.legacy);
        p.setPixelUC(1, 1, c.colour);
        EXPECT_EQ(at(p, 1, 1), c.expected);
        EXPECT_EQ(at(p, 0, 1), c.pixel);
    }
}

// Each drawing call on a 6 x 4 picture (black background is '.').
struct ShapeCase {
    const char* name;
    void (*draw)(Picture&);
    Grid expected;
};

class PictureShapes : public testing::TestWithParam<ShapeCase> { };

TEST_P(PictureShapes, DrawsExactlyThesePixels)
{
    Picture p;
    test::fill(p, 6, 4, 0);
    GetParam().draw(p);
    EXPECT_EQ(grid(p), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, PictureShapes,
                         testing::Values(ShapeCase{"LineH",
                                                   [](Picture& p) { p.drawLineH(2, 2, 3, kRed); },
                                                   {"......", "......", "..###.", "......"}},
                                         ShapeCase{"LineHZero",
                                                   [](Picture& p) { p.drawLineH(2, 2, 0, kRed); },
                                                   {"......", "......", "......", "......"}},
                                         ShapeCase{"LineHNegativeGoesLeft",
                                                   [](Picture& p) { p.drawLineH(5, 1, -3, kRed); },
                                                   {"......", "..###.", "......", "......"}},
                                         ShapeCase{"LineHInvisible",
                                                   [](Picture& p) { p.drawLineH(0, 0, 6, 0x00FF0000); },
                                                   {"......", "......", "......", "......"}},
                                         ShapeCase{"LineHUCNegativeDrawsNothing",
                                                   [](Picture& p) { p.drawLineHUC(5, 1, -3, kRed); },
                                                   {"......", "......", "......", "......"}},
                                         ShapeCase{"LineVNegativeGoesUp",
                                                   [](Picture& p) { p.drawLineV(1, 4, -2, kRed); },
                                                   {"......", "......", ".#....", ".#...."}},
                                         ShapeCase{"LineHClipped",
                                                   [](Picture& p) {
                                                       p.setClipRect({1, 0, 4, 4});
                                                       p.drawLineH(-3, 3, 20, kRed);
                                                       p.drawLineV(0, 0, 4, kRed);
                                                   },
                                                   {"......", "......", "......", ".###.."}},
                                         ShapeCase{"LineVWithOrigin",
                                                   [](Picture& p) {
                                                       p.setOrigin({2, 1});
                                                       p.drawLineV(0, -1, 10, kRed);
                                                   },
                                                   {"..#...", "..#...", "..#...", "..#..."}},
                                         ShapeCase{"RectangleOneRow",
                                                   [](Picture& p) { p.drawRectangle(0, 0, 4, 1, kRed); },
                                                   {"####..", "......", "......", "......"}},
                                         ShapeCase{"RectangleTwoRows",
                                                   [](Picture& p) { p.drawRectangle(0, 0, 4, 2, kRed); },
                                                   {"####..", "####..", "......", "......"}},
                                         ShapeCase{"RectangleOutline",
                                                   [](Picture& p) { p.drawRectangle(1, 0, 4, 4, kRed); },
                                                   {".####.", ".#..#.", ".#..#.", ".####."}},
                                         ShapeCase{"RectangleOneColumn",
                                                   [](Picture& p) { p.drawRectangle(2, 0, 1, 4, kRed); },
                                                   {"..#...", "..#...", "..#...", "..#..."}},
                                         ShapeCase{"RectangleZeroWidth",
                                                   [](Picture& p) { p.drawRectangle(2, 0, 0, 4, kRed); },
                                                   {"......", "......", "......", "......"}},
                                         ShapeCase{"RectangleZeroHeight",
                                                   [](Picture& p) { p.drawRectangle(2, 1, 3, 0, kRed); },
                                                   {"......", "......", "......", "......"}},
                                         ShapeCase{"RectangleNegativeSizeMirrored",
                                                   [](Picture& p) { p.drawRectangle(4, 3, -3, -3, kRed); },
                                                   {".###..", ".#.#..", ".###..", "......"}},
                                         ShapeCase{"RectangleCutByClip",
                                                   [](Picture& p) {
                                                       p.setClipRect({0, 1, 4, 4});
                                                       p.drawRectangle(1, 0, 5, 3, kRed);
                                                   },
                                                   {"......", ".#....", ".###..", "......"}},
                                         ShapeCase{"RectangleCutToOneRowOfItsBottom",
                                                   [](Picture& p) {
                                                       p.setClipRect({0, 2, 6, 3});
                                                       p.drawRectangle(1, 0, 4, 3, kRed);
                                                   },
                                                   {"......", "......", ".####.", "......"}},
                                         ShapeCase{"RectangleBeyondPictureWithoutClip",
                                                   [](Picture& p) { p.drawRectangle(-1, 1, 9, 9, kRed); },
                                                   {"......", "######", "......", "......"}},
                                         ShapeCase{"FillClipped",
                                                   [](Picture& p) {
                                                       p.setClipRect({1, 1, 10, 10});
                                                       p.fillArea(0, 0, 3, 3, kRed);
                                                   },
                                                   {"......", ".##...", ".##...", "......"}},
                                         ShapeCase{"FillNegativeMirrored",
                                                   [](Picture& p) { p.fillArea(6, 4, -2, -3, kRed); },
                                                   {"......", "....##", "....##", "....##"}},
                                         ShapeCase{"FillFullWidthFromColumnTwo",
                                                   [](Picture& p) { p.fillAreaUC(2, 1, 6, 2, kRed); },
                                                   {"......", "..####", "..####", "......"}},
                                         ShapeCase{"FillFullWidthFromColumnTwoTranslucent",
                                                   [](Picture& p) { p.fillAreaUC(2, 1, 6, 2, kHalfRed); },
                                                   {"......", "..####", "..####", "......"}},
                                         ShapeCase{"FillFullRowsTranslucent",
                                                   [](Picture& p) { p.fillArea(0, 2, 6, 5, kHalfRed); },
                                                   {"......", "......", "######", "######"}},
                                         ShapeCase{"InvertWithOriginAndClip",
                                                   [](Picture& p) {
                                                       p.setOrigin({1, 1});
                                                       p.setClipRect({0, 0, 2, 2});
                                                       p.invertArea(-1, -1, 10, 10);
                                                   },
                                                   {"......", ".##...", ".##...", "......"}},
                                         ShapeCase{"SetAreaColorCutToPicture",
                                                   [](Picture& p) {
                                                       p.setAreaColor({4, -3, 9, 2}, 0x00000001);
                                                   },
                                                   {"....##", "....##", "......", "......"}},
                                         ShapeCase{"LineEndExcluded",
                                                   [](Picture& p) { p.drawLine(0, 0, 3, 0, kRed); },
                                                   {"###...", "......", "......", "......"}},
                                         ShapeCase{"LineZeroLength",
                                                   [](Picture& p) { p.drawLine(1, 1, 1, 1, kRed); },
                                                   {"......", "......", "......", "......"}},
                                         ShapeCase{"LineDiagonalClipped",
                                                   [](Picture& p) {
                                                       p.setClipRect({1, 0, 3, 4});
                                                       p.drawLine(0, 0, 4, 4, kRed);
                                                   },
                                                   {"......", ".#....", "..#...", "......"}},
                                         ShapeCase{"LineSteep",
                                                   [](Picture& p) { p.drawLine(0, 0, 2, 4, kRed); },
                                                   {"#.....", ".#....", ".#....", "..#..."}}),
                         [](testing::TestParamInfo<ShapeCase> const& info) { return std::string(info.param.name); });

TEST(PictureDrawing, TranslucentRunsCompositeEachPixelOnce)
{
    // Over opaque black, a half-transparent red gives 0xFF800000 once and a
    // darker red when applied twice.
    struct Case {
        const char* name;
        void (*draw)(Picture&);
        int pixels;
    };
    Case const cases[] = {
        {"LineH", [](Picture& p) { p.drawLineH(0, 0, 40, kHalfRed); }, 40},
        {"LineV", [](Picture& p) { p.drawLineV(3, 0, 20, kHalfRed); }, 20},
        {"FillRows", [](Picture& p) { p.fillArea(0, 0, 40, 2, kHalfRed); }, 80},
        {"FillArea", [](Picture& p) { p.fillArea(1, 1, 17, 5, kHalfRed); }, 85},
        {"RectangleOneColumn", [](Picture& p) { p.drawRectangle(5, 2, 1, 6, kHalfRed); }, 6},
        {"RectangleOneRow", [](Picture& p) { p.drawRectangle(5, 2, 7, 1, kHalfRed); }, 7},
        {"Rectangle", [](Picture& p) { p.drawRectangle(5, 2, 7, 4, kHalfRed); }, 18},
        {"Line", [](Picture& p) { p.drawLine(0, 0, 30, 11, kHalfRed); }, 30},
    };
    for (Case const& c : cases) {
        for (bool legacy : {false, true}) {
            SCOPED_TRACE(testing::Message() << c.name << (legacy ? " legacy" : ""));
            Picture p;
            test::fill(p, 40, 20, kBlack);
            p.setUseLegacyAlphaCompositing(legacy);
            c.draw(p);
            uint32_t const once = legacy ? 0x007F0000u : 0xFF800000u;
            int count = 0;
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 40; ++x) {
                    uint32_t const v = at(p, x, y);
                    if (v != kBlack) {
                        EXPECT_EQ(v, once) << x << "," << y;
                        ++count;
                    }
                }
            EXPECT_EQ(count, c.pixels);
        }
    }
}

TEST(PictureDrawing, ClearAndInvert)
{
    Picture p;
    test::fill(p, 3, 2, 0x80102030);
    p.invertArea(0, 0, 3, 2);
    EXPECT_EQ(at(p, 2, 1), 0x80EFDFCFu);
    p.invertArea(0, 0, 0, 2);
    EXPECT_EQ(at(p, 0, 0), 0x80EFDFCFu);
    p.setOrigin({1, 1});
    p.clear(0x01020304);
    EXPECT_EQ(at(p, 0, 0), 0x01020304u);
}

// The pixels of the unlimited line, walked as the drawing does it.
std::set<std::pair<int, int>> referenceLine(int x1, int y1, int x2, int y2)
{
    std::set<std::pair<int, int>> pixels;
    int const dx2 = 2 * std::abs(x2 - x1), dy2 = 2 * std::abs(y2 - y1);
    int const sx = x2 < x1 ? -1 : 1, sy = y2 < y1 ? -1 : 1;
    int x = x1, y = y1;
    if (dx2 > dy2) {
        int e = dy2 - dx2 / 2;
        for (; x != x2; x += sx) {
            if (x != x1) {
                if (e >= 0) {
                    y += sy;
                    e += dy2 - dx2;
                } else {
                    e += dy2;
                }
            }
            pixels.insert({x, y});
        }
    } else if (dy2 != 0) {
        int e = dx2 - dy2 / 2;
        for (; y != y2; y += sy) {
            if (y != y1) {
                if (e >= 0) {
                    x += sx;
                    e += dx2 - dy2;
                } else {
                    e += dx2;
                }
            }
            pixels.insert({x, y});
        }
    }
    return pixels;
}

TEST(PictureDrawing, LimitedLinesDrawTheUnlimitedLineInsideTheBounds)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coordinate(-60, 80);
    for (int i = 0; i < 400; ++i) {
        int const x1 = coordinate(random), y1 = coordinate(random), x2 = coordinate(random), y2 = coordinate(random);
        bool const clip = i % 2;
        SCOPED_TRACE(testing::Message() << "(" << x1 << "," << y1 << ")-(" << x2 << "," << y2 << ")"
                                        << (clip ? " clipped" : ""));
        Picture p;
        test::fill(p, 20, 16, 0);
        BAS::Rect bounds{0, 0, 20, 16};
        if (clip) {
            bounds = BAS::Rect{3, 2, 17, 11};
            p.setClipRect(bounds);
        }
        p.drawLine(x1, y1, x2, y2, kRed);
        for (auto const& [x, y] : referenceLine(x1, y1, x2, y2)) {
            bool const inside = x >= bounds.left && x < bounds.right && y >= bounds.top && y < bounds.bottom;
            if (inside) {
                EXPECT_EQ(at(p, x, y), kRed) << x << "," << y;
                p.pixelRow(y)[x] = 0;
            }
        }
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 20; ++x)
                ASSERT_EQ(at(p, x, y), 0u) << "extra pixel " << x << "," << y;
    }
}

TEST(PictureDrawing, LongLinesFromFarOutside)
{
    Picture p;
    test::fill(p, 10, 10, 0);
    p.drawLine(-10, 5, 20, 5, kRed);
    EXPECT_EQ(grid(p)[5], "##########");
    test::fill(p, 10, 10, 0);
    p.drawLine(INT32_MIN / 2, 4, INT32_MAX / 2, 4, kRed);
    EXPECT_EQ(grid(p)[4], "##########");
    test::fill(p, 10, 10, 0);
    p.drawLineUC(3, INT32_MIN + 1, 3, INT32_MAX, kRed);
    for (std::string const& row : grid(p))
        EXPECT_EQ(row, "...#......");
}

TEST(PictureDrawing, AntiAliasedLine)
{
    Picture p;
    test::fill(p, 6, 3, kBlack);
    p.drawLineAA(0.0f, 0.0f, 4.0f, 0.0f, 0xFFFFFFFF);
    // 127 of white over black, 255, and alpha 0 changing nothing.
    uint32_t const end = 0xFF7F7F7F;
    std::vector<uint32_t> const row0 = {end, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, end, kBlack};
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(at(p, x, 0), row0[x]) << x;
        EXPECT_EQ(at(p, x, 1), kBlack) << x;
    }
}

TEST(PictureDrawing, AntiAliasedLineStaysInTheClip)
{
    Picture p;
    test::fill(p, 8, 4, kBlack);
    p.setOrigin({1, 0});
    p.setClipRect({2, 0, 4, 4});
    p.drawLineAA(-1.0f, 1.5f, 7.0f, 1.5f, 0xFFFFFFFF);
    EXPECT_EQ(grid(p, kBlack), (Grid{"........", "...##...", "...##...", "........"}));
    p.setClipRect({5, 0, 9, 4});
    p.drawLineAA(0.0f, 0.0f, 4.0f, 3.0f, 0xFFFFFFFF); // its box misses the clip
    EXPECT_EQ(grid(p, kBlack), (Grid{"........", "...##...", "...##...", "........"}));
}

TEST(PictureDrawing, AntiAliasedLineSteepAndReversedMatch)
{
    Picture a, b;
    test::fill(a, 12, 12, kBlack);
    test::fill(b, 12, 12, kBlack);
    a.drawLineAA(2.3f, 1.0f, 5.7f, 10.0f, 0xFF00FF00);
    b.drawLineAA(5.7f, 10.0f, 2.3f, 1.0f, 0xFF00FF00);
    EXPECT_EQ(grid(a, kBlack), grid(b, kBlack));
    // Every row from 2 to 9 is touched, and only near the line.
    for (int y = 2; y <= 9; ++y) {
        int touched = 0;
        for (int x = 0; x < 12; ++x)
            touched += at(a, x, y) != kBlack;
        EXPECT_GE(touched, 1) << y;
        EXPECT_LE(touched, 2) << y;
    }
}

TEST(PictureDrawing, AntiAliasedLineRefusesNonFiniteAndFarCoordinates)
{
    float const inf = std::numeric_limits<float>::infinity();
    float const nan = std::numeric_limits<float>::quiet_NaN();
    float const bad[] = {inf, -inf, nan, 3e30f, -1e9f};
    for (float v : bad) {
        Picture p;
        test::fill(p, 8, 8, kBlack);
        p.drawLineAA(v, 1, 5, 5, kRed);
        p.drawLineAA(1, 1, 5, v, kRed);
        p.drawLineAA(0, v, v, 0, kRed);
        EXPECT_EQ(grid(p, kBlack), Grid(8, "........")) << v;
    }
    // Long but finite lines are drawn where they cross the picture.
    Picture p;
    test::fill(p, 8, 8, kBlack);
    p.drawLineAA(-1e6f, 3.0f, 1e6f, 3.0f, kRed);
    EXPECT_EQ(grid(p, kBlack)[3], "########");
}

// Every call with coordinates beyond the picture, with clipping off and on,
// with and without an origin, leaves the memory around the pixels alone.
TEST(PictureDrawing, OutOfRangeCallsStayInsideThePixels)
{
    int const big = INT32_MAX, small = INT32_MIN;
    void (*const calls[])(Picture&) = {
        [](Picture& p) { p.setPixelUC(-1, 0, kRed); },
        [](Picture& p) { p.setPixelUC(7, 4, kRed); },
        [](Picture& p) { p.setPixelUC(0, 5, kHalfRed); },
        [](Picture& p) { p.drawLineHUC(-5, 0, 100, kHalfRed); },
        [](Picture& p) { p.drawLineHUC(3, 5, 2, kRed); },
        [](Picture& p) { p.drawLineHUC(big - 1, 4, big, kRed); },
        [](Picture& p) { p.drawLineVUC(0, -100, 1000, kHalfRed); },
        [](Picture& p) { p.drawLineVUC(-1, 0, 4, kRed); },
        [](Picture& p) { p.drawLineH(big, 4, big, kRed); },
        [](Picture& p) { p.drawLineH(small, 4, small, kRed); },
        [](Picture& p) { p.drawLineV(6, big, small, kHalfRed); },
        [](Picture& p) { p.fillAreaUC(-10, -10, 1000, 1000, kHalfRed); },
        [](Picture& p) { p.fillAreaUC(2, 3, 7, 9, kRed); },
        [](Picture& p) { p.fillArea(small, small, big, big, kRed); },
        [](Picture& p) { p.fillArea(big, big, small, small, kHalfRed); },
        [](Picture& p) { p.invertArea(small, -1, big, 99); },
        [](Picture& p) {
            p.setAreaColor({small, small, big, big}, kRed);
        },
        [](Picture& p) {
            p.setAreaColor({5, 3, 50, 30}, kRed);
        },
        [](Picture& p) { p.drawRectangle(-1, -1, 9, 6, kRed); },
        [](Picture& p) { p.drawRectangle(small, small, big, big, kHalfRed); },
        [](Picture& p) { p.drawLine(small, small, big, big, kRed); },
        [](Picture& p) { p.drawLineUC(-20, 2, 40, 3, kHalfRed); },
        [](Picture& p) { p.drawLineUC(6, -3, 8, 30, kRed); },
        [](Picture& p) { p.drawLineAA(-3.5f, 4.5f, 30.5f, 3.9f, kHalfRed); },
        [](Picture& p) { p.drawLineAA(6.9f, -1.0f, 6.9f, 9.0f, kRed); },
    };
    BAS::Point const origins[] = {{0, 0}, {3, 2}, {-2, -1}, {small, big}};
    int index = 0;
    for (auto call : calls) {
        for (BAS::Point origin : origins) {
            for (bool clip : {false, true}) {
                SCOPED_TRACE(testing::Message() << "call " << index << " origin " << origin.x << "," << origin.y
                                                << (clip ? " clipped" : ""));
                test::GuardedPicture g(7, 4, kBlack);
                g.picture.setOrigin(origin);
                if (clip)
                    g.picture.setClipRect({small, small, big, big});
                call(g.picture);
                EXPECT_TRUE(g.intact());
            }
        }
        ++index;
    }
}

} // namespace
} // namespace FEN
} // namespace CV
