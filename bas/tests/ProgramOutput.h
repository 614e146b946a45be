#pragma once
// Runs a shell command and returns what it printed on standard output.
#include <cstdio>
#include <string>

namespace CV {
namespace BAS {
namespace TEST {

inline std::string programOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        return "cannot start";
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    ::pclose(pipe);
    return output;
}

} // namespace TEST
} // namespace BAS
} // namespace CV
