// The style properties that every widget reads.
#include <string>

#include "TOV/ManagerContainer.h"
#include "TOV/Pane.h"
#include "TOV/Widget.h"
#include "WidgetStyleCaches.h"

namespace CV::TOV {

namespace {

struct MarginNames {
    cv::symbol whole, left, right, top, bottom;
};

struct BaseStyleNames {
    MarginNames inner{cv::symbol(std::string("margin")), cv::symbol(std::string("margin-left")),
                      cv::symbol(std::string("margin-right")), cv::symbol(std::string("margin-top")),
                      cv::symbol(std::string("margin-bottom"))};
    MarginNames outer{cv::symbol(std::string("outer-margin")), cv::symbol(std::string("outer-margin-left")),
                      cv::symbol(std::string("outer-margin-right")), cv::symbol(std::string("outer-margin-top")),
                      cv::symbol(std::string("outer-margin-bottom"))};
    cv::symbol minWidth{std::string("min-width")}, maxWidth{std::string("max-width")};
    cv::symbol minHeight{std::string("min-height")}, maxHeight{std::string("max-height")};
    cv::symbol width{std::string("width")}, height{std::string("height")};
    cv::symbol drawForeground{std::string("draw_foreground")};
    cv::symbol x{std::string("x")}, y{std::string("y")}, zIndex{std::string("z-index")};
    cv::symbol font{std::string("font")};
};

BaseStyleNames const& names()
{
    static BaseStyleNames const s_names;
    return s_names;
}

// The whole value sets all four sides; each side's own property then
// replaces its side. Sides no property names keep their value.
Margin adjustMarginToStyle(Widget const& widget, Margin margin, MarginNames const& n)
{
    bool found = false;
    int const& whole = widget.getStyleProperty<int>(n.whole, 0, &found);
    if (found)
        margin = {whole, whole, whole, whole};
    margin.left = widget.getStyleProperty<int>(n.left, margin.left);
    margin.right = widget.getStyleProperty<int>(n.right, margin.right);
    margin.top = widget.getStyleProperty<int>(n.top, margin.top);
    margin.bottom = widget.getStyleProperty<int>(n.bottom, margin.bottom);
    return margin;
}

} // namespace

void Widget::onStyleSheetChanged()
{
    DETAIL::rebuildDrawingCache(*this);
    BaseStyleNames const& n = names();
    m_marginInner = adjustMarginToStyle(*this, m_marginInner, n.inner);
    m_marginOuter = adjustMarginToStyle(*this, m_marginOuter, n.outer);
    applyStyleGeometry();

    bool found = false;
    bool const& foreground = getStyleProperty<bool>(n.drawForeground, false, &found);
    if (found) {
        setFlag(ePaintAfterChildren, foreground);
        setFlag(ePaintBeforeChildren, !foreground);
    }
    applyPictureSize();
    setSize(m_ptSize);
    applyStylePosition();
    applyStyleZIndex();
    m_bNeedsAlign.store(true);
    m_uFlags &= ~uint64_t(eStyleChanged);
}

void Widget::applyStyleGeometry()
{
    BaseStyleNames const& n = names();
    m_ptMinSize.x = getStyleProperty<int>(n.minWidth, m_ptMinSize.x);
    m_ptMaxSize.x = getStyleProperty<int>(n.maxWidth, m_ptMaxSize.x);
    m_ptMinSize.y = getStyleProperty<int>(n.minHeight, m_ptMinSize.y);
    m_ptMaxSize.y = getStyleProperty<int>(n.maxHeight, m_ptMaxSize.y);
    bool found = false;
    int const& width = getStyleProperty<int>(n.width, 0, &found);
    if (found)
        m_ptMinSize.x = m_ptMaxSize.x = width;
    int const& height = getStyleProperty<int>(n.height, 0, &found);
    if (found)
        m_ptMinSize.y = m_ptMaxSize.y = height;
}

void Widget::applyPictureSize()
{
    // A fixed-size picture fixes the widget's size; pictures come with the
    // skin's lazy pictures.
}

void Widget::applyStylePosition()
{
    BaseStyleNames const& n = names();
    bool foundX = false, foundY = false;
    int const x = getStyleProperty<int>(n.x, 0, &foundX);
    int const y = getStyleProperty<int>(n.y, 0, &foundY);
    if (foundX || foundY) {
        setPos({x, y});
        m_uFlags |= eNoAlign;
    }
}

void Widget::applyStyleZIndex()
{
    bool found = false;
    int const zIndex = getStyleProperty<int>(names().zIndex, 0, &found);
    if (found)
        setZIndex(zIndex);
}

// Never null while the library's resource manager lives: a rule without a
// usable font ("font: no") leaves the default font.
FEN::Font const* Widget::getFontProperty() const
{
    if (FEN::Font const* font = getStyleProperty<FEN::Font const*>(names().font, nullptr))
        return font;
    ManagerContainer* container = ManagerContainer::get();
    return container ? container->getFont(container->getDefaultFontData()) : nullptr;
}

// ---- lookup ------------------------------------------------------------------

template <typename T>
T const& Widget::getStyleProperty(cv::symbol const&, T const& defaultValue, bool* found) const
{
    // Without a loaded style sheet no rule applies.
    if (found)
        *found = false;
    return defaultValue;
}

template <typename T>
T const& Widget::getStyleProperty(char const* name, T const& defaultValue, bool* found) const
{
    return getStyleProperty<T>(cv::symbol(name, name ? std::char_traits<char>::length(name) : 0), defaultValue,
                               found);
}

template int const& Widget::getStyleProperty<int>(cv::symbol const&, int const&, bool*) const;
template unsigned const& Widget::getStyleProperty<unsigned>(cv::symbol const&, unsigned const&, bool*) const;
template bool const& Widget::getStyleProperty<bool>(cv::symbol const&, bool const&, bool*) const;
template std::string const& Widget::getStyleProperty<std::string>(cv::symbol const&, std::string const&,
                                                                  bool*) const;
template FEN::Font const* const& Widget::getStyleProperty<FEN::Font const*>(cv::symbol const&,
                                                                           FEN::Font const* const&, bool*) const;
template std::string const& Widget::getStyleProperty<std::string>(char const*, std::string const&, bool*) const;

} // namespace CV::TOV
