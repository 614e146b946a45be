#pragma once
// The entry into the style grammar. The grammar itself lives in one source
// file, so that the parser library's templates are compiled once.
#include <string>

namespace CV::TOV {
class StyleParser2;
}

namespace CV::TOV::DETAIL {

// Runs the grammar over [first, last) and hands rules, constants, imports and
// error messages to the parser. True when the start rule matched and read the
// text to its end.
bool runStyleGrammar(StyleParser2* parser, std::string const& sourceName, std::string::const_iterator first,
                     std::string::const_iterator last);

} // namespace CV::TOV::DETAIL
