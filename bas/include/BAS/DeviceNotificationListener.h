#pragma once
// A listener of the device notification hub (DeviceNotification). The hub
// calls only onVolumeChanged; the other two are kept for listeners of
// device changes in general and do nothing by default.
#include <string>

namespace CV {
namespace BAS {

class DeviceNotificationListener {
public:
    enum eState { eMounted = 0, eUnmounted = 1 };

    virtual void onDeviceChanged(eState state);
    virtual void onDeviceChangedDetail(eState state, void const* detail);
    // name: the volume's name ("Backup" for a volume mounted at
    // /Volumes/Backup or /media/me/Backup).
    virtual void onVolumeChanged(eState state, std::string const& name) = 0;

protected:
    // Listeners are never deleted through this interface.
    ~DeviceNotificationListener() = default;
};

} // namespace BAS
} // namespace CV
