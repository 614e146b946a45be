#include "bas/linux/HostOperatingSystem.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <climits>

namespace CV {
namespace BAS {
namespace LINUX {

namespace {

// Reads the decimal number at pos; false when there is none.
bool readNumber(const std::string& text, std::size_t& pos, int32_t& number)
{
    if (pos >= text.size() || !std::isdigit(static_cast<unsigned char>(text[pos])))
        return false;
    int64_t value = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        value = value * 10 + (text[pos] - '0');
        if (value > INT32_MAX)
            value = INT32_MAX;
        ++pos;
    }
    number = static_cast<int32_t>(value);
    return true;
}

} // namespace

KernelRelease HostOperatingSystem::parseRelease(const std::string& release)
{
    KernelRelease result;
    int32_t* parts[] = {&result.major, &result.minor, &result.patch};
    std::size_t pos = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (i > 0) {
            if (pos >= release.size() || release[pos] != '.')
                break;
            ++pos;
        }
        if (!readNumber(release, pos, *parts[i]))
            break;
    }
    return result;
}

KernelRelease HostOperatingSystem::kernelRelease()
{
    utsname names{};
    if (::uname(&names) != 0)
        return {};
    return parseRelease(names.release);
}

std::string HostOperatingSystem::machine()
{
    utsname names{};
    if (::uname(&names) != 0)
        return {};
    return names.machine;
}

std::string HostOperatingSystem::computerName()
{
    char name[HOST_NAME_MAX + 1] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return {};
    return name;
}

} // namespace LINUX
} // namespace BAS
} // namespace CV
