#pragma once
// Gathering the style rules that apply to one widget.
#include <functional>
#include <utility>
#include <vector>

#include "TOV/Forward.h"
#include "TOV/Property.h"
#include "TOV/Selector.h"
#include "cv/symbol.h"

namespace CV::TOV {

class StyleSheet;

namespace Algorithm {

using RuleRefs = std::vector<std::reference_wrapper<std::pair<Selector, Property> const>>;

// The sheet that governs the widget: its pane's own sheet, or the default
// sheet of the style-sheet manager; null without a pane or a manager.
StyleSheet const* governingSheet(Widget const& widget);

// Whether the selector or one of its ancestor steps has attribute
// conditions (otherwise a structural match is the whole match).
bool hasAttributeConditions(Selector const& selector);

// The rules for the property whose selectors (with attribute conditions,
// without states) apply to the widget, most specific first; none without a
// pane.
RuleRefs collectPropertyRules(Widget const& widget, cv::symbol const& property);

} // namespace Algorithm
} // namespace CV::TOV
