#pragma once
// A skin file that this program refuses by its own limits (a style sheet
// too large or imported too deep, a picture too large) is named on standard
// error, one line each, whether or not a log sink is registered.
#include <string>

namespace CV::TOV {

class SkinRefusal {
public:
    // Writes "skin file refused: <what>" and a line end to standard error.
    static void report(std::string const& what);
};

} // namespace CV::TOV
