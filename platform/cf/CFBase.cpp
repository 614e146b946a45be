#include "platform/cf/CFBase.h"

#include <cstdio>
#include <cstdlib>
#include <functional>

const CFAllocatorRef kCFAllocatorDefault = nullptr;

namespace platform::cf {

Object::Object(TypeId typeId)
    : m_typeId(typeId)
{
}

Object::~Object() = default;

bool Object::equals(const Object& other) const
{
    return this == &other;
}

std::size_t Object::hash() const
{
    return std::hash<const void*>()(this);
}

void Object::retain() const
{
    m_retainCount.fetch_add(1, std::memory_order_relaxed);
}

void Object::release() const
{
    const CFIndex before = m_retainCount.fetch_sub(1, std::memory_order_acq_rel);
    if (before == 1)
        delete this;
    else if (before < 1) {
        std::fprintf(stderr, "CFRelease of an object that was already freed (%p)\n", static_cast<const void*>(this));
        std::abort();
    }
}

CFIndex Object::retainCount() const
{
    return m_retainCount.load(std::memory_order_relaxed);
}

} // namespace platform::cf

using platform::cf::Object;

CFTypeRef CFRetain(CFTypeRef ref)
{
    if (ref == nullptr) {
        std::fprintf(stderr, "CFRetain(NULL)\n");
        std::abort();
    }
    Object::from(ref)->retain();
    return ref;
}

void CFRelease(CFTypeRef ref)
{
    if (ref == nullptr) {
        std::fprintf(stderr, "CFRelease(NULL)\n");
        std::abort();
    }
    Object::from(ref)->release();
}

CFIndex CFGetRetainCount(CFTypeRef ref)
{
    return ref ? Object::from(ref)->retainCount() : 0;
}

CFTypeID CFGetTypeID(CFTypeRef ref)
{
    return ref ? static_cast<CFTypeID>(Object::from(ref)->typeId()) : 0;
}

Boolean CFEqual(CFTypeRef a, CFTypeRef b)
{
    if (a == b)
        return true;
    if (a == nullptr || b == nullptr)
        return false;
    const Object* x = Object::from(a);
    const Object* y = Object::from(b);
    return x->typeId() == y->typeId() && x->equals(*y);
}

CFHashCode CFHash(CFTypeRef ref)
{
    return ref ? Object::from(ref)->hash() : 0;
}
