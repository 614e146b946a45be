#include "CanvasFixture.h"
#include "WidgetFixture.h"

namespace CV::TOV::TEST {
namespace {

// A pane of 60 x 40 with a canvas of the same size.
class WidgetPaintTest : public WidgetTest {
protected:
    void paint(BAS::Region const& region)
    {
        canvas.onSize(pane->getSize());
        pane->paint(canvas, region, Pane::ePaintAll);
    }
    unsigned pixel(int x, int y) const
    {
        return canvas.getPicture().getPixels()[y * canvas.getPicture().getWidth() + x];
    }

    BackgroundDrawingCanvas canvas;
};

TEST_F(WidgetPaintTest, ChildrenPaintOverTheirParentUnlessItDrawsInTheForeground)
{
    for (bool foreground : {false, true}) {
        SCOPED_TRACE(foreground);
        auto root = makeRootInPane({60, 40});
        auto parent = makeWidget(), child = makeWidget();
        root->insertChildWidget(parent, "p");
        parent->insertChildWidget(child, "c");
        parent->setSize({30, 30});
        parent->fill = kRed;
        child->setSize({10, 10});
        child->fill = kBlue;
        parent->setFlag(Widget::ePaintBeforeChildren, !foreground);
        parent->setFlag(Widget::ePaintAfterChildren, foreground);
        update();
        BAS::Region nothing;
        paint(nothing);
        EXPECT_EQ(pixel(5, 5), foreground ? kRed : kBlue);
        EXPECT_EQ(pixel(20, 20), kRed);
        EXPECT_EQ(pixel(40, 35), 0u);
    }
}

TEST_F(WidgetPaintTest, OnlyWidgetsMeetingTheRegionAreClearedAndPainted)
{
    auto root = makeRootInPane({60, 40});
    auto left = makeWidget(), right = makeWidget(), inactive = makeWidget();
    for (auto const& w : {left, right, inactive}) {
        w->setSize({20, 20});
        w->fill = kGreen;
        root->insertChildWidget(w, "");
    }
    right->setPos({30, 0});
    inactive->setActive(false);
    update();
    canvas.onSize({60, 40});
    canvas.clear(kRed);

    BAS::Region region;
    region.addFast({0, 0, 10, 40});
    pane->paint(canvas, region, Pane::ePaintAll);
    region.clear();
    EXPECT_EQ(left->paintCount, 1);
    EXPECT_EQ(right->paintCount, 0);
    EXPECT_EQ(inactive->paintCount, 0);
    EXPECT_EQ(pixel(5, 5), kGreen);
    EXPECT_EQ(pixel(5, 30), 0u) << "cleared to transparent";
    EXPECT_EQ(pixel(15, 5), kRed) << "outside the region";
}

} // namespace
} // namespace CV::TOV::TEST
