#include "BAS/FileManagerContainerCase.h"

#include "BAS/FileContainer.h"
#include "BAS/FileContainerStorage.h"
#include "BAS/FileName.h"

#include <limits>

namespace CV {
namespace BAS {

int64_t FileManagerContainerCase::getItemSize(const FileName& name)
{
    FileContainerStorage container;
    if (!container.open(name, IStorage::eAccessRead, std::numeric_limits<int64_t>::max()))
        return 0;
    const FileContainerParser* item = container.getOpenedItem();
    return item ? item->getInfo().range.length : 0;
}

bool FileManagerContainerCase::isCreated(const FileName& name)
{
    return FileContainer::isContainerFileContent(name, name.subpath);
}

} // namespace BAS
} // namespace CV
