#include "TOV/MultilineLabel.h"

#include <algorithm>

#include "TOV/PaintContext.h"
#include "TOV/StyleProperties.h"

namespace CV::TOV {

namespace {

bool isEmptyRect(BAS::Rect const& r)
{
    return r.left >= r.right || r.top >= r.bottom;
}

bool overlaps(BAS::Rect const& a, BAS::Rect const& b)
{
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

} // namespace

MultilineLabel::MultilineLabel() = default;

cv::symbol MultilineLabel::getClass() const
{
    static cv::symbol const s_class(std::string("MultilineLabel"));
    return s_class;
}

void MultilineLabel::onStyleSheetChanged()
{
    m_eHorizontalAlignment =
        TOV::getHorizontalAlignment(getStyleProperty<std::string>("horizontal-alignment", std::string("left")));
    m_eVerticalAlignment =
        TOV::getVerticalAlignment(getStyleProperty<std::string>("vertical-alignment", std::string("top")));
    m_iLineSpacing = getStyleProperty<int>(properties::lineSpacing, 0);
    Widget::onStyleSheetChanged();
    updateLineBreaks();
    setInvalid(0);
}

void MultilineLabel::updateLineBreaks()
{
    if (!getPane())
        return;
    MultilineText::updateLineBreaks();
    autoResize();
}

void MultilineLabel::autoResize()
{
    if (!m_bAutoResize)
        return;
    int height = int(getLineCount()) * linePitch();
    int const maxHeight = getMaxSize().y;
    if (maxHeight > 0 && maxHeight < height)
        height = maxHeight;
    setSize({getSize().x, height});
}

int MultilineLabel::verticalOffset(int pitch, int lines) const
{
    if (m_bAutoResize)
        return 0;
    Margin const& m = getMargin();
    int const inner = getSize().y - m.top - m.bottom;
    switch (m_eVerticalAlignment) {
    case eTextCenter: return (inner - pitch * lines) / 2;
    case eTextBottom: return inner - pitch * lines;
    default: return 0;
    }
}

void MultilineLabel::onPaint(PaintContext& context)
{
    m_drawer.drawPanelItem(*this, context);
    if (m_vecLineStarts.size() < 2)
        return;
    size_t const lines = getLineCount();
    int const pitch = linePitch();
    int const offset = verticalOffset(pitch, int(lines));
    Margin const& m = getMargin();
    BAS::Rect const content{m.left, m.top, getSize().x - m.right, getSize().y - m.bottom};
    for (size_t i = 0; i < lines; ++i) {
        int const top = toPositionInPixel({0, i}).y + offset;
        // Lines are laid out inside the horizontal inner margins.
        BAS::Rect const rect{m.left, top, m.left + getAvailableWidth(), top + pitch};
        if (isEmptyRect(content) || pitch <= 0 || isEmptyRect(rect) || !overlaps(rect, content))
            continue;
        if (!paintLine(i, rect, pitch, context))
            return;
    }
}

bool MultilineLabel::paintLine(size_t line, BAS::Rect const& rect, int pitch, PaintContext& context) const
{
    auto const alignment = eTextAlignment(m_eHorizontalAlignment | eTextTop);
    std::string text = getLineText(line);
    bool const last = line + 1 == getLineCount();
    // The next line would reach the bottom inner margin: this one ends the
    // visible text.
    if (!m_bAutoResize && !last && rect.top + 2 * pitch >= getSize().y - getMargin().bottom) {
        text.erase(std::remove(text.begin(), text.end(), '\n'), text.end());
        text += "..";
        m_drawer.drawTextItemInRect(*this, text, rect, context, alignment, eTextHorizontal);
        return false;
    }
    m_drawer.drawTextItemInRect(*this, text, rect, context, alignment, eTextHorizontal);
    return true;
}

} // namespace CV::TOV
