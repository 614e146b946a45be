#pragma once
// A UTF-8 text word-wrapped to the widget's available width (its width
// less its left and right inner margins), kept as a list of line starts.
#include <cstdint>
#include <string>
#include <vector>

#include <boost/regex/pending/unicode_iterator.hpp>

#include "BAS/Point.h"
#include "TOV/PanelDrawer.h"
#include "TOV/WidgetTemplate.h"

namespace CV::TOV::DETAIL {

class MultilineText : public WidgetTemplate<MultilineText> {
public:
    using TextIterator = boost::u8_to_u32_iterator<std::string::const_iterator>;

    struct LineColPosition {
        int64_t column = 0; // code points from the line's start; negative counts backwards
        uint64_t line = 0;
    };

    MultilineText();

    // Stores the text without invalid UTF-8 and without control bytes other
    // than '\n', and wraps it again; the same text (byte for byte) changes
    // nothing.
    virtual void setText(std::string const& text);
    // Wraps the text to the available width; nothing without a pane.
    virtual void updateLineBreaks();

    void onAlign() override;
    void onStyleSheetChanged() override;

    std::string const& getText() const { return m_strText; }
    size_t getLineCount() const { return m_vecLineStarts.size() - 1; }
    // The bytes of the line, its '\n' included.
    std::string getLineText(size_t line) const;
    int getLineSpacing() const { return m_iLineSpacing; }
    // The width less the left and right inner margins.
    int getAvailableWidth() const;

    // The start of the line moved by the column in code points, kept inside
    // the text; the start of the text for an empty text.
    TextIterator toIteratorInText(LineColPosition position) const;
    // Where that character starts, in the widget's own coordinates.
    BAS::Point toPositionInPixel(LineColPosition const& position) const;

protected:
    // The height of one line plus the line spacing, at the pane's scale.
    int linePitch() const;
    // The width of the byte range in the widget's font, 0 when empty.
    int rangeWidth(std::string::const_iterator first, std::string::const_iterator last) const;
    size_t lineStartOffset(size_t line) const;

    PanelDrawer m_drawer;
    int32_t m_iLineSpacing = 0;
    std::string m_strText;
    // One entry per line start, then the end of the text; they point into
    // m_strText.
    std::vector<TextIterator> m_vecLineStarts;
    int32_t m_iWrapWidth = 0;

private:
    TextIterator iteratorAt(std::string::const_iterator position) const;
    void resetToOneLine();
};

} // namespace CV::TOV::DETAIL
