#include "BAS/VolumeManager.h"

#include "BAS/DeviceNotification.h"
#include "BAS/FileName.h"
#include "BAS/SystemFolder.h"

#include "bas/linux/OpticalMedia.h"
#include "bas/linux/PlatformVolumes.h"

#include "platform/volumes/FileSystemKind.h"
#include "platform/volumes/MountTableSource.h"

#include <algorithm>

namespace CV {
namespace BAS {

std::recursive_mutex volumeInfoMutex;
std::recursive_mutex listenersMutex;

bool VolumeManager::s_bInit = false;
std::vector<VolumeInfo> VolumeManager::s_collVolumeInfos;
std::vector<VolumeManager::ListenerEntry> VolumeManager::s_collListeners;
DeviceNotificationHelper VolumeManager::s_aDeviceNotificationHelper;
std::string VolumeManager::s_sysfsRoot = VolumeManager::kDefaultSysfsRoot;

namespace {

constexpr short kOnAppropriateDisk = -32767;
constexpr unsigned kCurrentUserFolderType = 0x63757372; // 'cusr'

bool startsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

bool isAutomountedShare(const std::string& mountPoint)
{
    return startsWith(mountPoint, "/Network") || startsWith(mountPoint, "/automount");
}

// The kind of a mount; 0 for a file system that makes no volume.
int32_t volumeTypeOf(const platform::MountEntry& mount)
{
    using platform::volumes::FileSystemKind;
    switch (platform::volumes::fileSystemKindOf(mount.fileSystemType)) {
    case FileSystemKind::Local:
        return LINUX::OpticalMedia(VolumeManager::sysfsRoot()).isOptical(mount.source) ? eVolumeOptical : eVolumeLocal;
    case FileSystemKind::Optical: return eVolumeOptical;
    case FileSystemKind::Network: return eVolumeNetwork;
    case FileSystemKind::AudioCD: return eVolumeAudioCD;
    case FileSystemKind::None: break;
    }
    return 0;
}

bool homeEntry(VolumeInfo& entry)
{
    FileName home;
    if (!getSystemFolder(kOnAppropriateDisk, kCurrentUserFolderType, home, false))
        return false;
    entry.name = home.full;
    if (!entry.name.empty() && entry.name.back() == FileName::DIR_SEPARATOR)
        entry.name.pop_back();
    entry.type = eVolumeHome;
    entry.volumeRefNum = 0;
    return true;
}

bool matches(const VolumeManager::ListenerEntry& entry, const VolumeInfo& info)
{
    return (entry.name.empty() || entry.name == info.name) &&
        (entry.typeMask == 0 || (entry.typeMask & info.type) != 0) &&
        (entry.volumeRefNum == 0 || entry.volumeRefNum == info.volumeRefNum) && entry.listener != nullptr;
}

} // namespace

bool VolumeManager::init()
{
    {
        std::lock_guard<std::recursive_mutex> lock(volumeInfoMutex);
        s_bInit = true;
        rescanInternal();
    }
    if (DeviceNotification::isInitialized())
        DeviceNotification::addListener(&s_aDeviceNotificationHelper);
    return true;
}

void VolumeManager::deInit()
{
    if (!s_bInit)
        return;
    if (DeviceNotification::isInitialized())
        DeviceNotification::removeListener(&s_aDeviceNotificationHelper);
    s_collVolumeInfos.clear();
    s_collListeners.clear();
    s_bInit = false;
}

bool VolumeManager::isInitialized()
{
    return s_bInit;
}

bool VolumeManager::rescanInternal()
{
    s_collVolumeInfos.clear();
    VolumeInfo home;
    if (homeEntry(home))
        s_collVolumeInfos.push_back(home);

    const auto mounts = platform::volumes::MountTableSource::entries();
    for (const platform::MountEntry& mount : *mounts) {
        if (isAutomountedShare(mount.mountPoint))
            continue;
        const int32_t type = volumeTypeOf(mount);
        if (type == 0)
            continue;
        const std::string name =
            FileName::POSIX2HFSPath(reinterpret_cast<const unsigned char*>(mount.mountPoint.c_str()));
        const auto volumes = LINUX::PlatformVolumes::mounted();
        if (const LINUX::PlatformVolume* volume = LINUX::PlatformVolumes::findByName(volumes, name))
            s_collVolumeInfos.push_back({name, type, volume->volumeRefNum});
    }
    return !s_collVolumeInfos.empty();
}

void VolumeManager::onVolumeChange(eVolumeChange change, VolumeInfo const& info)
{
    if (!s_bInit)
        return;
    VolumeInfo changed = info;
    {
        std::lock_guard<std::recursive_mutex> lock(volumeInfoMutex);
        if (change == eVolumeAdded)
            rescanInternal();
        const auto listed = std::find_if(s_collVolumeInfos.begin(), s_collVolumeInfos.end(),
                                         [&](const VolumeInfo& entry) { return entry.name == info.name; });
        if (listed != s_collVolumeInfos.end()) {
            changed.type = listed->type;
            if (change == eVolumeRemoved)
                s_collVolumeInfos.erase(listed);
        }
    }
    std::lock_guard<std::recursive_mutex> lock(listenersMutex);
    // Last entry first; the list is read again at every step, since a
    // listener may change it.
    for (std::size_t index = s_collListeners.size(); index > 0; --index) {
        if (index > s_collListeners.size())
            continue;
        const ListenerEntry entry = s_collListeners[index - 1];
        if (matches(entry, changed))
            entry.listener->onVolumeChange(change, changed);
    }
}

std::vector<VolumeInfo> VolumeManager::volumeInfos()
{
    std::lock_guard<std::recursive_mutex> lock(volumeInfoMutex);
    return s_collVolumeInfos;
}

void VolumeManager::addListener(const ListenerEntry& entry)
{
    std::lock_guard<std::recursive_mutex> lock(listenersMutex);
    s_collListeners.push_back(entry);
}

void VolumeManager::removeListener(VolumeChangeListener* listener)
{
    std::lock_guard<std::recursive_mutex> lock(listenersMutex);
    s_collListeners.erase(std::remove_if(s_collListeners.begin(), s_collListeners.end(),
                                         [&](const ListenerEntry& entry) { return entry.listener == listener; }),
                          s_collListeners.end());
}

void VolumeManager::setSysfsRoot(const std::string& root)
{
    s_sysfsRoot = root.empty() ? kDefaultSysfsRoot : root;
}

std::string VolumeManager::sysfsRoot()
{
    return s_sysfsRoot;
}

} // namespace BAS
} // namespace CV
