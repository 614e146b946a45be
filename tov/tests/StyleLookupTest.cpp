#include "StyleFixture.h"

namespace CV::TOV::TEST {
namespace {

using StyleLookupTest = StyledWidgetTest;

cv::symbol sym(const char* text)
{
    return cv::symbol(std::string(text));
}

TEST_F(StyleLookupTest, TypedValuesDefaultsAndNo)
{
    useSheet(R"(Test {
        width: 40; percent: 50%; fraction: 1.5px; word: true; off: no;
        draw_foreground: 1; picture-includes-margin: no; other-flag: 1px; named: left;
    }
    Test.big { width: 1.5px; }
    Other { width: 7; })");
    auto w = addWidget();

    struct IntCase {
        const char* name;
        int expected;
        bool found;
    };
    // The first applicable rule decides, whatever its unit; no conversion.
    IntCase const ints[] = {
        {"width", 40, true}, {"percent", 50, true}, {"fraction", -1, false},
        {"word", -1, false}, {"off", 0, true},      {"missing", -1, false},
    };
    for (IntCase const& c : ints) {
        bool found = !c.found;
        EXPECT_EQ(w->getStyleProperty<int>(sym(c.name), -1, &found), c.expected) << c.name;
        EXPECT_EQ(found, c.found) << c.name;
    }

    struct BoolCase {
        const char* name;
        bool expected, found;
    };
    BoolCase const bools[] = {
        {"draw_foreground", true, true}, {"picture-includes-margin", false, true},
        {"other-flag", true, false},     {"word", true, true},
        {"named", true, false},
    };
    for (BoolCase const& c : bools) {
        bool found = !c.found;
        EXPECT_EQ(w->getStyleProperty<bool>(sym(c.name), true, &found), c.expected) << c.name;
        EXPECT_EQ(found, c.found) << c.name;
    }

    bool found = false;
    EXPECT_EQ(w->getStyleProperty<std::string>(sym("off"), "default", &found), "no");
    EXPECT_TRUE(found);
    EXPECT_EQ(w->getStyleProperty<std::string>("named", "default"), "left");
    EXPECT_EQ(&w->getStyleProperty<std::string>("named", "default"),
              &w->getStyleProperty<std::string>(sym("named"), "default"));
    EXPECT_EQ(w->getStyleProperty<unsigned>(sym("width"), 9u, &found), 9u) << "an int is not an unsigned";
    EXPECT_FALSE(found);
    EXPECT_EQ(w->getStyleProperty<FEN::Font const*>(sym("off"), nullptr, &found), nullptr);
    EXPECT_TRUE(found);

    // The most specific rule holds a value of another type: the default,
    // even though a less specific rule has an int.
    w->setStyle("big");
    EXPECT_EQ(w->getStyleProperty<int>(properties::width, -1, &found), -1);
    EXPECT_FALSE(found);
}

TEST_F(StyleLookupTest, WidgetOutsideAPaneGetsTheDefault)
{
    useSheet("* { width: 40; }");
    auto loose = makeWidget();
    bool found = true;
    EXPECT_EQ(loose->getStyleProperty<int>(properties::width, 3, &found), 3);
    EXPECT_FALSE(found);
}

TEST_F(StyleLookupTest, StatesAndAttributesAreTestedOnEveryLookup)
{
    useSheet(R"(Test { width: 1; }
        Test:over { width: 2; }
        Test[mode=big] { width: 3; }
        Root Test:!enabled { width: 4; })");
    auto w = addWidget();
    w->setCanOver(true);
    EXPECT_EQ(w->getStyleProperty<int>(properties::width, 0), 1);
    pane->setOver(w);
    EXPECT_EQ(w->getStyleProperty<int>(properties::width, 0), 2);
    pane->setOver(nullptr);
    w->setAttribute("mode", "big");
    EXPECT_EQ(w->getStyleProperty<int>(properties::width, 0), 3);
    w->setEnabled(false);
    update();
    EXPECT_EQ(w->getStyleProperty<int>(properties::width, 0), 4);
}

TEST_F(StyleLookupTest, ThePaneWithoutASheetUsesTheDefaultSheet)
{
    useSheet(nullptr);
    auto w = addWidget();
    bool found = false;
    EXPECT_EQ(w->getStyleProperty<unsigned>(sym("background-color"), 0u, &found), 0xFFC0C0C0u);
    EXPECT_TRUE(found);
}

TEST_F(StyleLookupTest, WidgetsMayOutliveTheResourceManager)
{
    useSheet(nullptr);
    auto w = addWidget();
    ASSERT_EQ(w->getStyleProperty<unsigned>(sym("background-color"), 0u), 0xFFC0C0C0u);
    Lib::s_managerContainer.reset();
    EXPECT_EQ(w->getStyleProperty<unsigned>(sym("background-color"), 7u), 7u);
    w.reset();
    root.reset();
    pane.reset(); // destroys the tree without a manager
}

} // namespace
} // namespace CV::TOV::TEST
