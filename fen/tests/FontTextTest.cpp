#include "FEN/Font.h"
#include "FEN/Picture.h"

#include "BAS/MemoryStream.h"

#include "FontTestSupport.h"

#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <memory>
#include <stdexcept>

namespace CV {
namespace FEN {
namespace {

using TEST::testFontBytes;

// The test font at 10 pixels without hinting: capitals, digits, U+00E9 and
// U+20AC advance 10 pixels, small letters 6.5 (counted 6), the space 5.
class FontTextTest : public ::testing::Test {
protected:
    std::unique_ptr<Font> fontOf(const std::string& file, int size, uint32_t flags = 0)
    {
        std::vector<uint8_t> bytes = testFontBytes(file);
        BAS::MemoryStream stream;
        stream.init(BAS::IStorage::eAccessRead, bytes.data(), bytes.size());
        Font::CreateData data;
        data.name = file;
        data.size = size;
        data.flags = flags;
        data.engine = engine.get();
        return std::make_unique<Font>(stream, data);
    }

    void SetUp() override
    {
        font = fontOf("test-1000.ttf", 10);
        ASSERT_NE(nullptr, font->currentCache());
        picture.setSize(100, 100);
        picture.clear(0);
    }

    // Rows holding at least one touched pixel, top first.
    std::vector<int> paintedRows() const
    {
        std::vector<int> rows;
        for (int y = 0; y < picture.getHeight(); ++y)
            for (int x = 0; x < picture.getWidth(); ++x)
                if (picture.pixelRow(y)[x] != 0) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    }

    bool anyPainted() const { return !paintedRows().empty(); }

    std::shared_ptr<DETAIL::FreeType> engine = DETAIL::FreeType::create();
    std::unique_ptr<Font> font;
    Picture picture;
};

TEST_F(FontTextTest, StringWidths)
{
    struct Case {
        const char* text;
        int byteLimit;
        int width;
    } const cases[] = {
        {"", -1, 0},
        {"AAA", 0, 0},
        {"AAA", -1, 30},
        {"AAA", 2, 20},
        {"aaa", -1, 18}, // 6.5 pixels count 6 each, not 19.5 rounded
        {"a\nbbb", -1, 6},
        {"A A", -1, 25},
        {"A\xC3\xA9"
         "A",
         -1, 30},
        {"A\xC3\xA9"
         "A",
         3, 20},
        {"A\xC3\xA9"
         "A",
         2, 10}, // the limit ends inside U+00E9
        {"A\xE2\x82\xAC"
         "A",
         3, 10},
        {"A\xE2\x82\xAC"
         "A",
         4, 20},
        {"A\xE2\x82\xAC"
         "A",
         100, 30},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.width, font->getStringWidth(c.text, c.byteLimit)) << c.text << " limit " << c.byteLimit;
    EXPECT_EQ(18, font->getStringWidthMultiline("a\nbbb"));
    EXPECT_EQ(0, font->getStringWidthMultiline(""));
    EXPECT_EQ(20, font->getStringWidthMultiline("A\n\nAA\n"));
}

TEST_F(FontTextTest, CharPositions)
{
    struct Case {
        int x;
        int nearest;
        int down;
        int up;
    } const cases[] = {
        {0, 0, 0, 0}, {-5, 0, 0, 0}, {10, 1, 1, 2}, {14, 1, 1, 2}, {15, 1, 1, 2}, {16, 2, 1, 2}, {100, 3, 3, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(c.nearest, font->getCharPos("AAA", c.x, Font::eRoundNearest));
        EXPECT_EQ(c.down, font->getCharPos("AAA", c.x, Font::eRoundDown));
        EXPECT_EQ(c.up, font->getCharPos("AAA", c.x, Font::eRoundUp));
    }
    EXPECT_EQ(3,
              font->getCharPos("A\xC3\xA9"
                               "A",
                               25, Font::eRoundDown))
        << "offsets count bytes";
    EXPECT_EQ(1, font->getCharPos("A\nAA", 100, Font::eRoundDown)) << "the first line only";
}

TEST_F(FontTextTest, HorizontalAlignmentOffsets)
{
    struct Case {
        Font::eAlignment alignment;
        int width;
        int offset;
    } const cases[] = {
        {Font::eAlignRight, 25, 5}, {Font::eAlignCenter, 25, 3},
        {Font::eAlignLeft, 25, 0},  {Font::eAlignLeft | Font::eAlignRight, 25, 0},
        {Font::eAlignRight, 20, 0}, {Font::eAlignCenter, 20, 0},
        {Font::eAlignRight, 5, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.offset, font->getHorizontalAlignmentOffset("AA\nAAAA", c.alignment, c.width))
            << c.alignment << " in " << c.width;
}

TEST_F(FontTextTest, EmptyFontMeasuresNothing)
{
    Font::CreateData none;
    Font empty(none);
    EXPECT_EQ(10, empty.getCharHeight());
    EXPECT_EQ(0, empty.getStringWidth("AAA"));
    EXPECT_EQ(2, empty.getCharPos("AB\nC", 5, Font::eRoundNearest));
    EXPECT_EQ(3, empty.getHorizontalAlignmentOffset("AB", Font::eAlignCenter, 5));
    empty.renderTextMultiline(picture, BAS::Rect{0, 0, 100, 100}, "AB", 0xFFFFFFFF, Font::eAlignTop, 0);
    EXPECT_FALSE(anyPainted());
}

TEST_F(FontTextTest, MalformedTextThrows)
{
    EXPECT_THROW(font->getStringWidth("A\xC3"), std::out_of_range);
    EXPECT_THROW(font->getStringWidth("A\xFF"
                                      "A"),
                 std::out_of_range);
    EXPECT_THROW(font->getCharPos("A\x80", 50, Font::eRoundDown), std::out_of_range);
}

TEST_F(FontTextTest, BlendWeighsColourAndCoverage)
{
    struct Case {
        uint32_t destination;
        uint8_t coverage;
        uint32_t colour;
        uint32_t result;
    } const cases[] = {
        {0x00000000, 255, 0xFFFFFFFF, 0xFFFEFEFE},
        {0x00000000, 1, 0xFFFFFFFF, 0x01000000}, // a = 1 changes the pixel
        {0x00000000, 1, 0x80FFFFFF, 0x00000000}, // A = 128 is skipped
        {0xFF102030, 255, 0x00FFFFFF, 0xFF102030},
        {0xC0FF0000, 128, 0xFF0000FF, 0xFF7F007F}, // a = 128: half of each, alpha saturates
    };
    DETAIL::FTCharBitmap glyph;
    glyph.width = glyph.rows = glyph.pitch = 1;
    glyph.top = 1;
    for (const Case& c : cases) {
        picture.pixelRow(5)[5] = c.destination;
        glyph.coverage = {c.coverage};
        font->renderChar(picture, 5, 6, glyph, c.colour);
        EXPECT_EQ(c.result, picture.pixelRow(5)[5])
            << std::hex << c.destination << " " << int(c.coverage) << " " << c.colour;
    }
}

TEST_F(FontTextTest, GlyphsStayInsideTheClipAndThePixels)
{
    DETAIL::FTCharBitmap glyph;
    glyph.width = glyph.rows = glyph.pitch = 4;
    glyph.top = 4;
    glyph.coverage.assign(16, 255);
    picture.setClipRect(BAS::Rect{0, 0, 2, 100});
    font->renderChar(picture, 0, 4, glyph, 0xFFFFFFFF);
    EXPECT_NE(0u, picture.pixelRow(0)[1]);
    EXPECT_EQ(0u, picture.pixelRow(0)[2]);

    // With clipping off and the origin moved, the clip rectangle still
    // names the whole picture; pixels past its edge are not written.
    Picture small;
    small.setSize(4, 4);
    small.clear(0);
    small.setOrigin(BAS::Point{2, 2});
    font->renderChar(small, 0, 4, glyph, 0xFFFFFFFF);
    EXPECT_NE(0u, small.pixelRow(3)[3]);
    EXPECT_EQ(0u, small.pixelRow(1)[3]);
}

TEST_F(FontTextTest, UnderlineBarIsDrawnForBlankGlyphsToo)
{
    auto underlined = fontOf("test-1000.ttf", 10, Font::eUnderline);
    underlined->renderTextMultiline(picture, BAS::Rect{0, 0, 100, 100}, " ", 0xFFFFFFFF,
                                    Font::eAlignTop | Font::eAlignLeft, 0);
    // Baseline 8, underline at -1 and 1 pixel thick, 5 pixels wide.
    EXPECT_EQ(std::vector<int>{9}, paintedRows());
    EXPECT_EQ(0xFFFFFFFFu, picture.pixelRow(9)[4]);
    EXPECT_EQ(0u, picture.pixelRow(9)[5]);
}

TEST_F(FontTextTest, EmptyLinesKeepTheirPitch)
{
    font->renderTextMultiline(picture, BAS::Rect{0, 0, 100, 100}, "A\n\nB", 0xFFFFFFFF,
                              Font::eAlignTop | Font::eAlignLeft, 3);
    // The box glyph spans rows 1..7 below the top; pitch 13.
    const std::vector<int> rows = paintedRows();
    ASSERT_EQ(14u, rows.size());
    EXPECT_EQ(1, rows.front());
    EXPECT_EQ(1 + 2 * 13, rows[7]);
}

TEST_F(FontTextTest, VerticalAlignmentPlacesTheBlock)
{
    auto fourteen = fontOf("test-1000.ttf", 14);
    ASSERT_EQ(14, fourteen->getCharHeight());
    const char* text = "A\nA\nA";
    const BAS::Rect box{0, 20, 100, 80};
    fourteen->renderTextMultiline(picture, box, text, 0xFFFFFFFF, Font::eAlignTop, 2);
    const std::vector<int> top = paintedRows();
    picture.clear(0);
    fourteen->renderTextMultiline(picture, box, text, 0xFFFFFFFF, Font::eAlignCenter, 2);
    const std::vector<int> centred = paintedRows();
    picture.clear(0);
    fourteen->renderTextMultiline(picture, box, text, 0xFFFFFFFF, Font::eAlignBottom | Font::eAlignTop, 2);
    const std::vector<int> bottom = paintedRows();
    ASSERT_FALSE(top.empty());
    ASSERT_EQ(top.size(), centred.size());
    ASSERT_EQ(top.size(), bottom.size());
    // Block 3 * 14 + 2 * 2 = 46 in 60 rows: centred 7 lower, bottom 14.
    for (size_t i = 0; i < top.size(); ++i) {
        EXPECT_EQ(top[i] + 7, centred[i]);
        EXPECT_EQ(top[i] + 14, bottom[i]);
    }
}

TEST_F(FontTextTest, HorizontalAlignmentInTheBox)
{
    struct Case {
        Font::eAlignment alignment;
        int firstColumn;
    } const cases[] = {{Font::eAlignLeft, 11}, {Font::eAlignRight, 41}, {Font::eAlignCenter, 26}};
    for (const Case& c : cases) {
        picture.clear(0);
        font->renderTextMultiline(picture, BAS::Rect{10, 0, 60, 50}, "AA", 0xFFFFFFFF, c.alignment | Font::eAlignTop,
                                  0);
        int first = -1;
        for (int x = 0; x < 100 && first < 0; ++x)
            if (picture.pixelRow(5)[x] != 0)
                first = x;
        EXPECT_EQ(c.firstColumn, first) << c.alignment;
    }
}

TEST_F(FontTextTest, TextPastTheRightEdgeIsCutButTheNextLineStarts)
{
    font->renderTextMultiline(picture, BAS::Rect{0, 0, 25, 100}, "AAAAA\nA", 0xFFFFFFFF,
                              Font::eAlignTop | Font::eAlignLeft, 0);
    for (int y = 0; y < 100; ++y)
        for (int x = 25; x < 100; ++x)
            ASSERT_EQ(0u, picture.pixelRow(y)[x]) << x << "," << y;
    EXPECT_NE(0u, picture.pixelRow(5)[21]);
    EXPECT_NE(0u, picture.pixelRow(15)[1]) << "second line";
    EXPECT_EQ(0u, picture.pixelRow(15)[11]);
}

TEST_F(FontTextTest, ClipStateIsRestored)
{
    const BAS::Rect clip{0, 0, 50, 50};
    picture.setClipRect(clip);
    font->renderTextMultiline(picture, BAS::Rect{60, 60, 90, 90}, "AA", 0xFFFFFFFF, Font::eAlignTop, 0);
    EXPECT_FALSE(anyPainted()) << "a box outside the clip draws nothing";
    EXPECT_TRUE(picture.isClipping());
    EXPECT_EQ(clip.right, picture.getClipRect().right);
    EXPECT_EQ(clip.bottom, picture.getClipRect().bottom);

    picture.resetClipRect();
    font->renderTextMultiline(picture, BAS::Rect{0, 0, 30, 30}, "AA", 0xFFFFFFFF, Font::eAlignTop, 0);
    EXPECT_TRUE(anyPainted());
    EXPECT_FALSE(picture.isClipping());
    EXPECT_EQ(100, picture.getClipRect().right);
    EXPECT_EQ(100, picture.getClipRect().bottom);
}

TEST_F(FontTextTest, MalformedTextRestoresTheClipOnTheWayOut)
{
    for (bool clipping : {false, true}) {
        SCOPED_TRACE(clipping);
        if (clipping)
            picture.setClipRect(BAS::Rect{5, 5, 80, 80});
        else
            picture.resetClipRect();
        const BAS::Rect before = picture.getClipRect();
        for (const char* text : {"AA\xE2\x82", "A\nB\xC3(", "\xFF"}) {
            EXPECT_THROW(
                font->renderTextMultiline(picture, BAS::Rect{0, 0, 30, 30}, text, 0xFFFFFFFF, Font::eAlignTop, 0),
                std::out_of_range);
            EXPECT_EQ(clipping, picture.isClipping());
            EXPECT_EQ(before.left, picture.getClipRect().left);
            EXPECT_EQ(before.right, picture.getClipRect().right);
            EXPECT_EQ(before.bottom, picture.getClipRect().bottom);
        }
    }
}

// The default font drawn at scale 1 and 2 against glyphs rendered by
// FreeType directly and blended with the same integer formula.
class FreeTypeReferenceTest : public FontTextTest, public ::testing::WithParamInterface<float> { };

TEST_P(FreeTypeReferenceTest, TextMatchesFreeTypesOwnGlyphs)
{
    const float scale = GetParam();
    std::vector<uint8_t> bytes = TEST::readFile(VARANTO_DEFAULT_FONT);
    BAS::MemoryStream stream;
    stream.init(BAS::IStorage::eAccessRead, bytes.data(), bytes.size());
    Font::CreateData data;
    data.name = "DejaVuSans.ttf";
    data.size = 12;
    data.flags = Font::eHinting;
    data.engine = engine.get();
    Font dejavu(stream, data);
    dejavu.setBackingScaleFactor(scale);
    ASSERT_NE(nullptr, dejavu.currentCache());
    const int px = static_cast<int>(std::lround(12 * scale));
    const std::string text = "Firmware 1.2.3 \xC3\xA9t\xC3\xA9 Qgjy";
    const uint32_t colour = 0xFF2040E0;
    picture.setSize(400, 60);
    picture.clear(0xFFFFFFFF);
    dejavu.renderTextMultiline(picture, BAS::Rect{0, 0, 400, 60}, text, colour, Font::eAlignTop | Font::eAlignLeft, 0);

    FT_Library library = nullptr;
    ASSERT_EQ(0, FT_Init_FreeType(&library));
    FT_Face face = nullptr;
    ASSERT_EQ(0, FT_New_Face(library, VARANTO_DEFAULT_FONT, 0, &face));
    ASSERT_EQ(0, FT_Set_Pixel_Sizes(face, 0, px));
    const int baseline = static_cast<int>(std::lround(double(face->bbox.yMax) * px / face->units_per_EM));
    Picture expected;
    expected.setSize(400, 60);
    expected.clear(0xFFFFFFFF);
    int pen = 0;
    for (char32_t c : std::u32string(U"Firmware 1.2.3 \u00E9t\u00E9 Qgjy")) {
        ASSERT_EQ(0, FT_Load_Char(face, c, FT_LOAD_RENDER | FT_LOAD_NO_AUTOHINT));
        const FT_GlyphSlot slot = face->glyph;
        for (unsigned r = 0; r < slot->bitmap.rows; ++r)
            for (unsigned i = 0; i < slot->bitmap.width; ++i) {
                const uint32_t weighted = uint32_t(slot->bitmap.buffer[r * slot->bitmap.pitch + i]) * (colour >> 24);
                if (weighted < 255)
                    continue;
                const uint32_t a = weighted / 255;
                uint32_t& d = expected.pixelRow(baseline - slot->bitmap_top + int(r))[pen + slot->bitmap_left + int(i)];
                uint32_t out = std::min<uint32_t>(255, (d >> 24) + a) << 24;
                for (int shift : {16, 8, 0})
                    out |= ((((d >> shift) & 0xFF) * (256 - a) + ((colour >> shift) & 0xFF) * a) >> 8) << shift;
                d = out;
            }
        pen += static_cast<int>(std::rint(slot->advance.x / 64.0));
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    int differing = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 400; ++x)
            differing += picture.pixelRow(y)[x] != expected.pixelRow(y)[x];
    EXPECT_EQ(0, differing);
    EXPECT_GT(pen, 100);
}

INSTANTIATE_TEST_SUITE_P(Scales, FreeTypeReferenceTest, ::testing::Values(1.0f, 2.0f));

} // namespace
} // namespace FEN
} // namespace CV
