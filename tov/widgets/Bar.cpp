#include "TOV/Bar.h"

#include <fmt/format.h>

#include <algorithm>
#include <memory>
#include <string>

#include "TOV/Algorithm.h"
#include "TOV/StyleProperties.h"
#include "TOV/StyleSheetErrorsLogSource.h"

namespace CV::TOV {

namespace {

bool isHorizontalAlignment(eWidgetAlignment alignment)
{
    return alignment == eAlignLeftToRight || alignment == eAlignRightToLeft;
}

bool isVerticalAlignment(eWidgetAlignment alignment)
{
    return alignment == eAlignTopToBottom || alignment == eAlignBottomToTop;
}

// Length of a child along the axis, with its outer margins.
int outerLength(Widget const& child, bool horizontal)
{
    Margin const& m = child.getOuterMargin();
    return horizontal ? child.getSize().x + m.left + m.right : child.getSize().y + m.top + m.bottom;
}

// Cross size of a child, with its outer margins.
int outerBreadth(Widget const& child, bool horizontal)
{
    return outerLength(child, !horizontal);
}

} // namespace

Bar::Bar() = default;

Bar& Bar::style(eWidgetAlignment alignment, const char* styleName)
{
    if (alignment != m_eAlignment) {
        m_eAlignment = alignment;
        setAlign();
    }
    m_fnPainter = [](Bar const& bar, PaintContext& context) { bar.m_drawer.drawPanelItem(bar, context); };
    setInvalid(0);
    styleDefault(styleName);
    return *this;
}

Bar& Bar::styleBreadthMax()
{
    m_fnBreadth = [](Bar& bar) { bar.setBreadthMax(); };
    m_fnChildsAligned = [](Bar& bar) { bar.setBreadthMax(); };
    setAlign();
    m_bLengthAutomatic = false;
    return *this;
}

void Bar::setFlexibleIndex(int index)
{
    if (index == m_iFlexibleIndex)
        return;
    m_iFlexibleIndex = index;
    setAlign();
}

void Bar::setLengthAutomatic(bool automatic)
{
    m_bLengthAutomatic = automatic;
}

bool Bar::isHorizontal() const
{
    return isHorizontalAlignment(m_eAlignment);
}

void Bar::setBreadthMax()
{
    bool const horizontal = isHorizontal();
    int breadth = 0;
    for (auto const& child : getChildren())
        if (child && child->hasFlags(eActive | eParentActive))
            breadth = std::max(breadth, outerBreadth(*child, horizontal));
    Margin const& m = getMargin();
    if (horizontal)
        setSize({getSize().x, breadth + m.top + m.bottom});
    else
        setSize({breadth + m.left + m.right, getSize().y});
}

cv::symbol Bar::getClass() const
{
    static cv::symbol const s_class(std::string("Bar"));
    return s_class;
}

void Bar::onAlign()
{
    if (m_fnBreadth)
        m_fnBreadth(*this);
    sizeFlexibleChild();
    arrangeChilds(m_eAlignment, m_iSpacing);
}

void Bar::sizeFlexibleChild()
{
    auto const& children = getChildren();
    if (static_cast<size_t>(static_cast<uint32_t>(m_iFlexibleIndex)) >= children.size())
        return;
    std::shared_ptr<Widget> const flexible = children[static_cast<size_t>(m_iFlexibleIndex)];
    if (!flexible)
        return;
    bool const horizontal = isHorizontal();
    if (!horizontal && !isVerticalAlignment(m_eAlignment))
        return;
    int taken = 0;
    for (auto const& child : children)
        if (child && child != flexible && child->hasFlags(eActive | eParentActive) && !child->isNoAlign())
            taken += outerLength(*child, horizontal) + m_iSpacing;
    Margin const& m = getMargin();
    Margin const& fm = flexible->getOuterMargin();
    if (horizontal) {
        int const width = getSize().x - m.left - m.right - taken - fm.left - fm.right;
        flexible->setSize({width, flexible->getSize().y});
    } else {
        int const height = getSize().y - m.top - m.bottom - taken - fm.top - fm.bottom;
        flexible->setSize({flexible->getSize().x, height});
    }
}

void Bar::setArrangedWidth(int width)
{
    if (m_bLengthAutomatic && isHorizontal())
        return;
    Widget::setArrangedWidth(width);
}

void Bar::setArrangedHeight(int height)
{
    if (m_bLengthAutomatic && !isHorizontal())
        return;
    Widget::setArrangedHeight(height);
}

void Bar::onStyleSheetChanged()
{
    m_iSpacing = getStyleProperty<int>(properties::spacing, m_iSpacing);
    Widget::onStyleSheetChanged();
    reportContradictions();
}

void Bar::reportContradictions()
{
    bool const horizontal = isHorizontal();
    cv::symbol const& breadthProperty = horizontal ? properties::height : properties::width;
    cv::symbol const& lengthProperty = horizontal ? properties::width : properties::height;
    bool found = false;
    if (m_fnBreadth) {
        getStyleProperty<int>(breadthProperty, 1, &found);
        if (found)
            StyleSheetErrorsLogSource::log(fmt::format(
                "Layout contradiction - {0} of Bar {1} is given at line {2} of the stylesheet but also computed "
                "automatically by styleBreadthXXX!!!",
                breadthProperty.string(), getId(), ruleLocation(breadthProperty)));
    }
    if (m_bLengthAutomatic) {
        if (m_iFlexibleIndex != -1)
            StyleSheetErrorsLogSource::log(fmt::format(
                " Layout contradiction - Bar {0} has a flexible element, but is also computed automatically by "
                "styleLengthXXX!!!",
                getId()));
        found = false;
        getStyleProperty<int>(lengthProperty, 1, &found);
        if (found)
            StyleSheetErrorsLogSource::log(fmt::format(
                "Layout contradiction - {0} of Bar {1} is given at line {2} of the stylesheet but also computed "
                "automatically by styleLengthXXX!!!",
                lengthProperty.string(), getId(), ruleLocation(lengthProperty)));
    }
}

std::string Bar::ruleLocation(cv::symbol const& property) const
{
    Algorithm::RuleRefs const rules = Algorithm::collectPropertyRules(*this, property);
    // The list holds rules for every state of the Bar; the one that gave the
    // value applies in the states the Bar is in now.
    auto const applying = std::find_if(rules.begin(), rules.end(),
                                       [this](auto const& rule) { return rule.get().first.m_states.doesApply(*this); });
    // The lookup may see a value that no listed rule carries: say so rather
    // than read past an empty list.
    if (applying == rules.end())
        return "(unknown)";
    Selector const& selector = applying->get().first;
    return fmt::format("{0}:{1}", selector.m_source.string(), selector.m_line);
}

} // namespace CV::TOV
