#include "TOV/MultilineText.h"

#include <algorithm>
#include <cmath>

#include "BAS/StringUtil.h"
#include "FEN/Font.h"
#include "TOV/StyleProperties.h"

namespace CV::TOV::DETAIL {

namespace {

// A line may be broken after these characters.
bool isBreakCharacter(char32_t c)
{
    switch (c) {
    case U'\t':
    case U' ':
    case U'-':
    case U',':
    case U'.':
    case U'/':
    case U':':
    case U';':
    case U'\\': return true;
    default: return false;
    }
}

// Control bytes other than '\n' are dropped.
std::string withoutControlBytes(std::string const& text)
{
    std::string kept;
    kept.reserve(text.size());
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\n')
            kept.push_back(c);
    return kept;
}

int roundedUnscaled(double pixels, float scale)
{
    return int(std::lround(pixels / double(scale)));
}

} // namespace

MultilineText::MultilineText()
{
    resetToOneLine();
}

MultilineText::TextIterator MultilineText::iteratorAt(std::string::const_iterator position) const
{
    return TextIterator(position, m_strText.begin(), m_strText.end());
}

void MultilineText::resetToOneLine()
{
    m_vecLineStarts.clear();
    m_vecLineStarts.push_back(iteratorAt(m_strText.begin()));
    m_vecLineStarts.push_back(iteratorAt(m_strText.end()));
}

void MultilineText::setText(std::string const& text)
{
    if (text == m_strText)
        return;
    m_strText = withoutControlBytes(BAS::StringUtil::fromUTF_filter<char>(text));
    // The old line starts point into the old text: until the text is
    // wrapped (which needs a pane) it is one line.
    resetToOneLine();
    updateLineBreaks();
}

int MultilineText::getAvailableWidth() const
{
    return getSize().x - getMargin().left - getMargin().right;
}

int MultilineText::linePitch() const
{
    FEN::Font const* font = m_drawer.getFont(*this);
    int const height = font ? roundedUnscaled(font->getCharHeight(), getBackingScaleFactor()) : 0;
    return height + m_iLineSpacing;
}

int MultilineText::rangeWidth(std::string::const_iterator first, std::string::const_iterator last) const
{
    if (first == last)
        return 0;
    // A range that runs backwards (a negative column) measures negative.
    if (last < first)
        return -rangeWidth(last, first);
    FEN::Font const* font = m_drawer.getFont(*this);
    if (!font)
        return 0;
    return roundedUnscaled(font->getStringWidth(&*first, int(last - first)), getBackingScaleFactor());
}

void MultilineText::updateLineBreaks()
{
    if (!getPane())
        return;
    int const available = getAvailableWidth();
    auto const begin = m_strText.cbegin();
    auto const end = m_strText.cend();
    m_vecLineStarts.clear();
    m_vecLineStarts.push_back(iteratorAt(begin));
    auto breakAt = begin; // the last break candidate of the current line
    for (TextIterator it = iteratorAt(begin), stop = iteratorAt(end); it != stop;) {
        char32_t const c = *it;
        auto const p = it.base();
        ++it;
        auto const q = it.base();
        auto const lineStart = m_vecLineStarts.back().base();
        if (c == U'\n') {
            m_vecLineStarts.push_back(iteratorAt(q));
            breakAt = q;
        } else if (rangeWidth(lineStart, q) > available) {
            if (breakAt == lineStart) {
                m_vecLineStarts.push_back(iteratorAt(p));
                breakAt = p;
            } else {
                TextIterator afterBreak = iteratorAt(breakAt);
                ++afterBreak;
                m_vecLineStarts.push_back(afterBreak);
                breakAt = afterBreak.base();
            }
        }
        if (isBreakCharacter(c))
            breakAt = p;
    }
    m_vecLineStarts.push_back(iteratorAt(end));
    setInvalid(0);
}

void MultilineText::onAlign()
{
    int const available = getAvailableWidth();
    if (available == m_iWrapWidth)
        return;
    m_iWrapWidth = available;
    updateLineBreaks();
}

void MultilineText::onStyleSheetChanged()
{
    m_iLineSpacing = getStyleProperty<int>(properties::lineSpacing, 0);
    Widget::onStyleSheetChanged();
    updateLineBreaks();
    setInvalid(0);
}

std::string MultilineText::getLineText(size_t line) const
{
    if (line + 1 >= m_vecLineStarts.size())
        return {};
    return std::string(m_vecLineStarts[line].base(), m_vecLineStarts[line + 1].base());
}

size_t MultilineText::lineStartOffset(size_t line) const
{
    size_t const last = m_vecLineStarts.size() - 1;
    return size_t(m_vecLineStarts[std::min(line, last)].base() - m_strText.cbegin());
}

MultilineText::TextIterator MultilineText::toIteratorInText(LineColPosition position) const
{
    TextIterator const begin = iteratorAt(m_strText.cbegin());
    if (m_strText.empty())
        return begin;
    TextIterator const end = iteratorAt(m_strText.cend());
    TextIterator it = iteratorAt(m_strText.cbegin() + std::ptrdiff_t(lineStartOffset(position.line)));
    for (int64_t n = position.column; n > 0 && it != end; --n)
        ++it;
    for (int64_t n = position.column; n < 0 && it != begin; ++n)
        --it;
    return it;
}

BAS::Point MultilineText::toPositionInPixel(LineColPosition const& position) const
{
    // The content inset is (0, 0) for these widgets.
    Margin const& m = getMargin();
    int const y = m.top + linePitch() * int(position.line);
    auto const lineStart = m_strText.cbegin() + std::ptrdiff_t(lineStartOffset(position.line));
    int const x = m.left + m_drawer.getHorizontalAlignmentOffset(*this, m_strText.c_str(), getAvailableWidth()) +
        rangeWidth(lineStart, toIteratorInText(position).base());
    return {x, y};
}

} // namespace CV::TOV::DETAIL
