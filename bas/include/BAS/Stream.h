#pragma once
// Typed reads and writes in a chosen byte order over a storage the stream
// does not own. Typed operations do not report short transfers: callers test
// the storage's status afterwards (the value of a short typed read is not
// defined). Without a storage, reads give 0 and writes do nothing.
#include "BAS/Endian.h"
#include "BAS/IStorage.h"

#include <cstddef>
#include <cstdint>

namespace CV {
namespace BAS {

class Stream {
public:
    explicit Stream(IStorage* storage = nullptr, Endian::eByteOrder byteOrder = Endian::eLittleEndian);
    virtual ~Stream() = default;

    void setStorage(IStorage* storage) { m_storage = storage; }
    IStorage* getStorage() const { return m_storage; }
    // Little-endian leaves values as stored; any other order swaps them.
    void setByteOrder(Endian::eByteOrder byteOrder) { m_byteOrder = byteOrder; }
    Endian::eByteOrder getByteOrder() const { return m_byteOrder; }

    int8_t readS8();
    uint8_t readU8();
    // True when the byte is not 0.
    bool readBoolean();
    uint16_t readU16();
    uint32_t readU32();
    int32_t readS32();
    // The storage's read: the count of bytes it delivered.
    size_t readRaw(void* buffer, size_t count);

    // Writes 1 or 0.
    void writeBoolean(bool value);
    void writeU32(uint32_t value);
    void writeS32(int32_t value);

private:
    uint64_t readOrdered(size_t size);
    void writeOrdered(uint64_t value, size_t size);
    bool isLittleEndian() const { return m_byteOrder == Endian::eLittleEndian; }

    IStorage* m_storage;
    Endian::eByteOrder m_byteOrder;
};

} // namespace BAS
} // namespace CV
