#include "StyleFixture.h"

namespace CV::TOV::TEST {
namespace {

using StyledLayoutTest = StyledWidgetTest;

TEST_F(StyledLayoutTest, SizesMarginsAndPositionsComeFromTheSheet)
{
    useSheet(R"(Root { margin: 2; }
        Test { margin: 5; margin-left: 3; outer-margin-top: 4; min-height: 12; }
        *#fixed { width: 40; }
        *#placed { x: 100; y: 10; }
        *#front { z-index: -1; draw_foreground: yes; })");
    root->onAlignHook = [](TestWidget& w) { w.arrangeChilds(eAlignTopToBottom, 0); };
    auto plain = addWidget("Test", "plain");
    auto fixed = addWidget("Test", "fixed");
    auto placed = addWidget("Test", "placed");
    auto front = addWidget("Test", "front");
    update();

    EXPECT_EQ(plain->getMargin(), (Margin{3, 5, 5, 5}));
    EXPECT_EQ(plain->getOuterMargin(), (Margin{0, 4, 0, 0}));
    EXPECT_EQ(plain->getSize(), (BAS::Point{196, 12})) << "arranged across the root's content";
    EXPECT_EQ(plain->getAbsPos(), (BAS::Point{2, 6}));
    EXPECT_EQ(fixed->getSize(), (BAS::Point{40, 12})) << "its width stays whatever the root arranges";
    EXPECT_EQ(fixed->getAbsPos(), (BAS::Point{2, 22}));
    EXPECT_TRUE(placed->isNoAlign());
    EXPECT_EQ(placed->getAbsPos(), (BAS::Point{102, 12}));
    EXPECT_EQ(front->getAbsPos(), (BAS::Point{2, 38})) << "the placed widget takes no room";
    EXPECT_EQ(root->getChildrenByZ().front(), front);
    EXPECT_TRUE(front->hasFlags(Widget::ePaintAfterChildren));
    EXPECT_FALSE(front->hasFlags(Widget::ePaintBeforeChildren));
}

} // namespace
} // namespace CV::TOV::TEST
