#include "BAS/Stream.h"

namespace CV {
namespace BAS {

Stream::Stream(IStorage* storage, Endian::eByteOrder byteOrder)
    : m_storage(storage)
    , m_byteOrder(byteOrder)
{
}

size_t Stream::readRaw(void* buffer, size_t count)
{
    return m_storage ? m_storage->read(buffer, count) : 0;
}

uint64_t Stream::readOrdered(size_t size)
{
    unsigned char bytes[8] = {};
    readRaw(bytes, size);
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) {
        const size_t significance = isLittleEndian() ? i : size - 1 - i;
        value |= static_cast<uint64_t>(bytes[i]) << (8 * significance);
    }
    return value;
}

void Stream::writeOrdered(uint64_t value, size_t size)
{
    unsigned char bytes[8];
    for (size_t i = 0; i < size; ++i) {
        const size_t significance = isLittleEndian() ? i : size - 1 - i;
        bytes[i] = static_cast<unsigned char>(value >> (8 * significance));
    }
    if (m_storage)
        m_storage->write(bytes, size);
}

int8_t Stream::readS8()
{
    return static_cast<int8_t>(readOrdered(1));
}

uint8_t Stream::readU8()
{
    return static_cast<uint8_t>(readOrdered(1));
}

bool Stream::readBoolean()
{
    return readOrdered(1) != 0;
}

uint16_t Stream::readU16()
{
    return static_cast<uint16_t>(readOrdered(2));
}

uint32_t Stream::readU32()
{
    return static_cast<uint32_t>(readOrdered(4));
}

int32_t Stream::readS32()
{
    return static_cast<int32_t>(readU32());
}

void Stream::writeBoolean(bool value)
{
    writeOrdered(value ? 1 : 0, 1);
}

void Stream::writeU32(uint32_t value)
{
    writeOrdered(value, 4);
}

void Stream::writeS32(int32_t value)
{
    writeOrdered(static_cast<uint32_t>(value), 4);
}

} // namespace BAS
} // namespace CV
