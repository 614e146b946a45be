#include "platform/volumes/MountTableSource.h"

#include <memory>
#include <mutex>

namespace platform::volumes {

namespace {

struct SharedTable {
    std::mutex mutex;
    std::unique_ptr<MountTableCache> table = std::make_unique<MountTableCache>(MountTable::kDefaultPath);
    std::uint64_t readsOfEarlierTables = 0;
};

SharedTable& sharedTable()
{
    static SharedTable shared;
    return shared;
}

} // namespace

MountTableCache::Entries MountTableSource::entries()
{
    SharedTable& shared = sharedTable();
    std::lock_guard<std::mutex> lock(shared.mutex);
    return shared.table->entries();
}

std::uint64_t MountTableSource::readCount()
{
    SharedTable& shared = sharedTable();
    std::lock_guard<std::mutex> lock(shared.mutex);
    return shared.readsOfEarlierTables + shared.table->readCount();
}

std::string MountTableSource::path()
{
    SharedTable& shared = sharedTable();
    std::lock_guard<std::mutex> lock(shared.mutex);
    return shared.table->path();
}

void MountTableSource::setPath(const std::string& tablePath)
{
    auto table =
        std::make_unique<MountTableCache>(tablePath.empty() ? std::string(MountTable::kDefaultPath) : tablePath);
    SharedTable& shared = sharedTable();
    std::lock_guard<std::mutex> lock(shared.mutex);
    shared.readsOfEarlierTables += shared.table->readCount();
    shared.table.swap(table);
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
