#include "platform/cf/CFType.h"

namespace platform::cf {

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

CFTypeRef CFRetain(CFTypeRef object)
{
    if (const auto* o = platform::cf::Object::fromRef(object))
        o->retain();
    return object;
}

void CFRelease(CFTypeRef object)
{
    const auto* o = platform::cf::Object::fromRef(object);
    if (o && o->release())
        delete o;
}

CFIndex CFGetRetainCount(CFTypeRef object)
{
    const auto* o = platform::cf::Object::fromRef(object);
    return o ? o->retainCount() : 0;
}
