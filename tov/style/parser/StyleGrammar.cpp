// The style-sheet grammar: recognises the text of a style sheet, reports
// expectation failures as readable messages and resumes at a fixed character,
// and hands finished rules, constants and imports to the parser.
//
// There is no skipper: every place where whitespace or comments may stand is
// written into the rules. Rules that consume text for good count line ends
// (WS, EOL, BlockComment); lookaheads and text read a second time use the
// silent forms.
#include "style/parser/StyleGrammar.h"

#include "TOV/StyleParser2.h"

#include <boost/phoenix/bind/bind_function.hpp>
#include <boost/phoenix/bind/bind_member_function.hpp>
#include <boost/phoenix/bind/bind_member_variable.hpp>
#include <boost/phoenix/core.hpp>
#include <boost/phoenix/object/construct.hpp>
#include <boost/phoenix/operator.hpp>
#include <boost/spirit/include/qi.hpp>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace CV::TOV {
namespace {

namespace qi = boost::spirit::qi;
namespace ascii = boost::spirit::ascii;
namespace standard = boost::spirit::standard;
namespace phx = boost::phoenix;

using Iterator = std::string::const_iterator;
using tPropertyValue = StyleParser2::tPropertyValue;
using tConstant = StyleParser2::tConstant;
using tRule = StyleParser2::tRule;
using tAttrSelector = StyleParser2::tAttrSelector;
using tStateSelector = StyleParser2::tStateSelector;
using tSimpleSelector = StyleParser2::tSimpleSelector;

// Readable texts for the keys of expected elements.
const std::map<std::string, std::string> s_collDebugInfo = {
    {"eoi", "statement, whitespace or eoi"},
    {"{", "selector relation operator or {"},
    {"}", "} or ;"},
    {"Attribute", "attribute declaration"},
    {"QuotedString", "string"},
};

struct tSelectorRelations : qi::symbols<char, bool> {
    tSelectorRelations()
        : qi::symbols<char, bool>(std::string("symbols"))
    {
        add("::", true);
    }
};

struct tAttributeOPs : qi::symbols<char, AttibuteSelector::eRule> {
    tAttributeOPs()
        : qi::symbols<char, AttibuteSelector::eRule>(std::string("symbols"))
    {
        add("=", AttibuteSelector::eEquals)("^=", AttibuteSelector::eBeginsWith)("$=", AttibuteSelector::eEndsWith)(
            "*=", AttibuteSelector::eContains)("!=", AttibuteSelector::eNotEquals);
    }
};

struct tUnits : qi::symbols<char, Property::eUnit> {
    tUnits()
        : qi::symbols<char, Property::eUnit>(std::string("symbols"))
    {
        add("px", Property::ePixel)("%", Property::ePercent);
    }
};

// Value setters for the actions: the variant is always filled with the
// alternative named here, never by conversion.
void setInt(PropertyValue& target, int value)
{
    target.emplace<int32_t>(value);
}
void setFloat(PropertyValue& target, float value)
{
    target.emplace<float>(value);
}
void setBool(tPropertyValue& target, bool value)
{
    target.value.emplace<bool>(value);
}
void setText(tPropertyValue& target, std::string const& text)
{
    target.value.emplace<std::string>(text);
}
void setColor(tPropertyValue& target, unsigned colour)
{
    target.value.emplace<uint32_t>(colour);
}
void setSymbol(cv::symbol& target, std::string const& text)
{
    target = cv::symbol(text);
}

// Where a handler resumes and what half-read state it throws away.
enum class eRecovery { AttributeSelector, Selector, Declaration, Style, Stylesheet };

class StyleGrammar : public qi::grammar<Iterator> {
public:
    StyleGrammar(StyleParser2* parser, std::string const& sourceName)
        : StyleGrammar::base_type(Stylesheet, "StyleGrammar")
        , m_parser(parser)
        , m_sourceName(sourceName)
        , m_source(sourceName)
    {
        defineLayout();
        defineSelectors();
        defineValues();
        defineStatements();
        setNames();
        assignErrorHandlers();
    }

private:
    void defineLayout();
    void defineSelectors();
    void defineValues();
    void defineStatements();
    void setNames();
    void assignErrorHandlers();

    // Actions.
    void onNextLine();
    void onAttributeSelector(tAttrSelector const& attribute) { m_simple.attributes.push_back(attribute); }
    void onStateSelector(tStateSelector const& state) { m_simple.states.push_back(state); }
    void onSimpleSelector();
    void onSelector();
    void onProperty();
    void onStyle();
    void onConstant(tConstant const& constant) { m_parser->addConstant(m_line, constant); }
    void onImport(std::string const& url) { m_parser->processImport(m_line, url); }
    tPropertyValue onConstValue(std::string const& name) { return m_parser->getConstValue(name, m_line); }
    unsigned onRGBAValue(std::vector<unsigned> const& numbers, bool withAlpha);
    void transferSelector(std::vector<tSimpleSelector> const& list, CV::TOV::Selector& selector) const;

    // Errors.
    void outputError(std::string const& message);
    void outputError(boost::spirit::info const& what);
    void onError(eRecovery recovery, Iterator& first, Iterator const& last, Iterator const& where,
                 boost::spirit::info const& what);
    void onStyleError(Iterator& first, Iterator const& last, Iterator const& where, boost::spirit::info const& what,
                      char stop, bool consume);
    void clearHalfRead(eRecovery recovery);
    bool ruleLineTaken() const;
    void updateRuleLine();

    StyleParser2* m_parser;
    std::string m_sourceName;
    cv::symbol m_source;
    unsigned m_line = 1;
    tSimpleSelector m_simple;
    std::vector<tSimpleSelector> m_simpleList;
    std::string m_propertyName;
    tPropertyValue m_propertyValue;
    tRule m_rule;

    tSelectorRelations m_relations;
    tAttributeOPs m_attributeOps;
    tUnits m_units;

    // Line ends, whitespace and comments.
    qi::rule<Iterator> EOL, LineChar, LineComment, BlockComment, SilentBlockComment, WS, SilentWS, CommaSeparator,
        Semicolon, OpenParen, CloseParen;
    // Names and strings.
    qi::rule<Iterator, std::string()> IdentifierStart, IdentifierRest, Identifier, ConstIdentifier, QuotedString;
    qi::rule<Iterator, std::string(char)> String;
    // Selectors.
    qi::rule<Iterator, std::string()> TypeName, SubType;
    qi::rule<Iterator> TypeSelector, StyleSelector, ElementSelector, AttributeSelector, StateSelector, SimpleSelector,
        SelectorRelations, Selector, Selectors;
    qi::rule<Iterator, AttibuteSelector::eRule()> AttributeOperator;
    qi::rule<Iterator, tAttrSelector()> Attribute;
    qi::rule<Iterator, bool()> Negation, ExplicitRelation, DescendantRelation;
    qi::rule<Iterator, tStateSelector()> State;
    // Values.
    qi::rule<Iterator, std::string()> URL;
    qi::rule<Iterator, unsigned(bool)> ColorComponents;
    qi::rule<Iterator, unsigned()> RGB, RGBA, HexColor, Color;
    qi::rule<Iterator, int()> TerminatedInteger;
    qi::rule<Iterator, PropertyValue()> Number;
    qi::rule<Iterator, Property::eUnit()> Unit, BoolUnit, URLUnit, StringUnit, ColorUnit;
    qi::rule<Iterator, tPropertyValue()> NumericProperty, BoolProperty, StringProperty, URLProperty, ColorProperty,
        ConstantProperty, PropertyValueRule;
    // Statements.
    qi::rule<Iterator> Declaration, Properties, Style, Constant, Import, ATDeclaration, Statement, Stylesheet;
    qi::rule<Iterator, tConstant()> ConstantDefinition;
};

void StyleGrammar::defineLayout()
{
    using qi::eol;
    using qi::lit;

    EOL = eol[phx::bind(&StyleGrammar::onNextLine, this)];
    LineChar = standard::char_ - eol;
    LineComment = lit("//") >> *LineChar;
    BlockComment = lit("/*") >> *((LineChar - lit("*/")) | EOL) >> lit("*/");
    SilentBlockComment = lit("/*") >> *((LineChar - lit("*/")) | eol) >> lit("*/");
    WS = +(ascii::blank | LineComment | BlockComment | EOL);
    SilentWS = +(ascii::blank | LineComment | SilentBlockComment | eol);
    CommaSeparator = lit(',') >> -WS;
    Semicolon = lit(';') >> -WS;
    OpenParen = lit('(') >> -WS;
    CloseParen = -WS >> lit(')');

    IdentifierStart = (qi::char_('_') | ascii::alpha)[qi::_val = qi::_1];
    IdentifierRest = *(ascii::alnum | qi::char_('_') | qi::char_('-'));
    Identifier = IdentifierStart[qi::_val = qi::_1] >> IdentifierRest[qi::_val += qi::_1];
    ConstIdentifier = lit('$') > Identifier[qi::_val = qi::_1];
    String = *(standard::char_ - standard::char_(qi::_r1) - eol);
    QuotedString = (lit('"') > String(phx::val('"'))[qi::_val = qi::_1] > lit('"')) |
        (lit('\'') > String(phx::val('\''))[qi::_val = qi::_1] > lit('\''));
}

void StyleGrammar::defineSelectors()
{
    using qi::lit;

    TypeName = qi::string("*") | Identifier;
    SubType = lit('<') > -WS > Identifier[qi::_val = qi::_1] > -WS > lit('>');
    TypeSelector = TypeName[phx::ref(m_simple.type) = qi::_1] >> -SubType[phx::ref(m_simple.subType) = qi::_1];
    StyleSelector = lit('.') > IdentifierRest[phx::ref(m_simple.style) = qi::_1];
    ElementSelector = lit('#') > IdentifierRest[phx::ref(m_simple.id) = qi::_1];
    AttributeOperator = m_attributeOps;
    Attribute = Identifier[phx::bind(&setSymbol, phx::bind(&tAttrSelector::name, qi::_val), qi::_1)] >
        AttributeOperator[phx::bind(&tAttrSelector::rule, qi::_val) = qi::_1] >
        Identifier[phx::bind(&tAttrSelector::value, qi::_val) = qi::_1];
    AttributeSelector =
        lit('[') > -WS > Attribute[phx::bind(&StyleGrammar::onAttributeSelector, this, qi::_1)] > -WS > lit(']');
    Negation = qi::eps[qi::_val = false] >> -(lit('!')[qi::_val = true]);
    State = Negation[phx::bind(&tStateSelector::negated, qi::_val) = qi::_1] >
        Identifier[phx::bind(&setSymbol, phx::bind(&tStateSelector::name, qi::_val), qi::_1)];
    StateSelector = !m_relations >> (lit(':') > State[phx::bind(&StyleGrammar::onStateSelector, this, qi::_1)]);
    SimpleSelector = TypeSelector >> -StyleSelector >> -ElementSelector >> *AttributeSelector >> *StateSelector;
    ExplicitRelation = &(-SilentWS >> m_relations) >> -WS >> m_relations[qi::_val = true] >> -WS;
    DescendantRelation = !(SilentWS >> (lit(',') | lit('{'))) >> WS[qi::_val = false];
    SelectorRelations = (ExplicitRelation | DescendantRelation)[phx::ref(m_simple.direct) = qi::_1];
    Selector = (SimpleSelector[phx::bind(&StyleGrammar::onSimpleSelector, this)] % SelectorRelations) >> -WS;
    Selectors = Selector[phx::bind(&StyleGrammar::onSelector, this)] % CommaSeparator;
}

void StyleGrammar::defineValues()
{
    using qi::_1;
    using qi::_val;
    using qi::lit;

    URL = ascii::no_case[lit("url")] > -WS > OpenParen > QuotedString[_val = _1] > CloseParen;
    ColorComponents =
        ((qi::uint_ >> -WS) % CommaSeparator)[_val = phx::bind(&StyleGrammar::onRGBAValue, this, _1, qi::_r1)];
    RGB = ascii::no_case[lit("rgb")] > -WS > OpenParen > ColorComponents(false)[_val = _1] > CloseParen;
    RGBA = ascii::no_case[lit("rgba")] > -WS > OpenParen > ColorComponents(true)[_val = _1] > CloseParen;
    HexColor = lit('#') > qi::hex[_val = 0xFF000000u + (_1 & 0xFFFFFFu)];
    Color = RGBA | RGB | HexColor;
    TerminatedInteger = &(qi::int_ >> -SilentWS >> Unit >> -SilentWS >> (lit(';') | lit('}'))) >> qi::int_[_val = _1];
    Number = TerminatedInteger[phx::bind(&setInt, _val, _1)] | qi::float_[phx::bind(&setFloat, _val, _1)];
    Unit = -m_units;
    BoolUnit = qi::eps[_val = Property::eBool];
    URLUnit = qi::eps[_val = Property::eURL];
    StringUnit = qi::eps[_val = Property::eIdentifier];
    ColorUnit = qi::eps[_val = Property::eColor];

    auto value = phx::bind(&tPropertyValue::value, _val);
    auto unit = phx::bind(&tPropertyValue::unit, _val);
    NumericProperty = Number[value = _1] >> -WS >> Unit[unit = _1];
    BoolProperty = qi::bool_[phx::bind(&setBool, _val, _1)] >> BoolUnit[unit = _1];
    StringProperty = Identifier[phx::bind(&setText, _val, _1)] >> StringUnit[unit = _1];
    URLProperty = URL[phx::bind(&setText, _val, _1)] >> URLUnit[unit = _1];
    ColorProperty = Color[phx::bind(&setColor, _val, _1)] >> ColorUnit[unit = _1];
    ConstantProperty = ConstIdentifier[_val = phx::bind(&StyleGrammar::onConstValue, this, _1)];
    PropertyValueRule =
        NumericProperty | BoolProperty | URLProperty | ColorProperty | ConstantProperty | StringProperty;
}

void StyleGrammar::defineStatements()
{
    using qi::_1;
    using qi::lit;

    Declaration = Identifier[phx::ref(m_propertyName) = _1] > -WS > lit(':') > -WS >
        (PropertyValueRule[phx::ref(m_propertyValue) = _1] >> -WS);
    Properties = Declaration[phx::bind(&StyleGrammar::onProperty, this)] % Semicolon;
    Style = Selectors > -WS > lit('{') > -WS > -Properties > -lit(';') > -SilentWS > lit('}');
    ConstantDefinition = ConstIdentifier[phx::bind(&tConstant::name, qi::_val) = _1] > WS >
        PropertyValueRule[phx::bind(&tConstant::value, qi::_val) = _1];
    Constant = lit("@define") > WS > ConstantDefinition[phx::bind(&StyleGrammar::onConstant, this, _1)];
    Import = lit("@import") > WS > URL[phx::bind(&StyleGrammar::onImport, this, _1)];
    ATDeclaration = (Import | Constant) > -WS > lit(';');
    Statement = Style[phx::bind(&StyleGrammar::onStyle, this)] | ATDeclaration;
    Stylesheet = *(Statement | WS) > qi::eoi;
}

// The names an error message prints for an expected rule; the rules not
// named here print "unnamed-rule".
void StyleGrammar::setNames()
{
    EOL.name("EOL");
    WS.name("WS");
    Semicolon.name(";");
    OpenParen.name("(");
    CloseParen.name(")");
    Identifier.name("Identifier");
    ConstIdentifier.name("ConstIdentifier");
    String.name("String");
    QuotedString.name("QuotedString");
    TypeSelector.name("TypeSelector");
    StyleSelector.name("StyleSelector");
    ElementSelector.name("ElementSelector");
    Attribute.name("Attribute");
    AttributeSelector.name("AttributeSelector");
    StateSelector.name("StateSelector");
    SimpleSelector.name("SimpleSelector");
    SelectorRelations.name("SelectorRelations");
    Selector.name("Selector");
    Selectors.name("Selectors");
    URL.name("URL");
    HexColor.name("HexColor");
    Color.name("Color");
    NumericProperty.name("NumericProperty");
    BoolProperty.name("BoolProperty");
    StringProperty.name("StringProperty");
    URLProperty.name("URLProperty");
    ColorProperty.name("ColorProperty");
    ConstantProperty.name("ConstantProperty");
    PropertyValueRule.name("Property");
    Declaration.name("Declaration");
    Properties.name("Properties");
    Style.name("Style");
    Constant.name("Constant");
    Import.name("Import");
    ATDeclaration.name("ATDeclaration");
    Statement.name("Statement");
    Stylesheet.name("Stylesheet");
}

void StyleGrammar::assignErrorHandlers()
{
    using qi::_1;
    using qi::_2;
    using qi::_3;
    using qi::_4;
    auto handler = [this](eRecovery recovery) {
        return phx::bind(&StyleGrammar::onError, this, recovery, _1, _2, _3, _4);
    };
    qi::on_error<qi::accept>(AttributeSelector, handler(eRecovery::AttributeSelector));
    qi::on_error<qi::accept>(Selector, handler(eRecovery::Selector));
    qi::on_error<qi::accept>(Declaration, handler(eRecovery::Declaration));
    qi::on_error<qi::retry>(Style, handler(eRecovery::Style));
    qi::on_error<qi::retry>(Stylesheet, handler(eRecovery::Stylesheet));
}

// The rule line stays with the rule once its first simple selector is read.
bool StyleGrammar::ruleLineTaken() const
{
    return !m_rule.selectors.empty() || !m_simpleList.empty();
}

void StyleGrammar::updateRuleLine()
{
    if (!ruleLineTaken())
        m_rule.line = static_cast<int32_t>(m_line);
}

void StyleGrammar::onNextLine()
{
    ++m_line;
    updateRuleLine();
}

void StyleGrammar::onSimpleSelector()
{
    if (m_simple.type.empty() && m_simple.style.empty() && m_simple.id.empty() && m_simple.states.empty() &&
        m_simple.attributes.empty())
        return;
    m_simpleList.push_back(std::move(m_simple));
    m_simple = tSimpleSelector();
}

void StyleGrammar::onSelector()
{
    if (m_simpleList.empty())
        return;
    m_rule.selectors.emplace_back(m_rule.line, m_source);
    transferSelector(m_simpleList, m_rule.selectors.back());
    m_simpleList.clear();
}

// Walks from the subject (the last simple selector) to the outermost
// ancestor; each ancestor's direct flag comes from the relation written to
// its right.
void StyleGrammar::transferSelector(std::vector<tSimpleSelector> const& list, CV::TOV::Selector& selector) const
{
    bool direct = false;
    for (auto it = list.rbegin(); it != list.rend(); ++it) {
        std::string className;
        if (it->type != "*") {
            className = it->type;
            if (!it->subType.empty())
                className += "<" + it->subType + ">";
        }
        AttibuteSelector attributes;
        for (auto const& attribute : it->attributes)
            attributes.setAttribute(attribute.name, attribute.rule, attribute.value);
        if (it == list.rbegin()) {
            selector.set(className, it->style, it->id);
            for (auto const& state : it->states)
                selector.m_states.setState(state.name, !state.negated);
            selector.m_attributes = std::move(attributes);
        } else {
            selector.m_parents.emplace_back(className, it->style, it->id, direct);
            selector.m_parents.back().m_attributes = std::move(attributes);
        }
        direct = it->direct;
    }
}

void StyleGrammar::onProperty()
{
    if (m_propertyName.empty())
        return;
    m_rule.properties.emplace_back(m_propertyValue.value, cv::symbol(m_propertyName), m_propertyValue.unit);
    m_propertyName.clear();
    m_propertyValue.value.emplace<int32_t>(0);
    m_propertyValue.unit = Property::eNone;
}

void StyleGrammar::onStyle()
{
    if (!m_rule.selectors.empty() && !m_rule.properties.empty())
        m_parser->addRule(m_rule);
    m_rule.selectors.clear();
    m_rule.properties.clear();
    m_rule.line = 0;
}

unsigned StyleGrammar::onRGBAValue(std::vector<unsigned> const& numbers, bool withAlpha)
{
    if (numbers.size() != (withAlpha ? 4u : 3u)) {
        outputError("invalid color declaration");
        return 0;
    }
    unsigned const alpha = withAlpha ? (numbers[3] & 0xFF) : 0xFF;
    return alpha << 24 | (numbers[0] & 0xFF) << 16 | (numbers[1] & 0xFF) << 8 | (numbers[2] & 0xFF);
}

void StyleGrammar::outputError(std::string const& message)
{
    char prefix[64];
    std::snprintf(prefix, sizeof prefix, "PARSER ERROR at line %d: ", static_cast<int>(m_line));
    m_parser->addErrorMessage(m_line, prefix + message);
}

void StyleGrammar::outputError(boost::spirit::info const& what)
{
    std::string key = what.tag;
    if (key == "literal-char" || key == "literal-string") {
        if (auto const* text = boost::get<boost::spirit::utf8_string>(&what.value))
            key = *text;
    }
    auto const found = s_collDebugInfo.find(key);
    outputError("Expecting " + (found != s_collDebugInfo.end() ? found->second : key));
}

// What a broken rule had half read must not join the next rule, selector or
// declaration: a broken line styles nothing.
void StyleGrammar::clearHalfRead(eRecovery recovery)
{
    switch (recovery) {
    case eRecovery::AttributeSelector: return; // the condition's action has not run
    case eRecovery::Declaration:
        m_propertyName.clear();
        m_propertyValue = tPropertyValue();
        return;
    case eRecovery::Selector:
        m_simple = tSimpleSelector();
        m_simpleList.clear();
        return;
    case eRecovery::Style:
    case eRecovery::Stylesheet:
        if (ruleLineTaken())
            m_rule.line = 0; // the dropped rule's; a line counted since stays
        m_simple = tSimpleSelector();
        m_simpleList.clear();
        m_propertyName.clear();
        m_rule.selectors.clear();
        m_rule.properties.clear();
        return;
    }
}

void StyleGrammar::onError(eRecovery recovery, Iterator& first, Iterator const& last, Iterator const& where,
                           boost::spirit::info const& what)
{
    struct tResume {
        char stop;
        bool consume;
    };
    static const std::map<eRecovery, tResume> resume = {
        {eRecovery::AttributeSelector, {']', true}}, {eRecovery::Selector, {'\n', true}},
        {eRecovery::Declaration, {'}', false}},      {eRecovery::Style, {'}', true}},
        {eRecovery::Stylesheet, {'\n', true}},
    };
    clearHalfRead(recovery);
    tResume const& at = resume.at(recovery);
    onStyleError(first, last, where, what, at.stop, at.consume);
}

// Reports the failure and moves first to the stop character (after it when
// consume is set), skipping stop characters inside comments. Only line feeds
// are counted here.
void StyleGrammar::onStyleError(Iterator& first, Iterator const& last, Iterator const& where,
                                boost::spirit::info const& what, char stop, bool consume)
{
    first = where;
    outputError(what);
    bool inLineComment = false;
    bool inBlockComment = false;
    Iterator it = first;
    for (; it != last; ++it) {
        char const c = *it;
        if (c == '\n') {
            onNextLine();
            inLineComment = false;
        }
        if (c == stop && !inLineComment && !inBlockComment)
            break;
        Iterator const next = it + 1;
        if (next == last)
            continue;
        if (c == '/' && !inLineComment && !inBlockComment) {
            if (*next == '/')
                inLineComment = true;
            else if (*next == '*')
                inBlockComment = true;
        } else if (c == '*' && *next == '/') {
            inBlockComment = false;
        }
    }
    first = (it == last) ? last : (consume ? it + 1 : it);
}

} // namespace

namespace DETAIL {

bool runStyleGrammar(StyleParser2* parser, std::string const& sourceName, std::string::const_iterator first,
                     std::string::const_iterator last)
{
    StyleGrammar grammar(parser, sourceName);
    bool const matched = qi::parse(first, last, grammar);
    return matched && first == last;
}

} // namespace DETAIL
} // namespace CV::TOV
