// The style sheet's per-widget lists of candidate rules, and the rules that
// apply to a widget.
#include "TOV/Algorithm.h"
#include "TOV/ManagerContainer.h"
#include "TOV/Pane.h"
#include "TOV/StyleSheet.h"
#include "TOV/StyleSheetManager.h"
#include "TOV/Widget.h"

namespace CV::TOV {

StyleSheet::RuleRefs const& StyleSheet::getPropertyCache(Widget const& widget, cv::symbol const& property) const
{
    // Most properties have no rule at all: their (empty) list is shared
    // instead of being made for every widget.
    static RuleRefs const s_none;
    auto rules = m_rules.find(property);
    if (rules == m_rules.end() || rules->second.empty())
        return s_none;
    auto& perWidget = m_propertyCache[&widget];
    auto [entry, created] = perWidget.try_emplace(property);
    if (!created)
        return entry->second;
    for (Rule const& rule : rules->second)
        if (rule.first.doesWidgetApply(widget, false))
            entry->second.push_back(std::cref(rule));
    return entry->second;
}

void StyleSheet::forgetWidget(Widget const& widget) const
{
    m_propertyCache.erase(&widget);
}

namespace Algorithm {

StyleSheet const* governingSheet(Widget const& widget)
{
    Pane const* pane = widget.getPane();
    if (!pane)
        return nullptr;
    if (StyleSheet const* own = pane->getStyleSheet())
        return own;
    ManagerContainer* container = ManagerContainer::get();
    return container ? &container->getStyleSheetManager().getDefaultSheet() : nullptr;
}

bool hasAttributeConditions(Selector const& selector)
{
    if (!selector.m_attributes.empty())
        return true;
    for (auto const& step : selector.m_parents)
        if (!step.m_attributes.empty())
            return true;
    return false;
}

RuleRefs collectPropertyRules(Widget const& widget, cv::symbol const& property)
{
    RuleRefs kept;
    StyleSheet const* sheet = governingSheet(widget);
    if (!sheet)
        return kept;
    // The candidates match without attributes already.
    RuleRefs const& candidates = sheet->getPropertyCache(widget, property);
    kept.reserve(candidates.size());
    for (auto const& rule : candidates) {
        Selector const& selector = rule.get().first;
        if (!hasAttributeConditions(selector) || selector.doesWidgetApply(widget, true))
            kept.push_back(rule);
    }
    return kept;
}

} // namespace Algorithm
} // namespace CV::TOV
