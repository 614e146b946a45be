#include "platform/cf/CFArray.h"

#include <algorithm>

const CFArrayCallBacks kCFTypeArrayCallBacks = {0};

namespace platform::cf {

Array::Array(bool retainsValues)
    : Object(TypeId::Array)
    , m_retainsValues(retainsValues)
{
}

Array::~Array()
{
    if (!m_retainsValues)
        return;
    for (CFTypeRef value : m_values)
        CFRelease(value);
}

void Array::append(CFTypeRef value)
{
    m_values.push_back(m_retainsValues ? CFRetain(value) : value);
}

bool Array::equals(const Object& other) const
{
    const auto& values = static_cast<const Array&>(other).m_values;
    return std::equal(m_values.begin(), m_values.end(), values.begin(), values.end(),
                      [this](CFTypeRef a, CFTypeRef b) { return m_retainsValues ? CFEqual(a, b) : a == b; });
}

std::size_t Array::hash() const
{
    return m_values.size();
}

const Array* Array::fromRef(CFTypeRef ref) noexcept
{
    return Object::fromRefOfType<Array>(ref, TypeId::Array);
}

} // namespace platform::cf

using platform::cf::Array;

CFTypeID CFArrayGetTypeID()
{
    return static_cast<CFTypeID>(platform::cf::TypeId::Array);
}

CFArrayRef CFArrayCreate(CFAllocatorRef, const void** values, CFIndex numValues, const CFArrayCallBacks* callBacks)
{
    auto* array = new Array(callBacks != nullptr);
    for (CFIndex i = 0; i < numValues; ++i)
        array->append(values[i]);
    return array;
}

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex, const CFArrayCallBacks* callBacks)
{
    return new Array(callBacks != nullptr);
}

CFIndex CFArrayGetCount(CFArrayRef theArray)
{
    return theArray ? static_cast<CFIndex>(theArray->values().size()) : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx)
{
    if (theArray == nullptr || idx < 0 || idx >= CFArrayGetCount(theArray))
        return nullptr;
    return theArray->values()[static_cast<size_t>(idx)];
}

void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value)
{
    if (theArray)
        theArray->append(value);
}

Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range, const void* value)
{
    for (CFIndex i = range.location; i < range.location + range.length; ++i)
        if (CFEqual(CFArrayGetValueAtIndex(theArray, i), value))
            return true;
    return false;
}
