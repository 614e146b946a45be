#include "TOV/DrawingCache.h"
#include "StyleFixture.h"
#include "TOV/StyleSheetManager.h"

namespace CV::TOV::TEST {
namespace {

using DrawingCacheTest = StyledWidgetTest;

DrawingCache& cacheOf(Widget const& w)
{
    return StyleSheetManager::get().getDrawingCache(w);
}

TEST_F(DrawingCacheTest, BuiltInSheetColoursFollowHoverAndPress)
{
    useSheet(nullptr);
    auto w = addWidget();
    auto bar = addWidget("Bar", "bar");
    w->setCanOver(true);
    DrawingCache const& cache = cacheOf(*w);

    struct Case {
        const char* name;
        bool over, down;
        unsigned background;
    };
    Case const cases[] = {
        {"idle", false, false, 0xFFC0C0C0u},
        {"hovered", true, false, 0xFFD0D0D0u},
        {"pressed", false, true, 0xFFB0B0B0u},
    };
    for (Case const& c : cases) {
        pane->setOver(c.over ? w : nullptr);
        pane->setDown(c.down ? w : nullptr);
        pane->setButtonHeld(1, c.down);
        EXPECT_EQ(cache.getColor(eBackgroundColor, false, 0), c.background) << c.name;
        EXPECT_EQ(cache.getColor(eBackgroundColor, true, 0), 0xFF808080u) << c.name;
        EXPECT_EQ(cache.getColor(eForegroundColor, false, 0), 0xFF000000u) << c.name;
    }
    // Border flags of the foreground roles read the foreground border.
    EXPECT_EQ(cache.getColor(eForegroundColor, true, 0), 0u);
    EXPECT_EQ(cache.getColor(eSelectionBackgroundColor, true, 0), 0u);
    EXPECT_EQ(cache.getColor(eDyeColor, false, 0), 0u) << "no rule";
    EXPECT_EQ(cacheOf(*bar).getColor(eBackgroundColor, false, 0), 0xFF202020u);
}

TEST_F(DrawingCacheTest, PaletteColoursComeFromTheRoot)
{
    useSheet(R"(Root { palette3-color1: #112233; }
        Test { background-color: #445566; background-color-palette: 3; }
        Test.plain { foreground-color: #010203; foreground-color-palette: 4; })");
    auto w = addWidget();
    EXPECT_EQ(cacheOf(*w).getColor(eBackgroundColor, false, 1), 0xFF112233u);
    EXPECT_EQ(cacheOf(*w).getColor(eBackgroundColor, false, 2), 0xFF445566u) << "the root has no palette3-color2";
    EXPECT_EQ(DrawingCache::getColorAttribute(2, 0), cv::symbol(std::string("palette2-color0")));
}

TEST_F(DrawingCacheTest, NoValuesAndAlignments)
{
    useSheet(R"(Test { dye-color: #FF0000; font: no; horizontal-alignment: right; vertical-alignment: bottom; }
        Test:over { dye-color: no; horizontal-alignment: no; vertical-alignment: sideways; })");
    auto w = addWidget();
    w->setCanOver(true);
    DrawingCache const& cache = cacheOf(*w);
    ASSERT_EQ(cache.m_fonts.size(), 1u);
    EXPECT_EQ(cache.m_fonts[0].second, nullptr);
    EXPECT_EQ(cache.getColor(eDyeColor, false, 0), 0xFFFF0000u);
    EXPECT_EQ(*cache.firstApplicable(cache.m_horizontalAlignments), eTextRight);
    EXPECT_EQ(*cache.firstApplicable(cache.m_verticalAlignments), eTextBottom);

    pane->setOver(w);
    EXPECT_EQ(cache.getColor(eDyeColor, false, 0), 0u);
    EXPECT_EQ(*cache.firstApplicable(cache.m_horizontalAlignments), eTextLeft);
    EXPECT_EQ(*cache.firstApplicable(cache.m_verticalAlignments), eTextTop)
        << "an unknown vertical keyword never sets a horizontal bit";
}

TEST_F(DrawingCacheTest, AttributeChangesTakeEffectAtTheNextRebuild)
{
    useSheet(R"(Test { background-color: #000001; }
        Test[mode=warn] { background-color: #FF0000; })");
    auto w = addWidget();
    DrawingCache const& cache = cacheOf(*w);
    EXPECT_EQ(cache.getColor(eBackgroundColor, false, 0), 0xFF000001u);
    w->setAttribute("mode", "warn");
    EXPECT_EQ(cache.getColor(eBackgroundColor, false, 0), 0xFF000001u) << "not rebuilt yet";
    update();
    EXPECT_EQ(cache.getColor(eBackgroundColor, false, 0), 0xFFFF0000u);
    EXPECT_EQ(&cacheOf(*w), &cache) << "rebuilt in place";
}

} // namespace
} // namespace CV::TOV::TEST
