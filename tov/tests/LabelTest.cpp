#include <cmath>
#include <memory>
#include <sstream>
#include <string>

#include "CanvasFixture.h"
#include "FEN/Font.h"
#include "StagedBundle.h"
#include "StyleFixture.h"
#include "TOV/Label.h"

namespace CV::TOV::TEST {
namespace {

// Labels measured with the library's default font, from the staged bundle.
class LabelTest : public StyledWidgetTest {
protected:
    std::shared_ptr<Label> addLabel(std::string const& text, const char* style = nullptr)
    {
        auto label = std::make_shared<Label>();
        root->insertChildWidget(label, "label");
        label->style(text, style);
        update();
        return label;
    }

    FEN::Font const& defaultFont(float scale = 1.0f)
    {
        FEN::Font const* font = Lib::s_managerContainer->getFont(Lib::s_managerContainer->getDefaultFontData());
        EXPECT_NE(font, nullptr) << "the default font did not load";
        font->setBackingScaleFactor(scale);
        return *font;
    }

    // The widest line as the font measures each line alone.
    int widestLine(std::string const& text, float scale)
    {
        std::istringstream lines(text);
        int widest = 0;
        for (std::string line; std::getline(lines, line);)
            widest = std::max(widest, defaultFont(scale).getStringWidth(line.c_str(), int(line.size())));
        return widest;
    }

    StagedBundle bundle;
};

TEST_F(LabelTest, TextsAreMeasuredWithTheDefaultFontAndTheInnerMargins)
{
    useSheet("Label { margin-left: 2; margin-top: 3; margin-right: 4; margin-bottom: 5; }");
    struct Case {
        std::string text;
        int lines;
    };
    Case const cases[] = {{"", 1}, {"Update", 1}, {"ab\nthe wider line", 2}, {"wide line first\nx\n", 3}};
    for (float scale : {1.0f, 2.0f}) {
        pane->setBackingScaleFactor(scale);
        auto label = addLabel("");
        for (Case const& c : cases) {
            SCOPED_TRACE(c.text + " at scale " + std::to_string(scale));
            int const charHeight = defaultFont(scale).getCharHeight();
            int const width = int(std::lround(widestLine(c.text, scale) / double(scale)));
            int const height = int(std::lround(c.lines * charHeight / double(scale)));
            ASSERT_GT(charHeight, 0);
            EXPECT_EQ(label->getWidthForText(c.text), 6 + width);
            EXPECT_EQ(label->getHeightForText(c.text), 8 + height);
            label->setTextRotation(eTextRotated90);
            EXPECT_EQ(label->getWidthForText(c.text), 6 + height);
            EXPECT_EQ(label->getHeightForText(c.text), 8 + width);
            label->setTextRotation(eTextHorizontal);
        }
        EXPECT_GT(label->getWidthForText("Update"), label->getWidthForText("Up"));
        root->clearChildren();
    }
}

TEST_F(LabelTest, ChangedTextsRepaintAndAutoSizedPanelsFollowTheirText)
{
    useSheet("Label#capped { max-width: 30; }");
    auto label = addLabel("Rescan");
    EXPECT_EQ(label->getInvalidAspects(), 0u);
    label->setText("Rescan");
    EXPECT_EQ(label->getInvalidAspects(), 0u) << "the same text neither stores nor repaints";
    label->setText("Update");
    EXPECT_NE(label->getInvalidAspects(), 0u);
    EXPECT_EQ(label->getText(), "Update");
    EXPECT_EQ(label->getSize(), (BAS::Point{18, 18})) << "no auto-size: the style's size stays";

    label->setAutoSize(true);
    label->setText("Update");
    EXPECT_EQ(label->getSize(), (BAS::Point{label->getWidthForText("Update"), label->getHeightForText("Update")}))
        << "an auto-sized panel follows its text also when the text did not change";

    auto capped = std::make_shared<Label>();
    capped->setAutoSize(true);
    root->insertChildWidget(capped, "capped");
    capped->style("A rather long caption", nullptr);
    update();
    EXPECT_EQ(capped->getSize().x, 30) << "the style's maximum width caps the text's width";
    EXPECT_EQ(capped->getSize().y, capped->getHeightForText("A rather long caption"));
}

TEST_F(LabelTest, StyleSetsTheTextThenTheStyleNameAndPaintsTheText)
{
    useSheet("Label.caption { background-color: #000000; foreground-color: #FF0000; margin: 2; }");
    auto label = addLabel("UPDATE", "caption");
    EXPECT_EQ(label->getClass().string(), "Label");
    EXPECT_EQ(label->getStyle(), "caption");
    label->style("UPDATE", nullptr);
    EXPECT_EQ(label->getStyle(), "caption") << "a null style name keeps the style name";

    label->setNoAlign(true);
    label->setSize({label->getWidthForText("UPDATE"), label->getHeightForText("UPDATE")});
    update();
    BackgroundDrawingCanvas canvas;
    canvas.onSize(pane->getSize());
    pane->paint(canvas, BAS::Region(), Pane::ePaintAll);
    BAS::Rect const r = label->getRect();
    EXPECT_EQ(pixelOf(canvas, r.left, r.top), 0xFF000000u) << "the panel";
    EXPECT_GT(paintedIn(canvas, {r.left + 2, r.top + 2, r.right - 2, r.bottom - 2}, 0xFF000000u), 0)
        << "the text inside the margins";
}

} // namespace
} // namespace CV::TOV::TEST
