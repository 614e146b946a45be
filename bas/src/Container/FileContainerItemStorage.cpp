#include "BAS/FileContainerItemStorage.h"

#include <limits>

namespace CV {
namespace BAS {

FileContainerItemStorage::~FileContainerItemStorage()
{
    dropContainer();
}

void FileContainerItemStorage::dropContainer()
{
    RangeLimitingStorage::close();
    m_container.reset();
    m_locked = false;
}

bool FileContainerItemStorage::open(const FileName& name, eAccessMode accessMode, eLockingMode lockingMode)
{
    dropContainer();
    std::unique_ptr<FileContainerStorage> container(new FileContainerStorage());
    container->setLockingMode(lockingMode);
    if (!container->open(name, accessMode, std::numeric_limits<int64_t>::max()))
        return false;
    const FileContainerParser* item = container->getOpenedItem();
    if (!item || item->getInfo().range.length == 0)
        return false;
    const int64_t start = item->getInfo().range.offset;
    const int64_t length = item->getInfo().range.length;
    container->seek64(start, eSeekBegin);
    if (!container->isUsable())
        return false;
    if (!RangeLimitingStorage::open(container.get(), false, start, length))
        return false;
    m_container = std::move(container);
    m_locked = lockingMode != eLockNone;
    return true;
}

} // namespace BAS
} // namespace CV
