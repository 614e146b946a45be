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
    auto& perWidget = m_propertyCache[&widget];
    auto [entry, created] = perWidget.try_emplace(property);
    if (!created)
        return entry->second;
    auto rules = m_rules.find(property);
    if (rules == m_rules.end())
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

RuleRefs collectPropertyRules(Widget const& widget, cv::symbol const& property)
{
    RuleRefs kept;
    StyleSheet const* sheet = governingSheet(widget);
    if (!sheet)
        return kept;
    for (auto const& rule : sheet->getPropertyCache(widget, property))
        if (rule.get().first.doesWidgetApply(widget, true))
            kept.push_back(rule);
    return kept;
}

} // namespace Algorithm
} // namespace CV::TOV
