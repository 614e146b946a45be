#pragma once
// The command line of the process (not copied) and a file to open.
#include "FEN/Forward.h"

#include <string>

namespace CV {
namespace FEN {

class CLI {
public:
    static void setCommandLineArguments(int argc, char** argv);
    // Stores the file name's full path.
    static void setCommandLineFile(BAS::FileName const& file);

    static int s_argc;
    static char** s_argv;
    static std::string s_file;

    CLI() = delete;
};

// The application target: one process-wide int, 0 at start.
class AppTarget {
public:
    static int* instance();

    AppTarget() = delete;
};

} // namespace FEN
} // namespace CV
