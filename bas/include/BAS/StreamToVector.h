#pragma once
// The whole content of a stream's storage as bytes.
#include "BAS/IStorage.h"
#include "BAS/Stream.h"

#include <boost/optional.hpp>

#include <cstdint>
#include <vector>

namespace CV {
namespace BAS {

// Empty when the stream has no storage, the size is unknown or fewer bytes
// than the size could be read.
template <class Byte> boost::optional<std::vector<Byte>> toStdVectorRaw(Stream& stream)
{
    IStorage* storage = stream.getStorage();
    if (storage == nullptr)
        return boost::none;
    storage->seek64(0, IStorage::eSeekEnd);
    const int64_t size = storage->getPos64();
    if (size < 0)
        return boost::none;
    std::vector<Byte> bytes(static_cast<size_t>(size));
    storage->seek64(0, IStorage::eSeekBegin);
    if (size > 0 && storage->read(bytes.data(), bytes.size()) < bytes.size())
        return boost::none;
    return bytes;
}

} // namespace BAS
} // namespace CV
