#pragma once
// The base of the value types that stand in for the platform's
// CoreFoundation: reference-counted objects reached through opaque
// references (CFTypeRef and the typed references of each value type).
//
// Each value type derives from platform::cf::Object (single inheritance,
// Object first) and takes its type id from platform::cf::TypeId. A typed
// reference is a pointer to the derived class, e.g.
//   typedef const platform::cf::URL* CFURLRef;
// Create/Copy functions return one reference owned by the caller; Get
// functions do not.
#include <atomic>
#include <cstddef>
#include <cstdint>

typedef long CFIndex;
typedef unsigned long CFTypeID;
typedef unsigned long CFHashCode;
typedef unsigned long CFOptionFlags;
typedef unsigned char Boolean;
typedef const void* CFTypeRef;

struct CFRange {
    CFIndex location;
    CFIndex length;
};

inline CFRange CFRangeMake(CFIndex location, CFIndex length)
{
    return CFRange{location, length};
}

enum { kCFNotFound = -1 };

enum CFComparisonResult : CFIndex {
    kCFCompareLessThan = -1,
    kCFCompareEqualTo = 0,
    kCFCompareGreaterThan = 1
};

// Allocators are accepted for the calls' shape only; all memory comes from
// the C++ heap.
namespace platform::cf { class Allocator; }
typedef const platform::cf::Allocator* CFAllocatorRef;
extern const CFAllocatorRef kCFAllocatorDefault;

namespace platform::cf {

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
    Null
};

class Object {
public:
    explicit Object(TypeId typeId);
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    TypeId typeId() const { return m_typeId; }

    // Value equality and hash for collections; identity by default.
    virtual bool equals(const Object& other) const;
    virtual std::size_t hash() const;

    void retain() const;
    // Deletes the object when the last reference goes.
    void release() const;
    CFIndex retainCount() const;

    // The object behind a reference, or null when ref is null.
    static const Object* from(CFTypeRef ref) { return static_cast<const Object*>(ref); }
    // The typed object behind a reference when it has the given type, else null.
    template <typename T>
    static const T* as(CFTypeRef ref, TypeId typeId)
    {
        const Object* object = from(ref);
        return object && object->typeId() == typeId ? static_cast<const T*>(object) : nullptr;
    }

private:
    TypeId m_typeId;
    mutable std::atomic<CFIndex> m_retainCount{1};
};

} // namespace platform::cf

CFTypeRef CFRetain(CFTypeRef ref);
void CFRelease(CFTypeRef ref);
CFIndex CFGetRetainCount(CFTypeRef ref);
CFTypeID CFGetTypeID(CFTypeRef ref);
Boolean CFEqual(CFTypeRef a, CFTypeRef b);
CFHashCode CFHash(CFTypeRef ref);
