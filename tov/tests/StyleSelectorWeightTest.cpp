// Specificity of selectors and the truth of property values.
#include "StyleDump.h"

#include "TOV/DrawingCache.h"
#include "TOV/StyleProperties.h"

#include <gtest/gtest.h>

namespace CV::TOV {
namespace {

struct WeightCase {
    char const* selector;
    uint32_t weight;
};

class SelectorWeights : public testing::TestWithParam<WeightCase> { };

TEST_P(SelectorWeights, SumPartsOfTheSelectorAndItsAncestors)
{
    StyleParser2 parser;
    ASSERT_TRUE(parser.processString(std::string(GetParam().selector) + " { x: 1; }"));
    ASSERT_EQ(parser.getRules().size(), 1u);
    EXPECT_EQ(parser.getRules()[0].selectors.at(0).getWeight(), GetParam().weight);
}

INSTANTIATE_TEST_SUITE_P(Table, SelectorWeights,
                         testing::Values(WeightCase{"*", 0}, WeightCase{"Button", 1}, WeightCase{"*.big", 0x10000},
                                         WeightCase{"*#ok", 0x1000000}, WeightCase{"Button[a=x][b=y]", 33},
                                         WeightCase{"Button[a=x][a^=y]", 17}, WeightCase{"Button:over:!down", 513},
                                         WeightCase{"Bar Button", 2},
                                         WeightCase{"Pane#main Bar::Button.big:focus", 0x1000000 + 0x10000 + 3 + 256}));

TEST(SelectorOrder, HeavierSelectorsComeFirstAndEqualOnesAreEquivalent)
{
    StyleParser2 parser;
    ASSERT_TRUE(parser.processString(std::string("A, B, *#ok, A.x { x: 1; }")));
    auto const& s = parser.getRules()[0].selectors;
    EXPECT_TRUE(s[2] < s[3]);
    EXPECT_TRUE(s[3] < s[0]);
    EXPECT_FALSE(s[0] < s[1]);
    EXPECT_FALSE(s[1] < s[0]);
}

struct BoolCase {
    PropertyValue value;
    Property::eUnit unit;
    int expected; // -1 null, 0 false, 1 true
};

class BoolValues : public testing::TestWithParam<BoolCase> { };

TEST_P(BoolValues, ReadTheValueAsATruth)
{
    Property const property(GetParam().value, cv::symbol(std::string("p")), GetParam().unit);
    bool const* truth = property.getBoolValue();
    EXPECT_EQ(truth ? int(*truth) : -1, GetParam().expected) << Testing::dumpProperty(property);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Table, BoolValues, testing::Values(
    BoolCase{true, Property::eBool, 1}, BoolCase{false, Property::eBool, 0},
    BoolCase{int32_t(0), Property::eNone, 0}, BoolCase{int32_t(7), Property::eNone, 1},
    BoolCase{int32_t(0), Property::ePixel, -1}, BoolCase{uint32_t(0), Property::eNone, 0},
    BoolCase{uint32_t(0xFF000000), Property::eColor, -1}, BoolCase{1.0f, Property::eNone, -1},
    BoolCase{std::string("yes"), Property::eIdentifier, 1}, BoolCase{std::string("true"), Property::eIdentifier, 1},
    BoolCase{std::string("no"), Property::eIdentifier, 0}, BoolCase{std::string("false"), Property::eIdentifier, 0},
    BoolCase{std::string("True"), Property::eIdentifier, -1}, BoolCase{std::string("yes"), Property::eURL, -1},
    BoolCase{PropertyValue(), Property::eNone, -1}));
// clang-format on

TEST(BoolValues, TruthsAreTwoConstantsForTheWholeProgram)
{
    Property const a(std::string("yes"), cv::symbol(std::string("a")), Property::eIdentifier);
    Property const b(int32_t(3), cv::symbol(std::string("b")), Property::eNone);
    EXPECT_EQ(a.getBoolValue(), b.getBoolValue());
}

TEST(StyleVocabulary, NamesAreInternedOnceAndExactly)
{
    EXPECT_EQ(properties::pictureIncludesMargin, properties::pictureIncludeMargin);
    EXPECT_EQ(properties::hasFocus.string(), "HasFocus");
    EXPECT_EQ(properties::drawForeground, cv::symbol(std::string("draw_foreground")));
    EXPECT_NE(properties::drawForeground, cv::symbol(std::string("draw-foreground")));
    EXPECT_EQ(DrawingCache::s_ColorTags[2].name.string(), "selection-background-color");
    EXPECT_EQ(DrawingCache::s_ColorTags[2].role, eSelectionBackgroundColor);
    EXPECT_EQ(DrawingCache::s_ColorPaletteTags[6].name.string(), "foreground-border-color-palette");
    EXPECT_EQ(Algorithm::s_marginPropertyNames[1][4].string(), "outer-margin-bottom");
    EXPECT_EQ(properties::layout.string(), "layout");
    EXPECT_EQ(emptyStdString, cv::symbol());
}

} // namespace
} // namespace CV::TOV
