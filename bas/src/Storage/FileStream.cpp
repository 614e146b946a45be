#include "BAS/FileStream.h"

namespace CV {
namespace BAS {

bool FileStream::open(const FileName& name, IStorage::eAccessMode accessMode, IStorage::eLockingMode lockingMode)
{
    if (name.mode == FileName::eFile && !name.subpath.empty()) {
        setStorage(&m_itemStorage);
        return m_itemStorage.open(name, accessMode, lockingMode);
    }
    setStorage(&getFileStorage());
    return getFileStorage().open(name, accessMode, lockingMode);
}

} // namespace BAS
} // namespace CV
