#pragma once
// The pool of critical-section records and the library's own record.
#include "BAS/CriticalSectionRecord.h"
#include "BAS/RegularAllocator.h"

namespace CV {
namespace BAS {

class CriticalSection {
public:
    static constexpr size_t kRecordSize = 32;
    static constexpr size_t kFirstPacketRecords = 40;
    static constexpr size_t kPacketRecordCap = 512;

    // Starts the record pool; always true.
    static bool staticInit();
    // Gives the pool's packets back and destroys its lock.
    static void staticDeInit();

    static DA::RegularAllocator s_heap;

    CriticalSection() = delete;
};

namespace DETAIL {
// The library's critical-section record, taken from the pool by
// Authentication::init; null while there is none.
extern CriticalSectionRecord* s_critSection;
} // namespace DETAIL

} // namespace BAS
} // namespace CV
