#include "bas/linux/OpticalMedia.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace CV {
namespace BAS {
namespace LINUX {

namespace fs = std::filesystem;

namespace {

constexpr int kScsiTypeOpticalDrive = 5;

// The whole disk's folder for a block device's folder.
fs::path wholeDiskOf(const fs::path& device)
{
    std::error_code error;
    const fs::path resolved = fs::canonical(device, error);
    if (error)
        return {};
    if (fs::exists(resolved / "partition", error))
        return resolved.parent_path();
    return resolved;
}

bool hasPeripheralType(const fs::path& disk, int expected)
{
    std::ifstream typeFile(disk / "device" / "type");
    int type = -1;
    return typeFile >> type && type == expected;
}

} // namespace

OpticalMedia::OpticalMedia(std::string sysfsRoot)
    : m_sysfsRoot(std::move(sysfsRoot))
{
}

std::string OpticalMedia::blockDeviceName(const std::string& mountedFrom)
{
    const std::size_t slash = mountedFrom.rfind('/');
    return slash == std::string::npos ? mountedFrom : mountedFrom.substr(slash + 1);
}

bool OpticalMedia::isOptical(const std::string& mountedFrom) const
{
    const std::string name = blockDeviceName(mountedFrom);
    if (name.empty() || name == "." || name == "..")
        return false;
    const fs::path disk = wholeDiskOf(fs::path(m_sysfsRoot) / "class" / "block" / name);
    return !disk.empty() && hasPeripheralType(disk, kScsiTypeOpticalDrive);
}

} // namespace LINUX
} // namespace BAS
} // namespace CV
