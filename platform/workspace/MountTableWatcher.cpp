#include "platform/workspace/MountTableWatcher.h"

#include <algorithm>

namespace platform {

namespace {

bool contains(const std::vector<MountEntry>& entries, const MountEntry& entry)
{
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

} // namespace

MountTableWatcher::MountTableWatcher(std::string tablePath, std::chrono::milliseconds interval, Callback callback)
    : m_path(std::move(tablePath))
    , m_callback(std::move(callback))
    , m_known(MountTable::read(m_path))
    , m_timer(MainLoop::instance().addTimer(interval, true, [this] { checkNow(); }))
{
}

MountTableWatcher::~MountTableWatcher()
{
    MainLoop::instance().cancelTimer(m_timer);
}

void MountTableWatcher::checkNow()
{
    std::vector<MountEntry> current = MountTable::read(m_path);
    const std::vector<MountEntry> previous = std::move(m_known);
    m_known = current;
    for (const MountEntry& entry : previous)
        if (!contains(current, entry))
            m_callback(Change::Unmounted, entry);
    for (const MountEntry& entry : current)
        if (!contains(previous, entry))
            m_callback(Change::Mounted, entry);
}

} // namespace platform
