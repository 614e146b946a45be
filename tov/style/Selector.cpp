#include "TOV/Selector.h"

namespace CV::TOV {

namespace {

uint32_t partWeight(cv::symbol cls, cv::symbol style, cv::symbol id, AttibuteSelector const& attributes)
{
    uint32_t weight = 0;
    if (id != emptyStdString)
        weight += 0x1000000u;
    if (style != emptyStdString)
        weight += 0x10000u;
    weight += 16u * static_cast<uint32_t>(attributes.m_attributes.size());
    if (cls != emptyStdString)
        weight += 1u;
    return weight;
}

} // namespace

void ClassSelector::set(std::string const& cls, std::string const& style, std::string const& id)
{
    m_class = cv::symbol(cls);
    m_style = cv::symbol(style);
    m_id = cv::symbol(id);
}

void AttibuteSelector::setAttribute(cv::symbol name, eRule rule, std::string const& value)
{
    m_attributes[name][rule] = value;
}

StateSelector::StateSelector()
{
    m_states.fill(boost::logic::indeterminate);
}

std::array<cv::symbol, StateSelector::eStateCount> const& StateSelector::stateNames()
{
    static const std::array<cv::symbol, eStateCount> names = {
        cv::symbol("enabled"), cv::symbol("selected"), cv::symbol("down"),   cv::symbol("over"),
        cv::symbol("focus"),   cv::symbol("input"),    cv::symbol("dormant")};
    return names;
}

void StateSelector::setState(cv::symbol name, bool on)
{
    auto const& names = stateNames();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) {
            m_states[i] = on;
            return;
        }
    }
}

Selector::tParentSelector::tParentSelector(std::string const& cls, std::string const& style, std::string const& id,
                                           bool direct)
    : m_class(cls)
    , m_style(style)
    , m_id(id)
    , m_direct(direct)
{
}

Selector::Selector(int line, std::string const& source)
    : Selector(line, cv::symbol(source))
{
}

Selector::Selector(int line, cv::symbol source)
    : m_source(source)
    , m_line(line)
{
}

} // namespace CV::TOV

namespace CV::TOV {

uint32_t Selector::getWeight() const
{
    uint32_t weight = partWeight(m_class, m_style, m_id, m_attributes);
    for (auto const& parent : m_parents)
        weight += partWeight(parent.m_class, parent.m_style, parent.m_id, parent.m_attributes);
    for (auto const& state : m_states.m_states) {
        if (!boost::logic::indeterminate(state))
            weight += 256u;
    }
    return weight;
}

} // namespace CV::TOV
