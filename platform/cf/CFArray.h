#pragma once
// Ordered collections of references; the array retains what it holds.
#include "platform/cf/CFType.h"

#include <vector>

// Accepted for the calls' shape: arrays always retain their values and
// compare them with CFEqual.
struct CFArrayCallBacks {
    CFIndex version;
};
extern const CFArrayCallBacks kCFTypeArrayCallBacks;

namespace platform::cf {

// With retainsValues false (an array made without callbacks) the values are
// plain pointers: neither retained nor released, compared by address.
class Array : public Object {
public:
    explicit Array(bool retainsValues = true);
    ~Array() override;

    const std::vector<CFTypeRef>& values() const noexcept { return m_values; }
    void append(CFTypeRef value);

    bool equals(const Object& other) const override;
    std::size_t hash() const override;

    static const Array* fromRef(CFTypeRef ref) noexcept;

private:
    std::vector<CFTypeRef> m_values;
    bool m_retainsValues;
};

} // namespace platform::cf

typedef const platform::cf::Array* CFArrayRef;
typedef platform::cf::Array* CFMutableArrayRef;

CFTypeID CFArrayGetTypeID();
CFArrayRef CFArrayCreate(CFAllocatorRef alloc, const void** values, CFIndex numValues,
                         const CFArrayCallBacks* callBacks);
CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef alloc, CFIndex capacity, const CFArrayCallBacks* callBacks);
// 0 for null.
CFIndex CFArrayGetCount(CFArrayRef theArray);
// Null for null or an index out of range.
const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx);
void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value);
Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range, const void* value);
