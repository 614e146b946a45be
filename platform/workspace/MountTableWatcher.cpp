#include "platform/workspace/MountTableWatcher.h"

#include "platform/volumes/MountTableSource.h"

#include <algorithm>
#include <utility>

namespace platform {

namespace {

bool contains(const std::vector<MountEntry>& entries, const MountEntry& entry)
{
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

} // namespace

MountTableWatcher::MountTableWatcher(std::chrono::milliseconds interval, Callback callback)
    : m_callback(std::move(callback))
    , m_known(volumes::MountTableSource::entries())
    , m_timer(MainLoop::instance().addTimer(interval, true, [this] { checkNow(); }))
{
}

MountTableWatcher::~MountTableWatcher()
{
    MainLoop::instance().cancelTimer(m_timer);
}

void MountTableWatcher::checkNow()
{
    const MountTableCache::Entries current = volumes::MountTableSource::entries();
    if (current == m_known)
        return;
    const MountTableCache::Entries previous = std::exchange(m_known, current);
    for (const MountEntry& entry : *previous)
        if (!contains(*current, entry))
            m_callback(Change::Unmounted, entry);
    for (const MountEntry& entry : *current)
        if (!contains(*previous, entry))
            m_callback(Change::Mounted, entry);
}

} // namespace platform
