#pragma once
// The list of mounted volumes, headed by the user's home folder, kept
// current through the device notification hub, and the listeners of its
// changes.
//
// The list: the home entry (type eVolumeHome), then every mount of the
// mount table in table order whose file-system type is a volume kind
// (platform/volumes/FileSystemKind.h) and whose mount point's colon form is
// the name of a mounted platform volume; mounts below /Network and
// /automount are left out. A local file system counts as an optical disc
// when its whole disk is a CD/DVD drive (sysfs: device/type 5).
//
// Locks: volumeInfoMutex guards the list, listenersMutex the listener
// entries; both are recursive. Notifications run inside the hub's lock.
#include "BAS/DeviceNotificationHelper.h"
#include "BAS/VolumeChangeListener.h"
#include "BAS/VolumeInfo.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace CV {
namespace BAS {

extern std::recursive_mutex volumeInfoMutex;
extern std::recursive_mutex listenersMutex;

class VolumeManager {
public:
    struct ListenerEntry {
        std::string name; // empty: any volume
        int32_t typeMask = 0; // eVolumeType bits; 0: any kind
        int32_t volumeRefNum = 0; // 0: any volume
        VolumeChangeListener* listener = nullptr; // not owned
    };

    static constexpr const char* kDefaultSysfsRoot = "/sys";

    // Scans the volumes and, when the hub runs, listens to it; true.
    static bool init();
    // Stops listening and forgets the list and the listener entries.
    static void deInit();
    static bool isInitialized();

    // Rebuilds the list; true when it is not empty. Callers hold
    // volumeInfoMutex.
    static bool rescanInternal();
    // Updates the list for a change and notifies the matching entries
    // (last entry first). Nothing when not initialised.
    static void onVolumeChange(eVolumeChange change, VolumeInfo const& info);

    // A copy of the current list.
    static std::vector<VolumeInfo> volumeInfos();
    static void addListener(const ListenerEntry& entry);
    // Removes every entry of the listener.
    static void removeListener(VolumeChangeListener* listener);

    // The sysfs tree asked about block devices (tests point it at a tree of
    // their own); empty restores kDefaultSysfsRoot.
    static void setSysfsRoot(const std::string& root);
    static std::string sysfsRoot();

    VolumeManager() = delete;

private:
    static bool s_bInit;
    static std::vector<VolumeInfo> s_collVolumeInfos;
    static std::vector<ListenerEntry> s_collListeners;
    static DeviceNotificationHelper s_aDeviceNotificationHelper;
    static std::string s_sysfsRoot;
};

} // namespace BAS
} // namespace CV
