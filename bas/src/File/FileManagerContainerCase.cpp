#include "BAS/FileManagerContainerCase.h"

#include "BAS/FileName.h"

namespace CV {
namespace BAS {

int64_t FileManagerContainerCase::getItemSize(const FileName&)
{
    return 0;
}

bool FileManagerContainerCase::isCreated(const FileName&)
{
    return true;
}

} // namespace BAS
} // namespace CV
