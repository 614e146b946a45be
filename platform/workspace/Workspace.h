#pragma once
// The shared workspace: its notification centre and the mount and unmount
// notifications posted there. Each notification has the workspace object
// as its object and the mount point under the user-info key "NSDevicePath".
// The mount table is watched from the first call of shared() on; tests
// point it at a table file of their own (volumes::MountTableSource).
#include "platform/notifications/NotificationCenter.h"
#include "platform/workspace/MountTableWatcher.h"

#include <chrono>
#include <memory>

namespace platform {

class Workspace {
public:
    static const char* const kDidMountNotification; // "NSWorkspaceDidMountNotification"
    static const char* const kDidUnmountNotification; // "NSWorkspaceDidUnmountNotification"
    static const char* const kDevicePathKey; // "NSDevicePath"
    static constexpr std::chrono::milliseconds kDefaultPollInterval{1000};

    // Created on the first call (main thread).
    static Workspace& shared();

    // The workspace object (an instance of the stand-in class "NSWorkspace").
    id object() const { return m_object; }
    NotificationCenter& notificationCenter() { return m_center; }

    // Watches the mount table anew at that pace; the table present now is
    // taken as known.
    void watchMountTable(std::chrono::milliseconds interval);
    void stopWatchingMountTable();

private:
    Workspace();
    ~Workspace();
    void onMountChange(MountTableWatcher::Change change, const MountEntry& entry);

    id m_object;
    NotificationCenter m_center;
    std::unique_ptr<MountTableWatcher> m_watcher;
};

} // namespace platform
