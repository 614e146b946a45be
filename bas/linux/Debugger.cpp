#include "bas/linux/Debugger.h"

#include <csignal>
#include <cstdio>
#include <cstring>

namespace CV {
namespace BAS {
namespace LINUX {

bool Debugger::isAttached()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return false;
    char line[256];
    long tracer = 0;
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "TracerPid: %ld", &tracer) == 1)
            break;
    std::fclose(status);
    return tracer != 0;
}

void Debugger::breakIfAttached()
{
    if (isAttached())
        std::raise(SIGTRAP);
}

} // namespace LINUX
} // namespace BAS
} // namespace CV
