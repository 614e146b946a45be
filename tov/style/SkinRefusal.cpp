#include "TOV/SkinRefusal.h"

#include <cstdio>

namespace CV::TOV {

void SkinRefusal::report(std::string const& what)
{
    std::fprintf(stderr, "skin file refused: %s\n", what.c_str());
    std::fflush(stderr);
}

} // namespace CV::TOV
