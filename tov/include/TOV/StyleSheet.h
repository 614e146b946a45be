#pragma once
// The rules of one loaded style sheet, per property name in specificity
// order, with the font and picture shorthands expanded.
#include "TOV/Forward.h"
#include "TOV/Property.h"
#include "TOV/Selector.h"

#include "BAS/CharSequence.h"

#include <functional>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace CV::TOV {

class StyleSheet {
public:
    using Rule = std::pair<Selector, Property>;
    using RuleRefs = std::vector<std::reference_wrapper<Rule const>>;

    explicit StyleSheet(ManagerContainer& manager);
    // The copy starts with an empty property cache: the source's cache
    // refers to the source's rules.
    StyleSheet(StyleSheet const& other);
    StyleSheet& operator=(StyleSheet const& other);

    // Loads the named style-sheet resource; when it is missing, cannot be
    // read or gives no rules the rules stay, and that is said on standard
    // error naming the file (with the first error of the parse).
    void load(BAS::CharSequence<char> const& name);
    // Parses the text and takes its rules when it parses.
    void createDirect(BAS::CharSequence<char> const& text);
    void transferParsedRules(StyleParser2 const& parser);
    void insertRulesIntoTemporary(std::vector<Selector> const& selectors, Property property);

    ManagerContainer& getManager() const { return m_manager; }
    std::map<cv::symbol, std::vector<Rule>> const& getRules() const { return m_rules; }
    std::set<std::string> const& getLoadedFiles() const { return m_loadedFiles; }
    bool hasCachedProperties() const { return !m_propertyCache.empty(); }

    // The rules for the property whose selectors can apply to the widget
    // (id, style, class and ancestors; attributes and states are tested by
    // the callers), made once per widget and property and kept.
    RuleRefs const& getPropertyCache(Widget const& widget, cv::symbol const& property) const;
    // Drops the widget's lists (it changed, moved or is going away).
    void forgetWidget(Widget const& widget) const;

private:
    void clearPropertyCache();

    ManagerContainer& m_manager;
    std::map<cv::symbol, std::vector<Rule>> m_rules;
    std::map<cv::symbol, std::multimap<Selector, Property>> m_temporary;
    std::set<std::string> m_loadedFiles;

protected:
    // Per widget and property, the rules whose selector can apply to it.
    mutable std::unordered_map<Widget const*, std::map<cv::symbol, RuleRefs>> m_propertyCache;
};

} // namespace CV::TOV
