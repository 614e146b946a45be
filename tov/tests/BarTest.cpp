#include <memory>
#include <string>
#include <vector>

#include "StyleDump.h"
#include "StyleFixture.h"
#include "TOV/Bar.h"

namespace CV::TOV::TEST {
namespace {

using Lines = std::vector<std::string>;

class BarTest : public StyledWidgetTest {
protected:
    // A bar in the pane, styled with the alignment and then sized.
    std::shared_ptr<Bar> addBar(eWidgetAlignment alignment, BAS::Point size, const char* id = "bar")
    {
        auto bar = std::make_shared<Bar>();
        root->insertChildWidget(bar, id);
        bar->style(alignment, nullptr);
        update();
        bar->setSize(size);
        update();
        return bar;
    }

    static std::shared_ptr<TestWidget> addChild(Widget& parent, BAS::Point size, Margin outer = {})
    {
        auto child = makeWidget();
        parent.insertChildWidget(child, "c");
        child->setSize(size);
        child->setOuterMargin(outer);
        return child;
    }
};

TEST_F(BarTest, BreadthFollowsTheLargestActiveChildPlusTheInnerMargins)
{
    struct Case {
        eWidgetAlignment alignment;
        BAS::Point expected; // from a size of (100, 100)
    };
    // Children: 30x10 with outer margins, 20x25 out of the layout (still
    // counted), 50x40 inactive (ignored). Inner margins 5, 6, 7, 8.
    Case const cases[] = {
        {eAlignLeftToRight, {100, 25 + 6 + 8}},           {eAlignRightToLeft, {100, 25 + 6 + 8}},
        {eAlignTopToBottom, {30 + 1 + 3 + 5 + 7, 100}},   {eAlignBottomToTop, {30 + 1 + 3 + 5 + 7, 100}},
        {eWidgetAlignment(7), {30 + 1 + 3 + 5 + 7, 100}},
    };
    for (Case const& c : cases) {
        Bar bar;
        bar.style(c.alignment, nullptr);
        bar.setSize({100, 100});
        bar.setMargin({5, 6, 7, 8});
        addChild(bar, {30, 10}, {1, 2, 3, 4});
        addChild(bar, {20, 25})->setNoAlign(true);
        addChild(bar, {50, 40})->setActive(false);
        bar.setBreadthMax();
        EXPECT_EQ(bar.getSize(), c.expected) << c.alignment;
    }

    Bar empty;
    empty.style(eAlignLeftToRight, nullptr);
    empty.setMargin({0, 2, 0, 3});
    empty.setBreadthMax();
    EXPECT_EQ(empty.getSize().y, 18) << "clamped to the minimum size";
    empty.setMargin({0, 12, 0, 13});
    empty.setBreadthMax();
    EXPECT_EQ(empty.getSize().y, 25);
}

TEST_F(BarTest, BreadthMaxAdoptsTheChildrensSizeWithinOneAlignment)
{
    useSheet("Bar { spacing: 3; }");
    auto bar = addBar(eAlignLeftToRight, {150, 60});
    bar->styleBreadthMax();
    auto tall = addChild(*bar, {20, 30});
    tall->setMinSize({0, 30});
    addChild(*bar, {20, 5});
    update();
    EXPECT_EQ(bar->getSize(), (BAS::Point{150, 30}));
    EXPECT_EQ(bar->getChildren()[1]->getPos(), (BAS::Point{23, 0}));
    EXPECT_EQ(bar->getChildren()[1]->getSize().y, 30) << "arranged to the bar's breadth";

    tall->setMinSize({0, 44});
    tall->setSize({20, 44});
    update();
    EXPECT_EQ(bar->getSize().y, 44);
}

TEST_F(BarTest, FlexibleChildTakesTheRemainingLength)
{
    useSheet("Bar { spacing: 4; }");
    auto bar = addBar(eAlignLeftToRight, {200, 40});
    bar->setMargin({3, 0, 5, 0});
    auto first = addChild(*bar, {20, 10}, {1, 0, 2, 0});
    auto flexible = addChild(*bar, {10, 10}, {3, 0, 4, 0});
    auto last = addChild(*bar, {30, 10});
    bar->setFlexibleIndex(1);
    update();

    // 200 - 3 - 5 - (20 + 1 + 2 + 4) - (30 + 4) - 3 - 4
    EXPECT_EQ(flexible->getSize().x, 124);
    EXPECT_EQ(first->getPos(), (BAS::Point{1, 0}));
    EXPECT_EQ(flexible->getPos(), (BAS::Point{30, 0}));
    EXPECT_EQ(last->getPos(), (BAS::Point{162, 0}));

    flexible->setMinSize({150, 0});
    bar->setAlign();
    update();
    EXPECT_EQ(flexible->getSize().x, 150) << "a remaining length below the minimum keeps the minimum";

    auto vertical = addBar(eAlignTopToBottom, {40, 100}, "vertical");
    addChild(*vertical, {10, 20}, {0, 1, 0, 1});
    auto stretched = addChild(*vertical, {10, 10});
    vertical->setFlexibleIndex(1);
    update();
    EXPECT_EQ(stretched->getSize().y, 100 - 22 - 4);
}

TEST_F(BarTest, FlexibleIndexOutsideTheChildrenSizesNothing)
{
    useSheet(nullptr);
    for (int index : {-1, -2, 2, 7}) {
        auto bar = addBar(eAlignLeftToRight, {200, 40});
        auto a = addChild(*bar, {20, 10});
        auto b = addChild(*bar, {25, 10});
        bar->setFlexibleIndex(index);
        update();
        EXPECT_EQ(a->getSize().x, 20) << index;
        EXPECT_EQ(b->getSize().x, 25) << index;
        EXPECT_EQ(b->getPos().x, 20) << index;
        root->clearChildren();
    }
}

TEST_F(BarTest, SpacingComesFromTheSheetAndIsKeptWhenNoRuleGivesIt)
{
    useSheet("Bar[mode=wide] { spacing: 6; }");
    auto bar = addBar(eAlignTopToBottom, {50, 100});
    EXPECT_EQ(bar->getSpacing(), 0);
    bar->setAttribute("mode", "wide");
    update();
    EXPECT_EQ(bar->getSpacing(), 6);
    bar->setAttribute("mode", "narrow");
    update();
    EXPECT_EQ(bar->getSpacing(), 6);

    addChild(*bar, {10, 10});
    auto second = addChild(*bar, {10, 10});
    update();
    EXPECT_EQ(second->getPos().y, 16);
}

TEST_F(BarTest, ContradictionsWithTheSheetAreLoggedWithTheRuleLocation)
{
    struct Case {
        const char* name;
        eWidgetAlignment alignment;
        bool lengthAutomatic;
        Lines expected;
    };
    Case const cases[] = {
        {"breadth given to a horizontal bar",
         eAlignLeftToRight,
         false,
         {"Layout contradiction - height of Bar bar is given at line (StyleParser2::processString):3 of the stylesheet "
          "but also computed "
          "automatically by styleBreadthXXX!!!"}},
        {"breadth given to a vertical bar",
         eAlignBottomToTop,
         false,
         {"Layout contradiction - width of Bar bar is given at line (StyleParser2::processString):2 of the stylesheet "
          "but also computed "
          "automatically by styleBreadthXXX!!!"}},
        {"automatic length with a flexible child",
         eAlignTopToBottom,
         true,
         {"Layout contradiction - width of Bar bar is given at line (StyleParser2::processString):2 of the stylesheet "
          "but also computed "
          "automatically by styleBreadthXXX!!!",
          " Layout contradiction - Bar bar has a flexible element, but is also computed automatically by "
          "styleLengthXXX!!!",
          "Layout contradiction - height of Bar bar is given at line (StyleParser2::processString):3 of the stylesheet "
          "but also computed "
          "automatically by styleLengthXXX!!!"}},
    };
    for (Case const& c : cases) {
        useSheet("\nBar { width: 70; }\nBar { height: 30; }");
        auto bar = std::make_shared<Bar>();
        bar->style(c.alignment, nullptr).styleBreadthMax();
        bar->setLengthAutomatic(c.lengthAutomatic);
        bar->setFlexibleIndex(0);
        addChild(*bar, {10, 12});
        Testing::LogCapture log;
        root->insertChildWidget(bar, "bar");
        update();
        EXPECT_EQ(log.lines, c.expected) << c.name;
    }
}

TEST_F(BarTest, ContradictionNamesTheRuleThatAppliesInTheBarsStates)
{
    useSheet("\nBar { height: 30; }\nBar:over { height: 40; }");
    auto bar = std::make_shared<Bar>();
    bar->style(eAlignLeftToRight, nullptr).styleBreadthMax();
    Testing::LogCapture log;
    root->insertChildWidget(bar, "bar");
    update();
    EXPECT_EQ(log.lines,
              (Lines{"Layout contradiction - height of Bar bar is given at line "
                     "(StyleParser2::processString):2 of the stylesheet but also computed "
                     "automatically by styleBreadthXXX!!!"}))
        << "the hover rule on line 3 is listed first but does not apply";
}

TEST_F(BarTest, HorizontalBarsMatchTheHorizontalAttribute)
{
    useSheet("Bar[isHorizontal=yes] { spacing: 2; } Bar[isHorizontal=no] { spacing: 9; }");
    EXPECT_EQ(addBar(eAlignRightToLeft, {50, 50}, "h")->getSpacing(), 2);
    EXPECT_EQ(addBar(eAlignBottomToTop, {50, 50}, "v")->getSpacing(), 9);
}

} // namespace
} // namespace CV::TOV::TEST
