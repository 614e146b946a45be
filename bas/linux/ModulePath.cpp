#include "bas/linux/ModulePath.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <climits>
#include <vector>

namespace CV {
namespace BAS {
namespace LINUX {

namespace {

std::string runningExecutable()
{
    std::vector<char> buffer(PATH_MAX);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

// The load address of the program itself: the first module the loader
// reports.
int firstModuleBase(dl_phdr_info* info, size_t, void* data)
{
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        if (info->dlpi_phdr[i].p_type == PT_LOAD) {
            *static_cast<const void**>(data) =
                reinterpret_cast<const void*>(info->dlpi_addr + info->dlpi_phdr[i].p_vaddr);
            break;
        }
    }
    return 1; // stop after the program
}

const void* programBase()
{
    const void* base = nullptr;
    ::dl_iterate_phdr(&firstModuleBase, &base);
    return base;
}

} // namespace

std::string ModulePath::ofAddress(const void* address)
{
    Dl_info info{};
    if (::dladdr(address, &info) == 0 || info.dli_fname == nullptr)
        return {};
    if (info.dli_fbase == programBase() || info.dli_fname[0] == '\0')
        return runningExecutable();
    return info.dli_fname;
}

} // namespace LINUX
} // namespace BAS
} // namespace CV
