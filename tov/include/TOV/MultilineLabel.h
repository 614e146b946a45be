#pragma once
// Paints a wrapped text line by line with a horizontal and a vertical
// alignment and a line spacing; its height may follow the number of lines.
// When the text is taller than the label, the last visible line ends in "..".
#include "TOV/MultilineText.h"
#include "TOV/WidgetAlignment.h"

namespace CV::TOV {

class MultilineLabel : public DETAIL::MultilineText {
public:
    MultilineLabel();

    cv::symbol getClass() const override;
    void onPaint(PaintContext& context) override;
    void onStyleSheetChanged() override;
    void updateLineBreaks() override;

    // The height follows the number of lines from the next wrapping on.
    void setAutoResize(bool autoResize) { m_bAutoResize = autoResize; }
    bool isAutoResize() const { return m_bAutoResize; }
    void autoResize();

    eTextAlignment getHorizontalAlignment() const { return m_eHorizontalAlignment; }
    eTextAlignment getVerticalAlignment() const { return m_eVerticalAlignment; }

private:
    // How far the block of lines moves down for the vertical alignment.
    int verticalOffset(int pitch, int lines) const;
    // Draws line i in the rectangle; false when painting stops after it.
    bool paintLine(size_t line, BAS::Rect const& rect, int pitch, PaintContext& context) const;

    bool m_bAutoResize = false;
    eTextAlignment m_eHorizontalAlignment = eTextLeft;
    eTextAlignment m_eVerticalAlignment = eTextTop;
};

} // namespace CV::TOV
