#pragma once
#include "BAS/TURegularAllocatorWT.h"

namespace CV {
namespace BAS {
namespace DETAIL {

class TURegularAllocator : public TURegularAllocatorWT {
public:
    constexpr TURegularAllocator() = default;
};

} // namespace DETAIL
} // namespace BAS
} // namespace CV
