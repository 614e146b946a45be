#include "BAS/MemoryStorage.h"

#include <cstring>

namespace CV {
namespace BAS {

bool MemoryStorage::init(eAccessMode accessMode, void* data, size_t size)
{
    m_accessMode = accessMode;
    m_data = static_cast<unsigned char*>(data);
    m_size = data ? size : 0;
    m_position = 0;
    m_status = eStatusOk;
    return true;
}

size_t MemoryStorage::clipToBlock(size_t count)
{
    const size_t left = m_size - m_position;
    if (count > left) {
        m_status = eStatusError;
        return left;
    }
    return count;
}

void MemoryStorage::noteEndReached()
{
    if (m_position == m_size && m_status != eStatusClosed && m_status != eStatusError)
        m_status = eStatusEnd;
}

size_t MemoryStorage::read(void* buffer, size_t count)
{
    if (!isUsable())
        return 0;
    count = clipToBlock(count);
    if (count > 0)
        std::memcpy(buffer, m_data + m_position, count);
    m_position += count;
    noteEndReached();
    return count;
}

size_t MemoryStorage::write(const void* data, size_t count)
{
    if (!isUsable())
        return 0;
    if (m_accessMode == eAccessRead) {
        m_status = eStatusError;
        return 0;
    }
    count = clipToBlock(count);
    if (count > 0)
        std::memcpy(m_data + m_position, data, count);
    m_position += count;
    noteEndReached();
    return count;
}

int64_t MemoryStorage::getPos64() const
{
    return isOpen() ? static_cast<int64_t>(m_position) : -1;
}

void MemoryStorage::seek64(int64_t offset, eSeekMode origin)
{
    // A storage that was never opened has no block to move in.
    if (m_status == eStatusClosed || (origin == eSeekCurrent && !isUsable()))
        return;
    const int64_t size = static_cast<int64_t>(m_size);
    int64_t target = static_cast<int64_t>(m_position);
    switch (origin) {
    case eSeekBegin: target = offset; break;
    case eSeekCurrent: target = offset > size ? size + 1 : target + offset; break;
    case eSeekEnd: target = offset > 0 ? size + 1 : size + offset; break;
    default: break;
    }
    if (target < 0 || target > size) {
        m_status = eStatusError;
        return;
    }
    m_position = static_cast<size_t>(target);
    m_status = target == size ? eStatusEnd : eStatusOk;
}

} // namespace BAS
} // namespace CV
