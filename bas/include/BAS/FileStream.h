#pragma once
// A stream over a file, little-endian until told otherwise. Besides the
// file storage it embeds an item storage for names that address an item
// inside a container file (a name with a container subpath); open() picks
// the one the name needs. Destroying it destroys the item storage first
// (with the container it opened), then closes the file.
#include "BAS/FileContainerItemStorage.h"
#include "BAS/FileName.h"
#include "BAS/FileStreamBase.h"
#include "BAS/Stream.h"

namespace CV {
namespace BAS {

class FileStream : public FileStreamBase<Stream> {
public:
    FileStream() = default;

    // Opens the item a file name with a subpath addresses through the item
    // storage, any other name through the file storage, and points the
    // stream at the storage it opened.
    bool open(const FileName& name, IStorage::eAccessMode accessMode, IStorage::eLockingMode lockingMode);

    FileContainerItemStorage& getItemStorage() { return m_itemStorage; }

private:
    FileContainerItemStorage m_itemStorage;
};

} // namespace BAS
} // namespace CV
