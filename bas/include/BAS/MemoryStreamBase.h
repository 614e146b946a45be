#pragma once
// A stream over an embedded memory storage, closed until init points it at
// a caller's block. The block stays the caller's.
#include "BAS/MemoryStorage.h"

namespace CV {
namespace BAS {

template <class StreamType> class MemoryStreamBase : public StreamType {
public:
    MemoryStreamBase() { StreamType::setStorage(&m_memoryStorage); }
    MemoryStreamBase(const MemoryStreamBase&) = delete;
    MemoryStreamBase& operator=(const MemoryStreamBase&) = delete;

    // Opens the embedded storage over the block (MemoryStorage::init).
    bool init(IStorage::eAccessMode accessMode, void* data, size_t size)
    {
        return m_memoryStorage.init(accessMode, data, size);
    }
    MemoryStorage& getMemoryStorage() { return m_memoryStorage; }

private:
    MemoryStorage m_memoryStorage;
};

} // namespace BAS
} // namespace CV
