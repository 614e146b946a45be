#include "bas/linux/PlatformVolumes.h"

#include "platform/volumes/VolumeList.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace CV {
namespace BAS {
namespace LINUX {

namespace {

// The device number in the kernel's 32-bit encoding (major in bits 8..19,
// minor in 0..7 and 20..31).
int32_t referenceOfMountPoint(const std::string& mountPoint)
{
    struct stat info { };
    if (::stat(mountPoint.c_str(), &info) != 0)
        return 0;
    const uint32_t major = ::major(info.st_dev);
    const uint32_t minor = ::minor(info.st_dev);
    return static_cast<int32_t>((minor & 0xFFu) | ((major & 0xFFFu) << 8) | ((minor & ~0xFFu) << 12));
}

} // namespace

std::vector<PlatformVolume> PlatformVolumes::mounted()
{
    std::vector<PlatformVolume> result;
    for (const auto& volume : platform::volumes::VolumeList::mounted())
        result.push_back({volume.name, referenceOfMountPoint(volume.mountPoint)});
    return result;
}

const PlatformVolume* PlatformVolumes::findByName(const std::vector<PlatformVolume>& volumes, const std::string& name)
{
    for (const auto& volume : volumes) {
        if (volume.volumeRefNum != 0 && !volume.name.empty() && volume.name == name)
            return &volume;
    }
    return nullptr;
}

} // namespace LINUX
} // namespace BAS
} // namespace CV
