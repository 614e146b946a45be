#include "StyleDump.h"

#include <algorithm>
#include <cstdio>

namespace CV::TOV::Testing {

namespace {

struct ValueText {
    std::string operator()(std::monostate) const { return "-"; }
    std::string operator()(float v) const
    {
        char text[32];
        std::snprintf(text, sizeof text, "f%g", double(v));
        return text;
    }
    std::string operator()(uint32_t v) const
    {
        char text[32];
        std::snprintf(text, sizeof text, "u#%08X", unsigned(v));
        return text;
    }
    std::string operator()(int32_t v) const { return "i" + std::to_string(v); }
    std::string operator()(bool v) const { return v ? "btrue" : "bfalse"; }
    std::string operator()(std::string const& v) const { return "s'" + v + "'"; }
    std::string operator()(FEN::Font const* v) const { return v ? "font" : "font(null)"; }
    std::string operator()(BAS::Point const& v) const { return "p" + std::to_string(v.x) + "," + std::to_string(v.y); }
    std::string operator()(LazyPicture const& v) const { return v.hasLoader() ? "picture" : "picture(none)"; }
};

char const* ruleText(AttibuteSelector::eRule rule)
{
    switch (rule) {
    case AttibuteSelector::eEquals: return "=";
    case AttibuteSelector::eBeginsWith: return "^=";
    case AttibuteSelector::eEndsWith: return "$=";
    case AttibuteSelector::eContains: return "*=";
    case AttibuteSelector::eNotEquals: return "!=";
    }
    return "?";
}

std::string dumpAttributes(AttibuteSelector const& attributes)
{
    std::vector<std::string> parts;
    for (auto const& [name, conditions] : attributes.m_attributes)
        for (auto const& [rule, value] : conditions)
            parts.push_back("[" + name.string() + ruleText(rule) + value + "]");
    std::sort(parts.begin(), parts.end());
    std::string text;
    for (auto const& part : parts)
        text += part;
    return text;
}

std::string dumpPart(cv::symbol cls, cv::symbol style, cv::symbol id, AttibuteSelector const& attributes)
{
    std::string text = cls.string().empty() ? "*" : cls.string();
    if (!style.string().empty())
        text += "." + style.string();
    if (!id.string().empty())
        text += "#" + id.string();
    return text + dumpAttributes(attributes);
}

} // namespace

std::string dumpValue(PropertyValue const& value)
{
    return std::visit(ValueText(), value);
}

std::string dumpProperty(Property const& property)
{
    return property.name.string() + "=" + dumpValue(property.value) + "/" + std::to_string(property.unit);
}

std::string dumpSelector(Selector const& selector)
{
    std::string text;
    for (auto it = selector.m_parents.rbegin(); it != selector.m_parents.rend(); ++it)
        text += dumpPart(it->m_class, it->m_style, it->m_id, it->m_attributes) + (it->m_direct ? "::" : " ");
    text += dumpPart(selector.m_class, selector.m_style, selector.m_id, selector.m_attributes);
    auto const& names = StateSelector::stateNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (boost::logic::indeterminate(selector.m_states.m_states[i]))
            continue;
        text += (selector.m_states.m_states[i] ? ":" : ":!") + names[i].string();
    }
    return text;
}

std::string dumpRule(StyleParser2::tRule const& rule)
{
    std::string text = "L" + std::to_string(rule.line) + " ";
    for (std::size_t i = 0; i < rule.selectors.size(); ++i)
        text += (i ? ", " : "") + dumpSelector(rule.selectors[i]);
    text += " {";
    for (std::size_t i = 0; i < rule.properties.size(); ++i)
        text += (i ? "; " : " ") + dumpProperty(rule.properties[i]);
    return text + " }";
}

std::vector<std::string> dumpRules(std::vector<StyleParser2::tRule> const& rules)
{
    std::vector<std::string> lines;
    for (auto const& rule : rules)
        lines.push_back(dumpRule(rule));
    return lines;
}

LogCapture::LogCapture()
{
    StyleSheetErrorsLogSource::m_logSinks.push_back([this](std::string line) { lines.push_back(std::move(line)); });
}

LogCapture::~LogCapture()
{
    StyleSheetErrorsLogSource::m_logSinks.pop_back();
}

} // namespace CV::TOV::Testing
