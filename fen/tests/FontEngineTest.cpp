#include "FEN/FontEngine.h"
#include "FEN/DETAIL/FTRenderCache.h"
#include "FEN/DETAIL/FreeType.h"

#include "FontTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace CV {
namespace FEN {
namespace {

using DETAIL::FontKey;
using DETAIL::FreeType;
using TEST::testFontBytes;

class FontEngineTest : public ::testing::Test {
protected:
    std::shared_ptr<DETAIL::FTRenderCache> cacheOf(const char* file, int px, bool hinting = false)
    {
        return engine->createRenderCache(FontKey(std::string(file)), {px, hinting}, testFontBytes(file));
    }

    std::shared_ptr<FreeType> engine = FreeType::create();
};

struct MetricsCase {
    const char* file;
    int px;
    int lineHeight;
    int ascent;
    int underlinePosition;
    int underlineThickness;
};

TEST_F(FontEngineTest, LineMetricsFollowTheFontsBoundingBoxAndUnderline)
{
    const MetricsCase cases[] = {
        // units per em 2048, box 1900/-500, underline -200 thick 100
        {"test-2048.ttf", 12, 14, 11, -1, 1},
        // units per em 1000, box 800/-200, underline -100 thick 50
        {"test-1000.ttf", 10, 10, 8, -1, 1},
        {"test-1000.ttf", 20, 20, 16, -2, 1},
        // a bitmap font has no design units: the strike's own metrics
        {"test-bitmap.bdf", 12, 12, 10, -1, 1},
    };
    for (const MetricsCase& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.px));
        auto cache = cacheOf(c.file, c.px);
        ASSERT_TRUE(cache);
        EXPECT_EQ(c.lineHeight, cache->getLineHeight());
        EXPECT_EQ(c.ascent, cache->getAscent());
        EXPECT_EQ(c.underlinePosition, cache->getUnderlinePosition());
        EXPECT_EQ(c.underlineThickness, cache->getUnderlineThickness());
    }
}

TEST_F(FontEngineTest, UnhintedAdvancesKeepTheirFraction)
{
    auto cache = cacheOf("test-1000.ttf", 10);
    ASSERT_TRUE(cache);
    EXPECT_EQ(640, cache->getCharBitmap(U'A')->advance);
    EXPECT_EQ(416, cache->getCharBitmap(U'a')->advance);
    EXPECT_EQ(640, cache->getCharBitmap(U'\u20AC')->advance);
}

TEST_F(FontEngineTest, GlyphsCarryTheirCoverageTopDown)
{
    // The wide box spans 100..900 by 0..700 units: 8 by 7 pixels at 10.
    auto cache = cacheOf("test-1000.ttf", 10);
    const DETAIL::FTCharBitmap* glyph = cache->getCharBitmap(U'A');
    ASSERT_NE(nullptr, glyph);
    EXPECT_EQ(7, glyph->top);
    EXPECT_EQ(1, glyph->left);
    EXPECT_EQ(8, glyph->width);
    EXPECT_EQ(7, glyph->rows);
    ASSERT_EQ(size_t(glyph->rows * glyph->pitch), glyph->coverage.size());
    EXPECT_TRUE(std::all_of(glyph->coverage.begin(), glyph->coverage.end(), [](uint8_t v) { return v == 255; }));
    EXPECT_EQ(glyph, cache->getCharBitmap(U'A')) << "a glyph is rendered once";
}

TEST_F(FontEngineTest, OneBitStrikesBecomeFullCoverage)
{
    auto cache = cacheOf("test-bitmap.bdf", 12);
    ASSERT_TRUE(cache);
    const DETAIL::FTCharBitmap* glyph = cache->getCharBitmap(U'A');
    ASSERT_NE(nullptr, glyph);
    ASSERT_EQ(8, glyph->width);
    ASSERT_EQ(12, glyph->rows);
    for (int r = 0; r < glyph->rows; ++r)
        for (int i = 0; i < glyph->width; ++i)
            ASSERT_EQ(255, glyph->coverage[size_t(r * glyph->pitch + i)]) << r << "," << i;
}

TEST_F(FontEngineTest, BrokenGlyphFallsBackToTheQuestionMark)
{
    auto cache = cacheOf("test-1000.ttf", 10);
    const DETAIL::FTCharBitmap* question = cache->getCharBitmap(U'?');
    ASSERT_NE(nullptr, question);
    EXPECT_EQ(question, cache->getCharBitmap(U'~'));

    auto withoutQuestion = cacheOf("test-1000-noq.ttf", 10);
    EXPECT_EQ(nullptr, withoutQuestion->getCharBitmap(U'~'));
    EXPECT_EQ(nullptr, withoutQuestion->getCharBitmap(U'?'));
}

TEST_F(FontEngineTest, CodePointOutsideTheFontGetsTheMissingGlyphShape)
{
    auto cache = cacheOf("test-1000.ttf", 10);
    const DETAIL::FTCharBitmap* missing = cache->getCharBitmap(U'\u4E00');
    ASSERT_NE(nullptr, missing);
    EXPECT_EQ(640, missing->advance);
}

TEST_F(FontEngineTest, SameSizeAndHintingShareOneCache)
{
    auto first = cacheOf("test-1000.ttf", 12, true);
    auto second = engine->createRenderCache(FontKey(std::string("test-1000.ttf")), {12, true}, {});
    auto otherSize = engine->createRenderCache(FontKey(std::string("test-1000.ttf")), {13, true}, {});
    auto unhinted = engine->createRenderCache(FontKey(std::string("test-1000.ttf")), {12, false}, {});
    ASSERT_TRUE(first && otherSize && unhinted);
    EXPECT_EQ(first, second);
    EXPECT_NE(first, otherSize);
    EXPECT_NE(first, unhinted);
    EXPECT_NE(otherSize, unhinted);
}

TEST_F(FontEngineTest, ReleasedCacheIsRebuiltFromTheKeptBytes)
{
    const FontKey key(std::string("test-1000.ttf"));
    std::weak_ptr<DETAIL::FTRenderCache> gone = cacheOf("test-1000.ttf", 12);
    EXPECT_TRUE(gone.expired());
    auto again = engine->createRenderCache(key, {12, false}, {});
    ASSERT_TRUE(again);
    EXPECT_EQ(640 * 12 / 10, again->getCharBitmap(U'A')->advance);
}

TEST_F(FontEngineTest, UnknownKeyWithoutBytesMakesNoCache)
{
    EXPECT_FALSE(engine->createRenderCache(FontKey(7u), {12, false}, {}));
    EXPECT_FALSE(engine->knowsFont(FontKey(7u)));
}

TEST_F(FontEngineTest, KnownKeyKeepsItsFirstBytes)
{
    const FontKey key(1u);
    engine->addFont(key, testFontBytes("test-1000.ttf"));
    auto cache = engine->createRenderCache(key, {10, false}, testFontBytes("test-2048.ttf"));
    ASSERT_TRUE(cache);
    EXPECT_EQ(1000, cache->getFace()->units_per_EM);
}

// The reason is the font library's where it gives one.
TEST_F(FontEngineTest, BytesThatAreNoFontMakeNoCacheAndSayWhy)
{
    struct {
        const char* key;
        std::vector<uint8_t> bytes;
        int pixels;
        const char* failure;
    } const cases[] = {
        {"garbage", std::vector<uint8_t>(100, 0x5A), 12,
         "not a font the font library knows (invalid stream operation)"},
        {"empty", {}, 12, "the file is empty"},
        {"bitmap", testFontBytes("test-bitmap.bdf"), 13, "invalid pixel size"}, // no 13-pixel strike
        {"sizeless", testFontBytes("test-1000.ttf"), 0, "its size of 0 pixels is not above 0"},
    };
    for (const auto& c : cases) {
        std::string failure;
        EXPECT_FALSE(engine->createRenderCache(FontKey(std::string(c.key)), {c.pixels, false}, c.bytes, &failure))
            << c.key;
        EXPECT_EQ(failure, c.failure) << c.key;
    }
}

TEST_F(FontEngineTest, CachesKeepTheEngineAlive)
{
    std::weak_ptr<FreeType> watch = engine;
    auto cache = cacheOf("test-1000.ttf", 10);
    engine.reset();
    EXPECT_FALSE(watch.expired());
    ASSERT_NE(nullptr, cache->getCharBitmap(U'B'));
    EXPECT_EQ(640, cache->getCharBitmap(U'B')->advance);
    cache.reset();
    EXPECT_TRUE(watch.expired());
}

TEST(SystemFontEngineTest, IsOneEngineWithALibrary)
{
    FontEngine* engine = getSystemFontEngine();
    ASSERT_NE(nullptr, engine);
    EXPECT_EQ(engine, getSystemFontEngine());
    ASSERT_NE(nullptr, engine->handle());
    EXPECT_NE(nullptr, engine->handle()->library());
}

} // namespace
} // namespace FEN
} // namespace CV
