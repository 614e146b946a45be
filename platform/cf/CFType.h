#pragma once
// Reference-counted objects behind the C-style string, URL and collection
// calls of the platform layer. Every object made by a CF...Create call starts
// with a retain count of 1 and is destroyed by the CFRelease that takes the
// count to 0.
#include <atomic>
#include <cstdint>

typedef const void* CFTypeRef;
typedef long CFIndex;
typedef unsigned char Boolean;
typedef uint8_t UInt8;

struct CFRange {
    CFIndex location;
    CFIndex length;
};

inline CFRange CFRangeMake(CFIndex location, CFIndex length)
{
    return CFRange{location, length};
}

namespace platform::cf {

class Allocator;

// Base of every object a CF...Ref points to.
class Object {
public:
    Object() = default;
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    void retain() const noexcept;
    // Returns true when this was the last reference (the caller deletes).
    bool release() const noexcept;
    long retainCount() const noexcept;

    static const Object* fromRef(CFTypeRef ref) noexcept;

private:
    mutable std::atomic<long> m_retainCount{1};
};

} // namespace platform::cf

// Allocators are accepted for the calls' shape only; memory always comes from
// the C++ heap.
typedef const platform::cf::Allocator* CFAllocatorRef;
constexpr CFAllocatorRef kCFAllocatorDefault = nullptr;

// Both return / do nothing for a null reference.
CFTypeRef CFRetain(CFTypeRef object);
void CFRelease(CFTypeRef object);
// 0 for a null reference.
CFIndex CFGetRetainCount(CFTypeRef object);
