#include <memory>
#include <string>
#include <vector>

#include "CanvasFixture.h"
#include "StyleFixture.h"
#include "TOV/MultilineLabel.h"
#include "TOV/StyleSheetManager.h"

namespace CV::TOV::TEST {
namespace {

using Lines = std::vector<std::string>;

// A label that records the texts it draws, in order.
class RecordingLabel : public MultilineLabel {
public:
    RecordingLabel()
    {
        m_drawer.m_fnTextCropper = [this](BAS::CharSequence<char> const& text, FEN::Font const&, int) {
            drawn.emplace_back(text.data(), text.size());
            return drawn.back();
        };
    }
    Lines lines() const
    {
        Lines all;
        for (size_t i = 0; i < getLineCount(); ++i)
            all.push_back(getLineText(i));
        return all;
    }

    Lines drawn;
};

// Labels placed by hand in a pane of 200 x 100, measured and drawn with the
// test font of box glyphs.
class MultilineLabelTest : public StyledWidgetTest {
protected:
    void SetUp() override
    {
        StyledWidgetTest::SetUp();
        useSheet("MultilineLabel { foreground-color: #FF0000; }\n"
                 "MultilineLabel#spaced { line-spacing: 3; }\n"
                 "MultilineLabel.centred { vertical-alignment: center; }\n"
                 "MultilineLabel.low { vertical-alignment: bottom; }\n"
                 "MultilineLabel.odd { horizontal-alignment: middle; }\n"
                 "MultilineLabel.right { horizontal-alignment: right; }");
    }

    std::shared_ptr<RecordingLabel> addLabel(std::string const& text, BAS::Point size, const char* id = "label",
                                             const char* style = "")
    {
        auto label = std::make_shared<RecordingLabel>();
        root->insertChildWidget(label, id);
        label->setStyle(style);
        label->setNoAlign(true);
        label->setSize(size);
        update();
        StyleSheetManager::get().getDrawingCache(*label).m_pDefaultFont = &font.get();
        label->setText(text);
        label->setStyleSheetChanged();
        update();
        return label;
    }

    int width(std::string const& text) { return font.get().getStringWidth(text.c_str(), int(text.size())); }
    int pitch() { return font.get().getCharHeight(); }

    // The first painted row and column inside the label.
    BAS::Point firstPainted(Widget const& label)
    {
        canvas.onSize(pane->getSize());
        pane->paint(canvas, BAS::Region(), Pane::ePaintAll);
        BAS::Rect const r = label.getRect();
        BAS::Point first{-1, -1};
        for (int y = r.top; y < r.bottom && first.y < 0; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (pixelOf(canvas, x, y) != 0) {
                    first.y = y - r.top;
                    break;
                }
        for (int x = r.left; x < r.right && first.x < 0; ++x)
            for (int y = r.top; y < r.bottom; ++y)
                if (pixelOf(canvas, x, y) != 0) {
                    first.x = x - r.left;
                    break;
                }
        return first;
    }

    TestFont font;
    BackgroundDrawingCanvas canvas;
};

TEST_F(MultilineLabelTest, TextsWrapAtBreakCharactersBetweenCharactersAndAtHardBreaks)
{
    struct Case {
        const char* name;
        std::string text;
        int available;
        Lines expected;
    };
    Case const cases[] = {
        {"after the space", "ABC DEF", width("ABC D"), {"ABC ", "DEF"}},
        {"after a hyphen", "ABC-DEF", width("ABC-D"), {"ABC-", "DEF"}},
        {"a long word between characters", "ABCDEFGH", width("ABC"), {"ABC", "DEF", "GH"}},
        {"a character wider than the line", "AB", width("A") - 1, {"", "A", "B"}},
        {"exactly as wide fits", "ABC", width("ABC"), {"ABC"}},
        {"hard breaks", "A\nB", 100, {"A\n", "B"}},
        {"a trailing newline", "AB\n", 100, {"AB\n", ""}},
        {"an empty text", "", 100, {""}},
    };
    for (Case const& c : cases) {
        auto label = addLabel(c.text, {c.available, 40});
        EXPECT_EQ(label->lines(), c.expected) << c.name;
        label->setMargin({7, 0, 5, 0});
        label->setSize({c.available + 12, 40});
        update();
        EXPECT_EQ(label->lines(), c.expected) << c.name << ", inside the margins";
        root->clearChildren();
    }
}

TEST_F(MultilineLabelTest, TextsLoseControlBytesAndInvalidSequencesAndWrapOnlyWhenChanged)
{
    auto label = addLabel("AB", {100, 40});
    EXPECT_EQ(label->getInvalidAspects(), 0u);
    label->setText("AB");
    EXPECT_EQ(label->getInvalidAspects(), 0u) << "the same text is not wrapped again";
    label->setText("A\tB");
    EXPECT_EQ(label->getText(), "AB");
    EXPECT_NE(label->getInvalidAspects(), 0u) << "a changed text is wrapped again even when filtered the same";
    label->setText("A\r\x01"
                   "C\xFF\xC3\xA9\n");
    EXPECT_EQ(label->getText(), "AC\xC3\xA9\n");
    EXPECT_EQ(label->getLineCount(), 2u);

    MultilineLabel loose;
    loose.setText("AB CD");
    EXPECT_EQ(loose.getLineCount(), 1u) << "without a pane the text is one line until wrapped";
    EXPECT_EQ(loose.getLineText(0), "AB CD");
}

TEST_F(MultilineLabelTest, LastVisibleLineEndsInTwoDotsUnlessTheHeightFollowsTheLines)
{
    int const p = pitch();
    auto label = addLabel("A\nB\nC\nD\nE", {100, 3 * p});
    label->drawn.clear();
    firstPainted(*label);
    EXPECT_EQ(label->drawn, (Lines{"A\n", "B.."}));

    label->setAutoResize(true);
    label->updateLineBreaks();
    update();
    EXPECT_EQ(label->getSize().y, 5 * p);
    label->drawn.clear();
    firstPainted(*label);
    EXPECT_EQ(label->drawn, (Lines{"A\n", "B\n", "C\n", "D\n", "E"}));

    label->setMaxSize({0, 2 * p});
    label->updateLineBreaks();
    EXPECT_EQ(label->getSize().y, 2 * p) << "capped by the maximum height";

    auto bordered = addLabel("A\nB\nC", {100, 3 * p + 2}, "bordered");
    bordered->setMargin({0, 0, 0, 2 * p});
    update();
    bordered->drawn.clear();
    firstPainted(*bordered);
    EXPECT_EQ(bordered->drawn, (Lines{"A.."})) << "the next line would reach the bottom margin";
}

TEST_F(MultilineLabelTest, LinesArePlacedByTheVerticalAlignmentAndInsideTheMargins)
{
    int const spacing = 20 - pitch();
    ASSERT_GE(spacing, 0);
    std::string const text = "MultilineLabel { foreground-color: #FF0000; line-spacing: " + std::to_string(spacing) +
        "; }\nMultilineLabel.centred { vertical-alignment: center; }\n"
        "MultilineLabel.low { vertical-alignment: bottom; }\n";
    useSheet(text.c_str());
    auto top = addLabel("A\nB\nC", {100, 100});
    int const topRow = firstPainted(*top).y;
    int const leftColumn = firstPainted(*top).x;
    ASSERT_GE(topRow, 0);
    root->clearChildren();

    auto centred = addLabel("A\nB\nC", {100, 100}, "label", "centred");
    EXPECT_EQ(firstPainted(*centred).y, topRow + 20);
    root->clearChildren();

    auto low = addLabel("A\nB\nC", {100, 100}, "label", "low");
    EXPECT_EQ(firstPainted(*low).y, topRow + 40);
    low->setMargin({10, 0, 0, 0});
    update();
    EXPECT_EQ(firstPainted(*low).x, leftColumn + 10) << "lines start at the left inner margin";
}

TEST_F(MultilineLabelTest, AlignmentKeywordsAndPositions)
{
    auto odd = addLabel("AB", {100, 40}, "label", "odd");
    EXPECT_EQ(odd->getHorizontalAlignment(), eTextLeft) << "an unknown keyword aligns left";
    EXPECT_EQ(odd->getVerticalAlignment(), eTextTop);
    root->clearChildren();

    auto label = addLabel("AB\nCDE", {100, 40}, "spaced");
    label->setMargin({4, 6, 0, 0});
    update();
    EXPECT_EQ(label->getLineSpacing(), 3);
    EXPECT_EQ(label->toPositionInPixel({2, 1}), (BAS::Point{4 + width("CD"), 6 + pitch() + 3}));
    EXPECT_EQ(label->toPositionInPixel({-2, 1}), (BAS::Point{4 - width("B"), 6 + pitch() + 3}))
        << "a negative column counts back over the line break, which takes no room";
    EXPECT_EQ(label->toPositionInPixel({99, 1}), (BAS::Point{4 + width("CDE"), 6 + pitch() + 3}))
        << "kept inside the text";
}

} // namespace
} // namespace CV::TOV::TEST
