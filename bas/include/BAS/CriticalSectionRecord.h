#pragma once
// The light recursive lock of the core library: a counter of the threads that
// hold or want the lock, and a semaphore that is touched only when they
// collide. The owner may lock again without blocking.
//
// The record is plain data of 32 bytes so that it can live in a slot of a
// record pool (see DA::RegularAllocator): it is usable after createSemaphore()
// on zeroed or uninitialised memory, without a constructor call.
#include <atomic>
#include <cstdint>
#include <pthread.h>

#include "platform/thread/FutexSemaphore.h"

namespace CV {
namespace BAS {
namespace DETAIL {

class CriticalSectionRecord {
public:
    CriticalSectionRecord() = default;
    CriticalSectionRecord(const CriticalSectionRecord&) = delete;
    CriticalSectionRecord& operator=(const CriticalSectionRecord&) = delete;

    // Creates the semaphore (value 0) and clears owner, recursion and count.
    void createSemaphore();
    // Destroys the semaphore when it exists.
    void destroySemaphore();
    bool isSemaphoreCreated() const { return m_bSemaphoreCreated; }

    void lock();
    void unlock();

    bool isHeldByCallingThread() const;
    uint32_t recursion() const { return m_uRecursion; }
    int32_t lockCount() const { return m_iLockCount.load(std::memory_order_relaxed); }

private:
    platform::FutexSemaphore m_semaphore;
    std::atomic<pthread_t> m_owner;
    uint32_t m_uRecursion;
    std::atomic<int32_t> m_iLockCount;
    bool m_bSemaphoreCreated;
};

static_assert(sizeof(CriticalSectionRecord) <= 32, "a critical-section record must fit a 32-byte pool slot");

} // namespace DETAIL
} // namespace BAS
} // namespace CV
