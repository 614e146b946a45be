#pragma once
// A record pool whose packets come from the general heap as byte arrays.
#include "BAS/RegularAllocatorBase.h"

namespace CV {
namespace BAS {
namespace DETAIL {

class TURegularAllocatorWT : public RegularAllocatorBase {
public:
    constexpr TURegularAllocatorWT() = default;

    void* allocatePacket(size_t bytes) override;
    void deallocatePacket(void* packet) override;
};

} // namespace DETAIL
} // namespace BAS
} // namespace CV
