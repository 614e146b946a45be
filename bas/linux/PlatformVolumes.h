#pragma once
// The mounted volumes as the platform numbers them: each volume of the
// shared volume list with its display name and a reference number made
// from the device number of its mount point (0 when the mount point cannot
// be read).
#include <cstdint>
#include <string>
#include <vector>

namespace CV {
namespace BAS {
namespace LINUX {

struct PlatformVolume {
    std::string name;
    int32_t volumeRefNum = 0;
};

class PlatformVolumes {
public:
    static std::vector<PlatformVolume> mounted();
    // The first volume with this name and a non-zero number; null when none.
    static const PlatformVolume* findByName(const std::vector<PlatformVolume>& volumes, const std::string& name);

    PlatformVolumes() = delete;
};

} // namespace LINUX
} // namespace BAS
} // namespace CV
