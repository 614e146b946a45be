#pragma once
// Turns one style-sheet text into rules and constants. The grammar hands its
// finished rules, constants, imports and error messages to this driver.
#include "TOV/Forward.h"
#include "TOV/Property.h"
#include "TOV/Selector.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace CV::TOV {

class StyleParser2 {
public:
    enum eEncoding : int32_t { eNoMark = 0, eUTF8 = 1, eUTF16BE = 2, eUTF16LE = 3, eUTF32BE = 4, eUTF32LE = 5 };

    struct tPropertyValue {
        PropertyValue value;
        Property::eUnit unit = Property::eNone;
    };
    struct tConstant {
        std::string name; // without '$'
        tPropertyValue value;
    };
    struct tRule {
        std::vector<Selector> selectors;
        std::vector<Property> properties; // source order
        int32_t line = 0;
    };

    // Working records of the grammar.
    struct tAttrSelector {
        cv::symbol name;
        AttibuteSelector::eRule rule = AttibuteSelector::eEquals;
        std::string value;
    };
    struct tStateSelector {
        bool negated = false;
        cv::symbol name;
    };
    struct tSimpleSelector {
        std::string type; // type name or "*"
        std::string subType;
        std::string style;
        std::string id;
        std::vector<tStateSelector> states;
        std::vector<tAttrSelector> attributes;
        bool direct = false; // joined to the one before by "::"
    };

    explicit StyleParser2(StyleSheet* sheet = nullptr);
    ~StyleParser2();
    StyleParser2(StyleParser2 const&) = delete;
    StyleParser2& operator=(StyleParser2 const&) = delete;

    // Parses the text after a byte-order mark found by checkBOM; true only
    // when the whole buffer was read.
    bool processBuffer(std::string const& buffer, std::string const& sourceName);
    // Parses the whole text; no byte-order mark is looked for.
    bool processString(std::string const& text);

    // Hand-off from the grammar.
    void addRule(tRule const& rule);
    void addConstant(unsigned line, tConstant const& constant);
    tPropertyValue getConstValue(std::string const& name, unsigned line);
    void processImport(unsigned line, std::string const& name);
    void addErrorMessage(unsigned line, std::string const& text);
    void addErrorMessage(std::string const& source, unsigned line, std::string const& text);

    std::vector<tRule> const& getRules() const { return m_rules; }
    std::map<std::string, std::multimap<unsigned, std::string>> const& getErrors() const { return m_errors; }
    eEncoding getEncoding() const { return m_encoding; }

    static constexpr char const* kStringSourceName = "(StyleParser2::processString)";

private:
    std::string const& currentSource() const { return m_currentSource; }

    StyleSheet* m_sheet;
    std::vector<tRule> m_rules;
    std::map<std::string, tPropertyValue> m_constants;
    std::map<std::string, std::multimap<unsigned, std::string>> m_errors;
    eEncoding m_encoding = eNoMark;
    std::string m_currentSource; // full path text of the file being parsed
    std::set<std::string> m_imports;
};

} // namespace CV::TOV
