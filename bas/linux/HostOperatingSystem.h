#pragma once
// What the Linux host reports about itself: the kernel release and machine
// name (uname) and the host name.
#include <cstdint>
#include <string>

namespace CV {
namespace BAS {
namespace LINUX {

struct KernelRelease {
    int32_t major = 0;
    int32_t minor = 0;
    int32_t patch = 0;
};

class HostOperatingSystem {
public:
    static KernelRelease kernelRelease();
    // uname's machine field, for example "x86_64"; empty when unknown.
    static std::string machine();
    // The host name; empty when it cannot be had.
    static std::string computerName();

    // "6.1.0-18-amd64" gives 6.1.0; the numbers stop at the first part that
    // is not one; missing parts are 0.
    static KernelRelease parseRelease(const std::string& release);

    HostOperatingSystem() = delete;
};

} // namespace LINUX
} // namespace BAS
} // namespace CV
