#include "BAS/CriticalSectionRecord.h"

namespace CV {
namespace BAS {
namespace DETAIL {

namespace {

const pthread_t kNoOwner = pthread_t();

} // namespace

void CriticalSectionRecord::createSemaphore()
{
    m_semaphore.create(0);
    m_owner.store(kNoOwner, std::memory_order_relaxed);
    m_uRecursion = 0;
    m_iLockCount.store(0, std::memory_order_release);
    m_bSemaphoreCreated = true;
}

void CriticalSectionRecord::destroySemaphore()
{
    if (!m_bSemaphoreCreated)
        return;
    m_semaphore.destroy();
    m_bSemaphoreCreated = false;
}

bool CriticalSectionRecord::isHeldByCallingThread() const
{
    return pthread_equal(m_owner.load(std::memory_order_relaxed), pthread_self()) != 0;
}

void CriticalSectionRecord::lock()
{
    const pthread_t self = pthread_self();
    if (pthread_equal(m_owner.load(std::memory_order_relaxed), self)) {
        ++m_uRecursion;
        return;
    }
    if (m_iLockCount.fetch_add(1, std::memory_order_acq_rel) > 0)
        m_semaphore.wait();
    m_owner.store(self, std::memory_order_relaxed);
    m_uRecursion = 1;
}

void CriticalSectionRecord::unlock()
{
    if (m_uRecursion >= 2) {
        --m_uRecursion;
        return;
    }
    m_owner.store(kNoOwner, std::memory_order_relaxed);
    m_uRecursion = 0;
    if (m_iLockCount.fetch_sub(1, std::memory_order_acq_rel) >= 2)
        m_semaphore.signal();
}

} // namespace DETAIL
} // namespace BAS
} // namespace CV
