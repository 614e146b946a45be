#pragma once
// The hub of volume mount and unmount notifications. An observer object
// (CVDeviceNotificationListener) hears them from the shared workspace's
// notification centre and hands them to the listeners here, on the main
// thread.
#include "BAS/DeviceNotificationListener.h"

#include <mutex>
#include <string>
#include <vector>

namespace CV {
namespace BAS {

// Guards the listener list; held while the listeners are called.
extern std::recursive_mutex deviceNotificationListenerMutex;

class DeviceNotification {
public:
    // Creates the observer once; true.
    static bool init();
    // Releases the observer; the listener list stays as it is.
    static void deInit();
    static bool isInitialized();

    // Appends a listener (not owned).
    static void addListener(DeviceNotificationListener* listener);
    // Removes the first occurrence of the listener.
    static void removeListener(DeviceNotificationListener* listener);

    // Calls onVolumeChanged of every listener registered when the call
    // begins and still registered when its turn comes, in order. Listeners
    // may add or remove listeners (themselves included) meanwhile.
    static void onVolumeChanged(DeviceNotificationListener::eState state, std::string const& name);

    DeviceNotification() = delete;

private:
    static bool initOS();
    static void deInitOS();

    static bool m_bInit;
    static std::vector<DeviceNotificationListener*> m_collListeners;
};

} // namespace BAS
} // namespace CV
