// The style properties that every widget reads.
#include <string>

#include "FEN/Picture.h"
#include "TOV/Algorithm.h"
#include "TOV/LazyPicture.h"
#include "TOV/ManagerContainer.h"
#include "TOV/Pane.h"
#include "TOV/StyleProperties.h"
#include "TOV/StyleSheet.h"
#include "TOV/Widget.h"
#include "WidgetStyleCaches.h"

namespace CV::TOV {

namespace {

using MarginNames = std::array<cv::symbol, 5>; // whole, left, right, top, bottom

// The whole value sets all four sides; each side's own property then
// replaces its side. Sides no property names keep their value.
Margin adjustMarginToStyle(Widget const& widget, Margin margin, MarginNames const& n)
{
    bool found = false;
    int const& whole = widget.getStyleProperty<int>(n[0], 0, &found);
    if (found)
        margin = {whole, whole, whole, whole};
    margin.left = widget.getStyleProperty<int>(n[1], margin.left);
    margin.right = widget.getStyleProperty<int>(n[2], margin.right);
    margin.top = widget.getStyleProperty<int>(n[3], margin.top);
    margin.bottom = widget.getStyleProperty<int>(n[4], margin.bottom);
    return margin;
}

// The candidate list holds rules whose structure applies already; what is
// left to test are attribute conditions and states.
bool doesRuleApplyNow(Selector const& selector, Widget const& widget)
{
    if (Algorithm::hasAttributeConditions(selector) && !selector.doesWidgetApply(widget, true))
        return false;
    return selector.m_states.doesApply(widget);
}

template <typename T> T const* valueFitting(Property const& property)
{
    return std::get_if<T>(&property.value);
}

template <> bool const* valueFitting<bool>(Property const& property)
{
    return property.getBoolValue();
}

template <typename T> T const& noValue()
{
    static T const s_no{};
    return s_no;
}

bool isNo(Property const& property)
{
    if (property.unit != Property::eIdentifier)
        return false;
    auto const* text = std::get_if<std::string>(&property.value);
    return text && *text == "no";
}

FEN::Font const* defaultFont()
{
    ManagerContainer* container = ManagerContainer::get();
    return container ? container->getFont(container->getDefaultFontData()) : nullptr;
}

} // namespace

void Widget::onStyleSheetChanged()
{
    DETAIL::rebuildDrawingCache(*this);
    m_marginInner = adjustMarginToStyle(*this, m_marginInner, Algorithm::s_marginPropertyNames[0]);
    m_marginOuter = adjustMarginToStyle(*this, m_marginOuter, Algorithm::s_marginPropertyNames[1]);
    applyStyleGeometry();

    bool found = false;
    bool const& foreground = getStyleProperty<bool>(properties::drawForeground, false, &found);
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
    namespace n = properties;
    m_ptMinSize.x = getStyleProperty<int>(n::minWidth, m_ptMinSize.x);
    m_ptMaxSize.x = getStyleProperty<int>(n::maxWidth, m_ptMaxSize.x);
    m_ptMinSize.y = getStyleProperty<int>(n::minHeight, m_ptMinSize.y);
    m_ptMaxSize.y = getStyleProperty<int>(n::maxHeight, m_ptMaxSize.y);
    bool found = false;
    int const& width = getStyleProperty<int>(n::width, 0, &found);
    if (found)
        m_ptMinSize.x = m_ptMaxSize.x = width;
    int const& height = getStyleProperty<int>(n::height, 0, &found);
    if (found)
        m_ptMinSize.y = m_ptMaxSize.y = height;
}

void Widget::applyPictureSize()
{
    LazyPicture const& lazy = getStyleProperty<LazyPicture>(properties::picture, LazyPicture::gEmptyPicture);
    if (lazy.isEmpty())
        return;
    FEN::Picture const* picture = lazy.resolve(1.0f);
    if (!picture)
        return;
    bool const includesMargin = getStyleProperty<bool>(properties::pictureIncludesMargin, false);
    if (!picture->isVertResizable()) {
        int const h = picture->getAnimationHeight() + (includesMargin ? 0 : m_marginInner.top + m_marginInner.bottom);
        m_ptMinSize.y = m_ptMaxSize.y = h;
    }
    if (!picture->isHorzResizable()) {
        int const w = picture->getAnimationWidth() + (includesMargin ? 0 : m_marginInner.left + m_marginInner.right);
        m_ptMinSize.x = m_ptMaxSize.x = w;
    }
}

void Widget::applyStylePosition()
{
    bool foundX = false, foundY = false;
    int const x = getStyleProperty<int>(properties::x, 0, &foundX);
    int const y = getStyleProperty<int>(properties::y, 0, &foundY);
    if (foundX || foundY) {
        setPos({x, y});
        m_uFlags |= eNoAlign;
    }
}

void Widget::applyStyleZIndex()
{
    bool found = false;
    int const zIndex = getStyleProperty<int>(properties::zIndex, 0, &found);
    if (found)
        setZIndex(zIndex);
}

FEN::Font const* Widget::getFontProperty() const
{
    // A style that switches the font off ("no") gets the default font too.
    FEN::Font const* fallback = defaultFont();
    FEN::Font const* font = getStyleProperty<FEN::Font const*>(properties::font, fallback);
    return font ? font : fallback;
}

// ---- lookup ------------------------------------------------------------------

template <typename T>
T const& Widget::getStyleProperty(cv::symbol const& name, T const& defaultValue, bool* found) const
{
    if (StyleSheet const* sheet = Algorithm::governingSheet(*this)) {
        for (auto const& rule : sheet->getPropertyCache(*this, name)) {
            Selector const& selector = rule.get().first;
            Property const& property = rule.get().second;
            if (!doesRuleApplyNow(selector, *this))
                continue;
            // Only the first applicable rule counts, whatever its value.
            if (T const* value = valueFitting<T>(property)) {
                if (found)
                    *found = true;
                return *value;
            }
            if (isNo(property)) {
                if (found)
                    *found = true;
                return noValue<T>();
            }
            break;
        }
    }
    if (found)
        *found = false;
    return defaultValue;
}

template <typename T> T const& Widget::getStyleProperty(char const* name, T const& defaultValue, bool* found) const
{
    return getStyleProperty<T>(cv::symbol(name, name ? std::char_traits<char>::length(name) : 0), defaultValue, found);
}

template int const& Widget::getStyleProperty<int>(cv::symbol const&, int const&, bool*) const;
template unsigned const& Widget::getStyleProperty<unsigned>(cv::symbol const&, unsigned const&, bool*) const;
template bool const& Widget::getStyleProperty<bool>(cv::symbol const&, bool const&, bool*) const;
template std::string const& Widget::getStyleProperty<std::string>(cv::symbol const&, std::string const&, bool*) const;
template FEN::Font const* const& Widget::getStyleProperty<FEN::Font const*>(cv::symbol const&, FEN::Font const* const&,
                                                                            bool*) const;
template LazyPicture const& Widget::getStyleProperty<LazyPicture>(cv::symbol const&, LazyPicture const&, bool*) const;
template std::string const& Widget::getStyleProperty<std::string>(char const*, std::string const&, bool*) const;

} // namespace CV::TOV
