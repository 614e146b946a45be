#include "BAS/Authentication.h"

#include "BAS/CriticalSection.h"

#include <unistd.h>

#include <new>

namespace CV {
namespace BAS {

bool Authentication::s_bProcessElevated = false;
void* Authentication::s_pInterface = nullptr;
bool Authentication::s_bInited = false;

namespace {

void createLibraryCriticalSection()
{
    void* slot = CriticalSection::s_heap.allocate(static_cast<int>(CriticalSection::kRecordSize));
    DETAIL::s_critSection = new (slot) DETAIL::CriticalSectionRecord();
    DETAIL::s_critSection->createSemaphore();
}

void destroyLibraryCriticalSection()
{
    DETAIL::CriticalSectionRecord* record = DETAIL::s_critSection;
    record->destroySemaphore();
    record->~CriticalSectionRecord();
    CriticalSection::s_heap.deallocate(record);
    DETAIL::s_critSection = nullptr;
}

} // namespace

bool Authentication::init()
{
    s_bProcessElevated = ::geteuid() == 0 && ::getuid() == 0;
    if (s_bInited)
        return false;
    s_bInited = true;
    if (DETAIL::s_critSection == nullptr)
        createLibraryCriticalSection();
    return true;
}

void Authentication::deInit()
{
    if (!s_bInited)
        return;
    s_pInterface = nullptr;
    if (DETAIL::s_critSection != nullptr)
        destroyLibraryCriticalSection();
    s_bInited = false;
}

} // namespace BAS
} // namespace CV
