#include "usx2/usb/USBDescriptor.h"

#include <cstdio>

namespace CV {
namespace USX2 {
namespace USB {

namespace {
// A descriptor holds at least its two header bytes.
constexpr unsigned kMinimumLength = sizeof(DescriptorHeader);

void reportInvalidSize(const char* which, unsigned length, unsigned remaining)
{
    std::printf("invalid descriptor size: %s->bLength = %u, uRemainingSize = %u\n", which, length, remaining);
    std::fflush(stdout);
}
} // namespace

const DescriptorHeader* Descriptor::getNext(const DescriptorHeader* header, unsigned& remainingSize)
{
    if (!header)
        return nullptr;
    const unsigned length = header->bLength;
    if (length < kMinimumLength || remainingSize < length) {
        reportInvalidSize("pStart", length, remainingSize);
        return nullptr;
    }
    remainingSize -= length;
    if (remainingSize == 0)
        return nullptr;
    const auto* next =
        reinterpret_cast<const DescriptorHeader*>(reinterpret_cast<const unsigned char*>(header) + length);
    // Only the length byte of the next descriptor may lie inside the buffer.
    const unsigned nextLength = reinterpret_cast<const unsigned char*>(next)[0];
    if (nextLength < kMinimumLength || nextLength > remainingSize) {
        reportInvalidSize("pNext", nextLength, remainingSize);
        remainingSize = 0;
        return nullptr;
    }
    return next;
}

} // namespace USB
} // namespace USX2
} // namespace CV
