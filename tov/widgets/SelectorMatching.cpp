// Matching selectors against widgets of the widget tree. It asks the tree,
// so it lives with the widgets; the style code sees widgets only through
// the forward declarations.
#include <cstring>

#include "TOV/Bar.h"
#include "TOV/Selector.h"
#include "TOV/Widget.h"

namespace CV::TOV {

namespace {

bool startsWith(std::string const& text, std::string const& prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool endsWith(std::string const& text, std::string const& suffix)
{
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// True only for exactly "true" or "yes".
bool truthOf(std::string const& text)
{
    return text == "true" || text == "yes";
}

bool classApplies(cv::symbol const& selectorClass, cv::symbol const& widgetClass)
{
    if (selectorClass == emptyStdString || selectorClass == widgetClass)
        return true;
    std::string const& text = widgetClass.string();
    std::string::size_type const p = text.find('<');
    if (p == std::string::npos)
        return false;
    std::string const& own = selectorClass.string();
    return p == own.size() && text.compare(0, p, own) == 0;
}

// The class, style, id and (optionally) attribute part of a selector or of
// one ancestor step.
bool doesStepApply(cv::symbol const& cls, cv::symbol const& style, cv::symbol const& id,
                   AttibuteSelector const& attributes, Widget const& widget, bool checkAttributes)
{
    if (id != emptyStdString && id != widget.getIdSymbol())
        return false;
    if (style != emptyStdString && style != widget.getStyleSymbol())
        return false;
    if (!classApplies(cls, widget.getClass()))
        return false;
    return !checkAttributes || attributes.empty() || attributes.doesApply(widget);
}

cv::symbol symbolOf(const char* text)
{
    return cv::symbol(std::string(text));
}

} // namespace

// ---- class -------------------------------------------------------------------

bool ClassSelector::doesClassIDapply(cv::symbol widgetClass) const
{
    return classApplies(m_class, widgetClass);
}

// ---- attributes --------------------------------------------------------------

AttibuteSelector::tValue getWidgetAttribute(Widget const& widget, cv::symbol (Widget::*getter)() const)
{
    return (widget.*getter)().string();
}

AttibuteSelector::tValue getWidgetAttribute(Widget const& widget, std::string const& (Widget::*getter)() const)
{
    return (widget.*getter)();
}

AttibuteSelector::tValue isBarOrSliderHorizonzal(Widget const& widget)
{
    if (auto const* bar = dynamic_cast<Bar const*>(&widget))
        return bar->isHorizontal();
    return AttibuteSelector::tDoesntExist();
}

AttibuteSelector::tDescriptor const AttibuteSelector::s_Descriptors[] = {
    {symbolOf("getClass"), [](Widget const& w) { return getWidgetAttribute(w, &Widget::getClass); }},
    {symbolOf("getStyle"), [](Widget const& w) { return getWidgetAttribute(w, &Widget::getStyle); }},
    {symbolOf("getId"), [](Widget const& w) { return getWidgetAttribute(w, &Widget::getId); }},
    {symbolOf("isHorizontal"), isBarOrSliderHorizonzal},
    {cv::symbol(), nullptr},
};

struct AttibuteSelector::tCheckValueVisitor {
    Conditions const& conditions;

    bool operator()(tDoesntExist) const { return false; }

    // For a yes/no value the operator is not looked at.
    bool operator()(bool value) const
    {
        for (auto const& [rule, text] : conditions)
            if (truthOf(text) != value)
                return false;
        return true;
    }

    bool operator()(std::string const& value) const
    {
        for (auto const& [rule, text] : conditions)
            if (!holds(rule, value, text))
                return false;
        return true;
    }

    static bool holds(eRule rule, std::string const& value, std::string const& text)
    {
        switch (rule) {
        case eEquals: return value == text;
        case eBeginsWith: return startsWith(value, text);
        case eEndsWith: return endsWith(value, text);
        case eContains: return value.find(text) != std::string::npos;
        default:
            // "!=" compares nothing: the attribute's existence is enough.
            return true;
        }
    }
};

bool AttibuteSelector::doesMatch(tValue const& value, Conditions const& conditions)
{
    return std::visit(tCheckValueVisitor{conditions}, value);
}

bool AttibuteSelector::doesBuiltInApply(Widget const& widget, std::pair<cv::symbol const, Conditions> const& entry)
{
    for (tDescriptor const* d = s_Descriptors; d->name != emptyStdString; ++d)
        if (d->name == entry.first)
            return doesMatch(d->getter(widget), entry.second);
    return false;
}

bool AttibuteSelector::doesApply(Widget const& widget) const
{
    AttributesMap const& own = widget.getAttributes();
    for (auto const& entry : m_attributes) {
        auto it = own.find(entry.first);
        bool const holds =
            it != own.end() ? doesMatch(tValue(it->second), entry.second) : doesBuiltInApply(widget, entry);
        if (!holds)
            return false;
    }
    return true;
}

// ---- states --------------------------------------------------------------------

StateSelector::tStateDescriptor const StateSelector::s_StateDescriptors[eStateCount] = {
    {symbolOf("enabled"), &Widget::isEnabled}, {symbolOf("selected"), &Widget::isSelected},
    {symbolOf("down"), &Widget::isDown},       {symbolOf("over"), &Widget::isOver},
    {symbolOf("focus"), &Widget::isFocus},     {symbolOf("input"), &Widget::isInput},
    {symbolOf("dormant"), &Widget::isDormant},
};

bool StateSelector::doesApply(Widget const& widget) const
{
    tStateDescriptor const* descriptors = s_StateDescriptors;
    for (std::size_t i = 0; i < eStateCount; ++i) {
        if (boost::logic::indeterminate(m_states[i]))
            continue;
        if (descriptors[i].getter(widget) != bool(m_states[i]))
            return false;
    }
    return true;
}

// ---- whole selector ------------------------------------------------------------

bool Selector::doesClassChainApply(Widget const*& cursor, bool checkAttributes) const
{
    for (tParentSelector const& step : m_parents) {
        cursor = cursor->getParent();
        for (;;) {
            if (!cursor)
                return false;
            if (doesStepApply(step.m_class, step.m_style, step.m_id, step.m_attributes, *cursor, checkAttributes))
                break;
            if (step.m_direct)
                return false;
            cursor = cursor->getParent();
        }
    }
    return true;
}

bool Selector::doesWidgetApply(Widget const& widget, bool checkAttributes) const
{
    if (!doesStepApply(m_class, m_style, m_id, m_attributes, widget, checkAttributes))
        return false;
    Widget const* base = &widget;
    for (;;) {
        Widget const* cursor = base;
        if (doesClassChainApply(cursor, checkAttributes))
            return true;
        if (!cursor || m_parents.front().m_direct)
            return false;
        base = base->getParent();
        if (!base)
            return false;
    }
}

} // namespace CV::TOV
