#include "BAS/CriticalSection.h"

namespace CV {
namespace BAS {

DA::RegularAllocator CriticalSection::s_heap;

namespace DETAIL {
CriticalSectionRecord* s_critSection = nullptr;
} // namespace DETAIL

static_assert(sizeof(DETAIL::CriticalSectionRecord) <= CriticalSection::kRecordSize,
              "a critical-section record fits its slot");

bool CriticalSection::staticInit()
{
    s_heap.start(kRecordSize, kFirstPacketRecords, kPacketRecordCap);
    return true;
}

void CriticalSection::staticDeInit()
{
    s_heap.stop();
}

} // namespace BAS
} // namespace CV
