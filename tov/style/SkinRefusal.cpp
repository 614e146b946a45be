#include "TOV/SkinRefusal.h"

#include <cstdio>

namespace CV::TOV {

void SkinRefusal::report(std::string const& what)
{
    writeLine("skin file refused: " + what);
}

void SkinRefusal::remark(std::string const& what)
{
    writeLine("skin: " + what);
}

void SkinRefusal::writeLine(std::string const& line)
{
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
}

} // namespace CV::TOV
