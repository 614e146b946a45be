#include "FEN/CLI.h"

#include "BAS/FileName.h"

namespace CV {
namespace FEN {

int CLI::s_argc = 0;
char** CLI::s_argv = nullptr;
std::string CLI::s_file;

void CLI::setCommandLineArguments(int argc, char** argv)
{
    s_argc = argc;
    s_argv = argv;
}

void CLI::setCommandLineFile(BAS::FileName const& file)
{
    s_file = file.full;
}

int* AppTarget::instance()
{
    static int s_target = 0;
    return &s_target;
}

} // namespace FEN
} // namespace CV
