#pragma once

#include <cstdint>

namespace CV {
namespace USX2 {
namespace USB {

// The two leading bytes of every USB descriptor.
struct DescriptorHeader {
    std::uint8_t bLength;
    std::uint8_t bDescriptorType;
};
static_assert(sizeof(DescriptorHeader) == 2, "descriptor header is two bytes");

class Descriptor {
public:
    // The descriptor after `header` in a buffer of which `remainingSize` bytes
    // start at `header`, or null at the end or on a malformed length (with a
    // message on standard output). On success `remainingSize` counts the bytes
    // from the returned descriptor on, and the returned descriptor has at least
    // its two header bytes inside the buffer.
    static const DescriptorHeader* getNext(const DescriptorHeader* header, unsigned& remainingSize);
};

} // namespace USB
} // namespace USX2
} // namespace CV
