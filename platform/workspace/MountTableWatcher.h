#pragma once
// Watches the mount table by looking at it on the main loop and reports
// each file system that appeared or disappeared since the last look
// (unmounts first, then mounts, each in table order). The table present
// when the watcher starts is taken as known, not reported. The table is the
// one the volumes are made from (volumes::MountTableSource), kept once for
// both: a look reads it only when it changed, and a test that points the
// source at a table file of its own points the watcher there too.
#include "platform/runloop/MainLoop.h"
#include "platform/workspace/MountTableCache.h"

#include <chrono>
#include <functional>
#include <vector>

namespace platform {

class MountTableWatcher {
public:
    enum class Change { Mounted, Unmounted };
    using Callback = std::function<void(Change, const MountEntry&)>;

    MountTableWatcher(std::chrono::milliseconds interval, Callback callback);
    ~MountTableWatcher();
    MountTableWatcher(const MountTableWatcher&) = delete;
    MountTableWatcher& operator=(const MountTableWatcher&) = delete;

    // Looks at the table now and reports the changes (main thread).
    void checkNow();
    const std::vector<MountEntry>& known() const { return *m_known; }

private:
    Callback m_callback;
    MountTableCache::Entries m_known;
    MainLoop::TimerId m_timer;
};

} // namespace platform
