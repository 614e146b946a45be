#include "BAS/TURegularAllocatorWT.h"

namespace CV {
namespace BAS {
namespace DETAIL {

void* TURegularAllocatorWT::allocatePacket(size_t bytes)
{
    return new char[bytes];
}

void TURegularAllocatorWT::deallocatePacket(void* packet)
{
    delete[] static_cast<char*>(packet);
}

} // namespace DETAIL
} // namespace BAS
} // namespace CV
