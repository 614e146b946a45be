#pragma once
// Compact text forms of parsed rules, so that tests compare whole results
// in one line per rule.
#include "TOV/Property.h"
#include "TOV/Selector.h"
#include "TOV/StyleParser2.h"
#include "TOV/StyleSheetErrorsLogSource.h"

#include <string>
#include <vector>

namespace CV::TOV::Testing {

// "i12", "f2.5", "u#FFFF0000", "btrue", "s'text'", "-" (no value).
std::string dumpValue(PropertyValue const& value);
// "name=value/unit".
std::string dumpProperty(Property const& property);
// Outermost ancestor first: "A::B C.big#ok[k=v]:over:!down".
std::string dumpSelector(Selector const& selector);
// "L<line> <selectors, comma separated> { <properties; separated> }".
std::string dumpRule(StyleParser2::tRule const& rule);
std::vector<std::string> dumpRules(std::vector<StyleParser2::tRule> const& rules);

// Collects the log lines while it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    std::vector<std::string> lines;
};

} // namespace CV::TOV::Testing
