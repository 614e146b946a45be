#include "BAS/DeviceNotificationHelper.h"

#include "BAS/VolumeManager.h"

#include "bas/linux/PlatformVolumes.h"

namespace CV {
namespace BAS {

void DeviceNotificationHelper::onVolumeChanged(eState state, std::string const& name)
{
    const auto volumes = LINUX::PlatformVolumes::mounted();
    const LINUX::PlatformVolume* volume = LINUX::PlatformVolumes::findByName(volumes, name);
    // A mount the platform does not list, and an unmount of a volume it
    // still lists, are stale: ignored.
    if (state == eMounted && volume)
        VolumeManager::onVolumeChange(eVolumeAdded, {name, 0, volume->volumeRefNum});
    else if (state == eUnmounted && !volume)
        VolumeManager::onVolumeChange(eVolumeRemoved, {name, 0, 0});
}

} // namespace BAS
} // namespace CV
