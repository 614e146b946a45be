#include "BAS/RangeLimitingStorage.h"

#include <cstdint>

namespace CV {
namespace BAS {

RangeLimitingStorage::~RangeLimitingStorage()
{
    if (m_ownsInner)
        delete m_inner;
}

bool RangeLimitingStorage::open(IStorage* inner, bool ownsInner, int64_t start, int64_t length)
{
    close();
    m_inner = inner;
    m_ownsInner = ownsInner;
    if (inner == nullptr || !inner->isUsable() || start < 0 || length < 0) {
        close();
        return false;
    }
    m_start = start;
    m_length = length;
    inner->seek64(start, eSeekBegin);
    if (!inner->isUsable() || inner->getPos64() != start) {
        close();
        return false;
    }
    m_accessMode = inner->getAccessMode();
    m_status = eStatusOk;
    return true;
}

void RangeLimitingStorage::close()
{
    if (m_ownsInner)
        delete m_inner;
    m_inner = nullptr;
    m_ownsInner = false;
    m_start = 0;
    m_length = 0;
    m_accessMode = eAccessNone;
    m_status = eStatusClosed;
}

size_t RangeLimitingStorage::clipToWindow(size_t count) const
{
    if (m_length == 0)
        return count;
    const int64_t position = m_inner->getPos64();
    const int64_t end = m_start + m_length;
    if (position < m_start || position > end)
        return 0;
    const uint64_t left = static_cast<uint64_t>(end - position);
    return left < count ? static_cast<size_t>(left) : count;
}

void RangeLimitingStorage::noteTransfer(size_t asked, size_t done)
{
    if (done < asked)
        m_status = eStatusError;
    else if (m_length != 0 && m_inner->getPos64() == m_start + m_length)
        m_status = eStatusEnd;
    else
        m_status = m_inner->getStatus() == eStatusEnd ? eStatusEnd : eStatusOk;
}

size_t RangeLimitingStorage::read(void* buffer, size_t count)
{
    if (!isUsable() || m_inner == nullptr)
        return 0;
    const size_t allowed = clipToWindow(count);
    const size_t done = allowed > 0 ? m_inner->read(buffer, allowed) : 0;
    noteTransfer(count, done);
    return done;
}

size_t RangeLimitingStorage::write(const void* data, size_t count)
{
    if (!isUsable() || m_inner == nullptr)
        return 0;
    const size_t allowed = clipToWindow(count);
    const size_t done = allowed > 0 ? m_inner->write(data, allowed) : 0;
    noteTransfer(count, done);
    return done;
}

int64_t RangeLimitingStorage::getPos64() const
{
    if (m_inner == nullptr)
        return -1;
    const int64_t position = m_inner->getPos64();
    if (position < m_start || (m_length != 0 && position > m_start + m_length))
        return -1;
    return position - m_start;
}

bool RangeLimitingStorage::seekEndOfUnboundedWindow(int64_t distance)
{
    // Inner storages differ in the sign of an offset from their end, but an
    // offset of 0 means the end in all of them.
    const int64_t before = m_inner->getPos64();
    m_inner->seek64(0, eSeekEnd);
    if (!m_inner->isUsable())
        return true;
    const int64_t target = m_inner->getPos64() - distance;
    if (target < m_start) {
        m_inner->seek64(before, eSeekBegin);
        m_status = eStatusError;
        return false;
    }
    m_inner->seek64(target, eSeekBegin);
    return true;
}

void RangeLimitingStorage::seek64(int64_t offset, eSeekMode origin)
{
    if (m_inner == nullptr)
        return;
    if ((offset < 0 && origin != eSeekCurrent) || offset > INT64_MAX - m_start) {
        m_status = eStatusError;
        return;
    }
    switch (origin) {
    case eSeekBegin: m_inner->seek64(m_start + offset, eSeekBegin); break;
    case eSeekCurrent: m_inner->seek64(offset, eSeekCurrent); break;
    case eSeekEnd:
        if (m_length != 0) {
            if (offset > m_length) {
                m_status = eStatusError;
                return;
            }
            m_inner->seek64(m_start + m_length - offset, eSeekBegin);
        } else if (!seekEndOfUnboundedWindow(offset)) {
            return;
        }
        break;
    default: break;
    }
    takeStatusAfterSeek();
}

void RangeLimitingStorage::takeStatusAfterSeek()
{
    const int32_t inner = m_inner->getStatus();
    if (inner == eStatusClosed || inner == eStatusError) {
        m_status = inner;
        return;
    }
    const int64_t position = m_inner->getPos64();
    const int64_t end = m_start + m_length;
    if (position < m_start || (m_length != 0 && position > end))
        m_status = eStatusError;
    else if (m_length != 0 && position == end)
        m_status = eStatusEnd;
    else if (m_length == 0 && inner == eStatusEnd)
        m_status = eStatusEnd;
    else
        m_status = eStatusOk;
}

} // namespace BAS
} // namespace CV
