#pragma once
// A process-wide pool of equal-sized records that any thread may use. Each
// allocation and release holds the pool's light recursive lock, so the
// thread that holds it may re-enter (free or allocate from inside).
//
// The pool's owner starts it before the first record is requested and stops
// it after the last one was freed; start and stop take no lock.
#include "BAS/CriticalSectionRecord.h"
#include "BAS/TURegularAllocator.h"

namespace CV {
namespace BAS {
namespace DA {

class RegularAllocator : public DETAIL::TURegularAllocator {
public:
    constexpr RegularAllocator() = default;
    // Frees nothing: the owner's stop gives the packets back.
    ~RegularAllocator() override = default;

    // Locked allocation of one record; the size is ignored (every slot has
    // the configured size). Throws std::bad_alloc when no packet can be had.
    void* allocate(int size);
    // Locked release; null is ignored.
    void deallocate(void* record);

    // Start function of a pool of `itemSize`-byte records: creates the lock's
    // semaphore and, unless configured, sets the sizes and requests the first
    // packet (a missing first packet is made by the first allocation).
    void start(size_t itemSize, size_t firstPacketSlots, size_t packetSlotCap);
    // Stop function: gives the packets back (see releasePackets) and destroys
    // the semaphore.
    void stop();

    DETAIL::CriticalSectionRecord& lockRecord() { return m_lock; }

private:
    DETAIL::CriticalSectionRecord m_lock{};
};

} // namespace DA
} // namespace BAS
} // namespace CV
