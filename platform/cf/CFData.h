#pragma once
// Immutable byte buffers of the C interface (copied at creation).
#include "platform/cf/CFType.h"

#include <vector>

namespace platform::cf {

class Data : public Object {
public:
    explicit Data(std::vector<UInt8> bytes)
        : Object(TypeId::Data)
        , m_bytes(std::move(bytes))
    {
    }
    const std::vector<UInt8>& bytes() const noexcept { return m_bytes; }
    bool equals(const Object& other) const override { return static_cast<const Data&>(other).m_bytes == m_bytes; }

private:
    std::vector<UInt8> m_bytes;
};

} // namespace platform::cf

typedef const platform::cf::Data* CFDataRef;

CFTypeID CFDataGetTypeID();
// Null for a negative length or null bytes with a positive length.
CFDataRef CFDataCreate(CFAllocatorRef allocator, const UInt8* bytes, CFIndex length);
CFIndex CFDataGetLength(CFDataRef data);
// Null for an empty buffer.
const UInt8* CFDataGetBytePtr(CFDataRef data);
