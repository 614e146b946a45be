#pragma once
// The file of the loaded module (program or shared library) that holds an
// address.
#include <string>

namespace CV {
namespace BAS {
namespace LINUX {

class ModulePath {
public:
    // The module's file; for the program itself its executable as the kernel
    // knows it (/proc/self/exe: absolute, links resolved), since the dynamic
    // loader only knows the name the program was started under. Empty when
    // no module holds the address.
    static std::string ofAddress(const void* address);

    ModulePath() = delete;
};

} // namespace LINUX
} // namespace BAS
} // namespace CV
