#include "platform/cf/CFType.h"

#include <functional>
#include <vector>

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

namespace {

// While CFRelease destroys an object on this thread, the objects whose last
// reference goes meanwhile (the contents of a collection) wait here and are
// destroyed one after the other by that outermost release: however deeply
// collections nest, destroying them never recurses. A plain pointer, so that
// releases during the program's exit find no destroyed list.
thread_local std::vector<const Object*>* t_pendingDestruction = nullptr;

} // namespace

CFTypeRef CFRetain(CFTypeRef object)
{
    if (const auto* o = Object::fromRef(object))
        o->retain();
    return object;
}

void CFRelease(CFTypeRef object)
{
    const auto* o = Object::fromRef(object);
    if (!o || !o->release())
        return;
    if (t_pendingDestruction) {
        t_pendingDestruction->push_back(o);
        return;
    }
    std::vector<const Object*> pending;
    t_pendingDestruction = &pending;
    delete o;
    while (!pending.empty()) {
        const Object* next = pending.back();
        pending.pop_back();
        delete next;
    }
    t_pendingDestruction = nullptr;
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
