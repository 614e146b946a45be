#include "platform/volumes/MountTableSource.h"

#include <mutex>

namespace platform::volumes {

namespace {

struct TablePathSetting {
    std::mutex mutex;
    std::string path = MountTable::kDefaultPath;
};

TablePathSetting& tablePathSetting()
{
    static TablePathSetting setting;
    return setting;
}

} // namespace

std::vector<MountEntry> MountTableSource::read()
{
    return MountTable::read(path());
}

std::string MountTableSource::path()
{
    TablePathSetting& setting = tablePathSetting();
    std::lock_guard<std::mutex> lock(setting.mutex);
    return setting.path;
}

void MountTableSource::setPath(const std::string& tablePath)
{
    TablePathSetting& setting = tablePathSetting();
    std::lock_guard<std::mutex> lock(setting.mutex);
    setting.path = tablePath.empty() ? std::string(MountTable::kDefaultPath) : tablePath;
}

MountTableSource::ScopedPath::ScopedPath(const std::string& tablePath)
    : m_previous(MountTableSource::path())
{
    MountTableSource::setPath(tablePath);
}

MountTableSource::ScopedPath::~ScopedPath()
{
    MountTableSource::setPath(m_previous);
}

} // namespace platform::volumes
