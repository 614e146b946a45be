#include "platform/cf/CFType.h"

#include <functional>

namespace platform::cf {

bool Object::equals(const Object& other) const
{
    return this == &other;
}

std::size_t Object::hash() const
{
    return std::hash<const void*>()(this);
}

void Object::retain() const noexcept
{
    m_retainCount.fetch_add(1, std::memory_order_relaxed);
}

bool Object::release() const noexcept
{
    return m_retainCount.fetch_sub(1, std::memory_order_acq_rel) == 1;
}

long Object::retainCount() const noexcept
{
    return m_retainCount.load(std::memory_order_relaxed);
}

const Object* Object::fromRef(CFTypeRef ref) noexcept
{
    return static_cast<const Object*>(ref);
}

} // namespace platform::cf

using platform::cf::Object;

CFTypeRef CFRetain(CFTypeRef object)
{
    if (const auto* o = Object::fromRef(object))
        o->retain();
    return object;
}

void CFRelease(CFTypeRef object)
{
    const auto* o = Object::fromRef(object);
    if (o && o->release())
        delete o;
}

CFIndex CFGetRetainCount(CFTypeRef object)
{
    const auto* o = Object::fromRef(object);
    return o ? o->retainCount() : 0;
}

CFTypeID CFGetTypeID(CFTypeRef object)
{
    const auto* o = Object::fromRef(object);
    return o ? static_cast<CFTypeID>(o->typeId()) : 0;
}

Boolean CFEqual(CFTypeRef a, CFTypeRef b)
{
    if (a == b)
        return a != nullptr;
    const auto* x = Object::fromRef(a);
    const auto* y = Object::fromRef(b);
    return x && y && x->typeId() == y->typeId() && x->equals(*y);
}

CFHashCode CFHash(CFTypeRef object)
{
    const auto* o = Object::fromRef(object);
    return o ? o->hash() : 0;
}
