#pragma once
// What is wrong with a skin is said on standard error, one line each,
// whether or not a log sink is registered: a skin file this program refuses
// (missing, unreadable, leading outside the skin folder, beyond its limits,
// giving no rules) and remarks such as the skin folder in use or a picture
// library's warning about a file.
#include <string>

namespace CV::TOV {

class SkinRefusal {
public:
    // Writes "skin file refused: <what>" and a line end to standard error.
    static void report(std::string const& what);
    // Writes "skin: <what>" and a line end to standard error.
    static void remark(std::string const& what);

private:
    static void writeLine(std::string const& line);
};

} // namespace CV::TOV
