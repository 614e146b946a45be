#include "BAS/RegularAllocator.h"

namespace CV {
namespace BAS {
namespace DA {

namespace {

class LockHolder {
public:
    explicit LockHolder(DETAIL::CriticalSectionRecord& lock)
        : m_lock(lock)
    {
        m_lock.lock();
    }
    ~LockHolder() { m_lock.unlock(); }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

private:
    DETAIL::CriticalSectionRecord& m_lock;
};

} // namespace

void* RegularAllocator::allocate(int size)
{
    LockHolder holder(m_lock);
    return RegularAllocatorBase::allocate(static_cast<size_t>(size));
}

void RegularAllocator::deallocate(void* record)
{
    LockHolder holder(m_lock);
    RegularAllocatorBase::deallocate(record);
}

void RegularAllocator::start(size_t itemSize, size_t firstPacketSlots, size_t packetSlotCap)
{
    m_lock.createSemaphore();
    if (isConfigured())
        return;
    configure(itemSize, firstPacketSlots, packetSlotCap);
    allocNewPacket();
    setConfigured();
}

void RegularAllocator::stop()
{
    releasePackets();
    m_lock.destroySemaphore();
}

} // namespace DA
} // namespace BAS
} // namespace CV
