#pragma once
// Reference-counted objects behind the C-style string, URL and collection
// calls of the platform layer. Every object made by a CF...Create or
// CF...Copy call starts with a retain count of 1 (owned by the caller) and
// is destroyed by the CFRelease that takes the count to 0; CF...Get calls
// hand out references they do not transfer.
//
// Each value type derives from platform::cf::Object (single inheritance,
// Object first), passes its TypeId to the constructor and, when its values
// can be equal without being the same object, overrides equals and hash
// (collections compare keys with CFEqual). A typed reference is a pointer to
// the derived class, e.g. typedef const platform::cf::URL* CFURLRef.
#include <atomic>
#include <cstddef>
#include <cstdint>

typedef const void* CFTypeRef;
typedef long CFIndex;
typedef unsigned long CFTypeID;
typedef unsigned long CFHashCode;
typedef unsigned long CFOptionFlags;
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

enum : CFIndex { kCFNotFound = -1 };

enum CFComparisonResult : CFIndex { kCFCompareLessThan = -1, kCFCompareEqualTo = 0, kCFCompareGreaterThan = 1 };

namespace platform::cf {

class Allocator;

// The type ids that CFGetTypeID reports (and CF...GetTypeID return).
enum class TypeId : CFTypeID {
    Invalid = 0,
    String,
    URL,
    Bundle,
    Number,
    Boolean,
    Array,
    Dictionary,
    Locale,
    Data,
    InputSource,
    KeyLayoutData,
    RunLoopTimer,
    Pasteboard
};

// Base of every object a CF...Ref points to.
class Object {
public:
    Object() = default;
    constexpr explicit Object(TypeId typeId) noexcept
        : m_typeId(typeId)
    {
    }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() = default;

    TypeId typeId() const noexcept { return m_typeId; }

    // Value equality for CFEqual (only called for objects of the same type
    // id) and the matching hash; identity by default.
    virtual bool equals(const Object& other) const;
    virtual std::size_t hash() const;

    void retain() const noexcept;
    // Returns true when this was the last reference (the caller deletes).
    bool release() const noexcept;
    long retainCount() const noexcept;

    static const Object* fromRef(CFTypeRef ref) noexcept;
    // The object behind ref when it has the type id, else null.
    template <typename T> static const T* fromRefOfType(CFTypeRef ref, TypeId typeId) noexcept
    {
        const Object* object = fromRef(ref);
        return object && object->m_typeId == typeId ? static_cast<const T*>(object) : nullptr;
    }

private:
    TypeId m_typeId = TypeId::Invalid;
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
// 0 for a null reference.
CFTypeID CFGetTypeID(CFTypeRef object);
// Same object, or same type id and equal values; false when one is null.
Boolean CFEqual(CFTypeRef a, CFTypeRef b);
CFHashCode CFHash(CFTypeRef object);
