#include "TOV/PanelDrawer.h"
#include "CanvasFixture.h"
#include "StyleFixture.h"
#include "TOV/LazyPicture.h"
#include "TOV/StyleSheetManager.h"

namespace CV::TOV::TEST {
namespace {

class PanelWidget : public TestWidget {
public:
    PanelWidget()
        : TestWidget("Panel")
    {
    }
    void onPaint(PaintContext& context) override
    {
        drawer.drawPanelItem(*this, context);
        if (!text.empty())
            drawer.drawTextItem(*this, text, context, eTextHorizontal);
    }

    PanelDrawer drawer;
    std::string text;
};

// A 60 x 40 panel at (10, 10) in a pane of 100 x 60, painted whole.
class PanelDrawerTest : public StyledWidgetTest {
protected:
    std::shared_ptr<PanelWidget> panelStyledBy(const char* sheetText)
    {
        useSheet(sheetText);
        auto panel = std::make_shared<PanelWidget>();
        root->insertChildWidget(panel, "panel");
        panel->setNoAlign(true);
        panel->setPos({10, 10});
        panel->setSize({60, 40});
        update();
        cache(*panel).m_pDefaultFont = &font.get();
        return panel;
    }
    static DrawingCache& cache(Widget const& w) { return StyleSheetManager::get().getDrawingCache(w); }
    void paint()
    {
        canvas.onSize({100, 60});
        BAS::Region whole;
        pane->paint(canvas, whole, Pane::ePaintAll);
    }
    unsigned pixel(int x, int y) const { return pixelOf(canvas, x, y); }

    BackgroundDrawingCanvas canvas;
    TestFont font;
};

TEST_F(PanelDrawerTest, PanelsTextsAndTheirColours)
{
    struct Case {
        const char* name;
        const char* sheet;
        const char* text;
        unsigned inside, edge;
        bool textShown;
    };
    Case const cases[] = {
        {"nothing styled paints nothing", "Other { background-color: #FF0000; }", "", 0u, 0u, false},
        {"fill and border", "Panel { background-color: #00FF00; background-border-color: #0000FF; }", "", kGreen, kBlue,
         false},
        {"border only", "Panel { background-border-color: #0000FF; }", "", 0u, kBlue, false},
        {"no foreground colour, no text", "Panel { background-color: #000000; }", "AB", 0xFF000000u, 0xFF000000u,
         false},
        {"text in the foreground colour", "Panel { background-color: #000000; foreground-color: #FF0000; }", "AB",
         0xFF000000u, 0xFF000000u, true},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        auto panel = panelStyledBy(c.sheet);
        panel->text = c.text;
        paint();
        EXPECT_EQ(pixel(12, 48), c.inside);
        EXPECT_EQ(pixel(10, 10), c.edge);
        EXPECT_EQ(paintedIn(canvas, {0, 0, 100, 10}) + paintedIn(canvas, {70, 0, 100, 60}), 0);
        // Inside the border, anything but the fill is text.
        EXPECT_EQ(paintedIn(canvas, {11, 11, 69, 49}, c.inside) > 0, c.textShown);
    }
}

TEST_F(PanelDrawerTest, TextLengthFollowsRotationAndDisplacement)
{
    auto panel = panelStyledBy("Panel { foreground-relative-left: 2; foreground-relative-top: 1; }");
    BAS::Rect const r{0, 0, 100, 30};
    struct Case {
        eTextRotation rotation;
        int length;
    };
    for (Case c : {Case{eTextHorizontal, 98}, Case{eTextRotated90, 29}, Case{eTextRotation(2), 0}})
        EXPECT_EQ(panel->drawer.getMaxTextLength(*panel, r, c.rotation), c.length) << c.rotation;
}

TEST_F(PanelDrawerTest, BackgroundPicturesSitInsideTheMarginsUnlessTheyIncludeThem)
{
    struct Case {
        const char* name;
        const char* sheet;
        bool resizable;
        BAS::Point first;
        BAS::Point last; // the picture's last pixel
    };
    Case const cases[] = {
        {"inside the margins", "Panel { margin: 3; }", false, {13, 13}, {16, 16}},
        {"including the margins", "Panel { margin: 3; picture-includes-margin: yes; }", false, {10, 10}, {13, 13}},
        {"displaced", "Panel { margin: 3; relative-left: 5; relative-top: 1; }", false, {18, 14}, {21, 17}},
        {"stretched", "Panel { margin: 3; }", true, {13, 13}, {66, 46}},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.name);
        auto panel = panelStyledBy(c.sheet);
        auto picture = solidPicture(4, 4, kRed);
        picture->setHorzResizable(c.resizable);
        picture->setVertResizable(c.resizable);
        cache(*panel).m_pictures.emplace_back(StateSelector(),
                                              LazyPicture(std::shared_ptr<FEN::Picture const>(std::move(picture))));
        paint();
        EXPECT_EQ(pixel(c.first.x, c.first.y), kRed);
        EXPECT_EQ(pixel(c.last.x, c.last.y), kRed);
        EXPECT_EQ(pixel(c.first.x - 1, c.first.y), 0u);
        EXPECT_EQ(pixel(c.last.x + 1, c.last.y), 0u);
    }
}

} // namespace
} // namespace CV::TOV::TEST
