#pragma once
// The volume manager's listener at the device notification hub: checks a
// notified volume against the platform's volumes and passes mounts of
// listed volumes and unmounts of unlisted ones to VolumeManager::onVolumeChange.
#include "BAS/DeviceNotificationListener.h"

namespace CV {
namespace BAS {

class DeviceNotificationHelper : public DeviceNotificationListener {
public:
    void onVolumeChanged(eState state, std::string const& name) override;
};

} // namespace BAS
} // namespace CV
