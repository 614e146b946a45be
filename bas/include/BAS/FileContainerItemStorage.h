#pragma once
// One item of a container file as a storage: opens the container for a
// name with a container subpath and limits itself to the item's bytes
// (positions 0 to the item's length). Owns the container it opened.
#include "BAS/FileContainerStorage.h"
#include "BAS/FileName.h"
#include "BAS/RangeLimitingStorage.h"

#include <memory>

namespace CV {
namespace BAS {

class FileContainerItemStorage : public RangeLimitingStorage {
public:
    FileContainerItemStorage() = default;
    ~FileContainerItemStorage() override;

    // False (owning no container) when the container cannot be opened, the
    // subpath names no item or an empty one.
    bool open(const FileName& name, eAccessMode accessMode, eLockingMode lockingMode);

    FileContainerStorage* getContainer() const { return m_container.get(); }
    bool isLocked() const { return m_locked; }

private:
    void dropContainer();

    std::unique_ptr<FileContainerStorage> m_container;
    bool m_locked = false;
};

} // namespace BAS
} // namespace CV
