#include <vector>

#include "TOV/WidgetAlignment.h"
#include "WidgetFixture.h"

namespace CV::TOV::TEST {
namespace {

using WidgetLayoutTest = WidgetTest;

TEST_F(WidgetLayoutTest, SetSizeClampsToMinimumThenMaximum)
{
    struct Case {
        BAS::Point minimum, maximum, request, expected;
    };
    Case const cases[] = {
        {{18, 18}, {0, 0}, {10, 10}, {18, 18}},
        {{18, 18}, {15, 0}, {30, 5}, {15, 18}},
        {{0, 0}, {-1, 40}, {500, 60}, {500, 40}},
        {{20, 0}, {10, 0}, {5, 5}, {10, 5}}, // a maximum below the minimum wins
    };
    for (Case const& c : cases) {
        auto w = makeWidget();
        w->setMinSize(c.minimum);
        w->setMaxSize(c.maximum);
        w->setSize(c.request);
        EXPECT_EQ(w->getSize(), c.expected) << "request " << c.request;
    }
}

struct ArrangeCase {
    const char* name;
    eWidgetAlignment direction;
    Margin inner;
    Margin outer;
    int spacing;
    std::vector<BAS::Point> sizes;
    std::vector<BAS::Point> positions;
    std::vector<BAS::Point> arrangedSizes;
};

TEST_F(WidgetLayoutTest, ArrangeChildsPlacesAlongTheAxis)
{
    // The container is 100 by 80.
    ArrangeCase const cases[] = {
        {"top to bottom",
         eAlignTopToBottom,
         {},
         {},
         2,
         {{5, 10}, {5, 20}, {5, 30}},
         {{0, 0}, {0, 12}, {0, 34}},
         {{100, 10}, {100, 20}, {100, 30}}},
        {"top to bottom with margins",
         eAlignTopToBottom,
         {4, 3, 6, 1},
         {1, 2, 3, 4},
         0,
         {{5, 10}, {5, 10}},
         {{1, 2}, {1, 18}},
         {{86, 10}, {86, 10}}},
        {"left to right", eAlignLeftToRight, {}, {}, 5, {{10, 5}, {20, 5}}, {{0, 0}, {15, 0}}, {{10, 80}, {20, 80}}},
        {"left to right with margins",
         eAlignLeftToRight,
         {4, 3, 6, 1},
         {1, 2, 3, 4},
         1,
         {{10, 5}, {20, 5}},
         {{1, 2}, {16, 2}},
         {{10, 70}, {20, 70}}},
        {"right to left ends at the content edge",
         eAlignRightToLeft,
         {4, 0, 6, 0},
         {},
         0,
         {{10, 5}},
         {{80, 0}},
         {{10, 80}}},
        {"right to left with outer margins",
         eAlignRightToLeft,
         {4, 0, 6, 0},
         {1, 2, 3, 4},
         2,
         {{10, 5}, {20, 5}},
         {{77, 2}, {51, 2}},
         {{10, 74}, {20, 74}}},
        {"bottom to top ends at the content edge",
         eAlignBottomToTop,
         {0, 5, 0, 7},
         {},
         1,
         {{5, 10}, {5, 20}},
         {{0, 58}, {0, 37}},
         {{100, 10}, {100, 20}}},
        {"unknown direction places nothing", eWidgetAlignment(2), {}, {}, 0, {{5, 10}}, {{0, 0}}, {{5, 10}}},
    };
    for (ArrangeCase const& c : cases) {
        SCOPED_TRACE(c.name);
        auto box = makeWidget();
        box->setSize({100, 80});
        box->setMargin(c.inner);
        std::vector<std::shared_ptr<TestWidget>> kids;
        for (BAS::Point size : c.sizes) {
            kids.push_back(makeWidget());
            kids.back()->setSize(size);
            kids.back()->setOuterMargin(c.outer);
            box->insertChildWidget(kids.back(), "");
        }
        box->arrangeChilds(c.direction, c.spacing);
        for (size_t i = 0; i < kids.size(); ++i) {
            EXPECT_EQ(kids[i]->getPos(), c.positions[i]) << "child " << i;
            EXPECT_EQ(kids[i]->getSize(), c.arrangedSizes[i]) << "child " << i;
        }
    }
}

TEST_F(WidgetLayoutTest, ArrangeChildsSkipsInactiveAndNoAlignChildren)
{
    auto box = makeWidget();
    box->setSize({100, 80});
    auto a = makeWidget(), hidden = makeWidget(), free = makeWidget(), b = makeWidget();
    for (auto const& w : {a, hidden, free, b}) {
        w->setSize({5, 10});
        box->insertChildWidget(w, "");
    }
    hidden->setActive(false);
    free->setNoAlign(true);
    free->setPos({50, 50});
    box->arrangeChilds(eAlignTopToBottom, 0);
    EXPECT_EQ(b->getPos(), (BAS::Point{0, 10}));
    EXPECT_EQ(hidden->getPos(), (BAS::Point{0, 0}));
    EXPECT_EQ(free->getPos(), (BAS::Point{50, 50}));
}

TEST_F(WidgetLayoutTest, AlignmentComputesAbsolutePositionsAndClips)
{
    auto root = makeRootInPane({200, 100});
    root->setPos({30, 30}); // a root stays at the pane's origin
    root->setMargin({10, 5, 10, 5});
    auto child = makeWidget(), grandchild = makeWidget(), outside = makeWidget();
    root->insertChildWidget(child, "child");
    child->insertChildWidget(grandchild, "grandchild");
    root->insertChildWidget(outside, "outside");
    child->setPos({20, 10});
    child->setSize({50, 40});
    child->setMargin({2, 3, 0, 0});
    grandchild->setPos({40, 30});
    grandchild->setSize({20, 20});
    outside->setPos({300, 0});
    outside->setSize({10, 10});
    update();

    EXPECT_EQ(root->getAbsPos(), (BAS::Point{0, 0}));
    EXPECT_EQ(root->getClipRect(), (BAS::Rect{0, 0, 200, 100}));
    EXPECT_EQ(child->getAbsPos(), (BAS::Point{30, 15}));
    EXPECT_EQ(child->getClipRect(), (BAS::Rect{30, 15, 80, 55}));
    EXPECT_EQ(grandchild->getAbsPos(), (BAS::Point{72, 48}));
    EXPECT_EQ(grandchild->getClipRect(), (BAS::Rect{72, 48, 80, 55}));
    EXPECT_EQ(outside->getClipRect(), (BAS::Rect{0, 0, 0, 0}));
}

TEST_F(WidgetLayoutTest, ContainerPlacesChildrenInItsAlignHook)
{
    auto root = makeRootInPane({200, 100});
    root->onAlignHook = [](TestWidget& w) { w.arrangeChilds(eAlignLeftToRight, 4); };
    auto a = makeWidget(), b = makeWidget();
    a->setSize({30, 1});
    b->setSize({40, 1});
    root->insertChildWidget(a, "a");
    root->insertChildWidget(b, "b");
    update();
    EXPECT_EQ(b->getAbsPos(), (BAS::Point{34, 0}));
    EXPECT_EQ(b->getSize(), (BAS::Point{40, 100}));
}

TEST_F(WidgetLayoutTest, AlignmentStopsAfterFivePasses)
{
    auto root = makeRootInPane();
    int calls = 0;
    root->onAlignHook = [&](TestWidget& w) {
        ++calls;
        w.setAlign();
    };
    root->setAlign();
    update();
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(pane->getUpdateFlags(), 0u);
}

TEST_F(WidgetLayoutTest, InvalidParentCoversItsInvalidChild)
{
    auto root = makeRootInPane({200, 100});
    auto parent = makeWidget(), child = makeWidget();
    root->insertChildWidget(parent, "p");
    parent->insertChildWidget(child, "c");
    parent->setPos({10, 10});
    parent->setSize({50, 50});
    child->setSize({10, 10});
    update();

    parent->setInvalid(0);
    child->setInvalid(0);
    EXPECT_EQ(update(), (BAS::Rect{10, 10, 60, 60}));
    EXPECT_EQ(child->getInvalidAspects(), 0u);

    child->setNoAlign(true);
    child->setPos({20, 0}); // old and new area repainted
    EXPECT_EQ(update(), (BAS::Rect{10, 10, 40, 20}));
}

TEST_F(WidgetLayoutTest, KeywordsGiveTextAlignments)
{
    struct Case {
        const char* keyword;
        eTextAlignment horizontal, vertical;
    };
    // An unknown vertical keyword aligns to the top, so it never sets a
    // horizontal bit.
    Case const cases[] = {
        {"left", eTextLeft, eTextTop},   {"right", eTextRight, eTextTop},    {"center", eTextCenter, eTextCenter},
        {"top", eTextLeft, eTextTop},    {"bottom", eTextLeft, eTextBottom}, {"no", eTextLeft, eTextTop},
        {"Center", eTextLeft, eTextTop},
    };
    for (Case const& c : cases) {
        EXPECT_EQ(getHorizontalAlignment(c.keyword), c.horizontal) << c.keyword;
        EXPECT_EQ(getVerticalAlignment(c.keyword), c.vertical) << c.keyword;
    }
}

} // namespace
} // namespace CV::TOV::TEST
