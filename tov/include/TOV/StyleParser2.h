#pragma once
// Turns one style-sheet text into rules and constants. The grammar hands its
// finished rules, constants, imports and error messages to this driver.
#include "TOV/Forward.h"
#include "TOV/Property.h"
#include "TOV/Selector.h"

#include "BAS/CharSequence.h"
#include "BAS/FileName.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace CV::BAS {
class Stream;
}

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

    // Imports nest at most this deep; deeper ones are refused with a message.
    static constexpr int kMaxImportDepth = 32;
    // Sheets larger than this are refused with a message.
    static constexpr int64_t kMaxSheetSize = int64_t(16) << 20;

    // Reads a file (or an item of a container file) and parses it; false
    // when it cannot be opened or read, or does not parse to its end.
    bool processFile(BAS::FileName const& name);
    // Reads the whole storage behind the stream and parses it.
    bool processStream(BAS::Stream& stream, std::string const& sourceName);
    // Sets the encoding from the byte-order mark at the start of the buffer.
    void checkBOM(std::string const& buffer);
    // Parses the text after a byte-order mark found by checkBOM; true only
    // when the whole buffer was read. Marks of UTF-16 and UTF-32 are refused.
    bool processBuffer(std::string const& buffer, std::string const& sourceName);
    // Parses the whole text; no byte-order mark is looked for.
    bool processString(std::string const& text);
    // The text up to its first NUL, never beyond the view's length.
    bool processString(BAS::CharSequence<char> const& text);

    // Hand-off from the grammar.
    void addRule(tRule const& rule);
    void addConstant(unsigned line, tConstant const& constant);
    tPropertyValue getConstValue(std::string const& name, unsigned line);
    void processImport(unsigned line, std::string const& name);
    void addErrorMessage(unsigned line, std::string const& text);
    void addErrorMessage(std::string const& source, unsigned line, std::string const& text);

    // The first error message of the parse, with where it was found.
    struct tError {
        std::string source; // empty: the sheet given to processStream or processString
        unsigned line = 0;
        std::string text; // empty: no error
    };

    std::vector<tRule> const& getRules() const { return m_rules; }
    tError const& getFirstError() const { return m_firstError; }
    // Whether a sheet (the first or an imported one) was refused for its size,
    // which was said on standard error.
    bool wasRefusedForSize() const { return m_refusedForSize; }
    std::set<std::string> const& getImports() const { return m_imports; }
    std::map<std::string, std::multimap<unsigned, std::string>> const& getErrors() const { return m_errors; }
    eEncoding getEncoding() const { return m_encoding; }

    static constexpr char const* kStringSourceName = "(StyleParser2::processString)";

private:
    std::string const& currentSource() const { return m_currentFile.full; }
    // False with problem set to why, or empty when that was said already.
    bool readImport(std::string const& name, BAS::FileName const& importer, std::string& problem);
    // Keeps and logs an error message; an import's failure, which is said
    // apart, is not taken for the first error.
    void logError(std::string const& source, unsigned line, std::string const& text);
    // Parses an imported sheet; false with problem set unless that was said.
    bool parsedImport(BAS::Stream& stream, std::string const& sourceName, std::string const& path,
                      std::string& problem);
    // Says a refused sheet on standard error, through the sheet's resource
    // manager when there is one.
    void refuse(std::string const& what);
    void reserveRulesFor(std::string::const_iterator first, std::string::const_iterator last);

    StyleSheet* m_sheet;
    std::vector<tRule> m_rules;
    std::map<std::string, tPropertyValue> m_constants;
    std::map<std::string, std::multimap<unsigned, std::string>> m_errors;
    eEncoding m_encoding = eNoMark;
    BAS::FileName m_currentFile; // its full path names the source of messages
    std::set<std::string> m_imports;
    int m_importDepth = 0;
    std::string m_sourceName; // of the sheet being parsed when it has no file name
    tError m_firstError;
    bool m_refusedForSize = false;
};

} // namespace CV::TOV
