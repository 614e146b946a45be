#include "platform/cf/CFDictionary.h"

#include <algorithm>

const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks = {0};
const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks = {0};

namespace platform::cf {

Dictionary::Dictionary()
    : Object(TypeId::Dictionary)
{
}

Dictionary::~Dictionary()
{
    for (const Entry& entry : m_entries) {
        CFRelease(entry.first);
        CFRelease(entry.second);
    }
}

CFTypeRef Dictionary::find(CFTypeRef key) const
{
    for (const Entry& entry : m_entries)
        if (CFEqual(entry.first, key))
            return entry.second;
    return nullptr;
}

void Dictionary::set(CFTypeRef key, CFTypeRef value)
{
    if (key == nullptr || value == nullptr)
        return;
    CFRetain(value);
    for (Entry& entry : m_entries)
        if (CFEqual(entry.first, key)) {
            CFRelease(entry.second);
            entry.second = value;
            return;
        }
    m_entries.emplace_back(CFRetain(key), value);
}

void Dictionary::remove(CFTypeRef key)
{
    auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return CFEqual(e.first, key); });
    if (it == m_entries.end())
        return;
    const Entry removed = *it;
    m_entries.erase(it);
    CFRelease(removed.first);
    CFRelease(removed.second);
}

bool Dictionary::equals(const Object& other) const
{
    const auto& dictionary = static_cast<const Dictionary&>(other);
    if (dictionary.m_entries.size() != m_entries.size())
        return false;
    return std::all_of(m_entries.begin(), m_entries.end(),
                       [&](const Entry& e) { return CFEqual(dictionary.find(e.first), e.second); });
}

std::size_t Dictionary::hash() const
{
    return m_entries.size();
}

const Dictionary* Dictionary::fromRef(CFTypeRef ref) noexcept
{
    return Object::fromRefOfType<Dictionary>(ref, TypeId::Dictionary);
}

} // namespace platform::cf

using platform::cf::Dictionary;

CFTypeID CFDictionaryGetTypeID()
{
    return static_cast<CFTypeID>(platform::cf::TypeId::Dictionary);
}

CFDictionaryRef CFDictionaryCreate(CFAllocatorRef, const void** keys, const void** values, CFIndex numValues,
                                   const CFDictionaryKeyCallBacks*, const CFDictionaryValueCallBacks*)
{
    auto* dictionary = new Dictionary();
    for (CFIndex i = 0; i < numValues; ++i)
        dictionary->set(keys[i], values[i]);
    return dictionary;
}

CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef, CFIndex, const CFDictionaryKeyCallBacks*,
                                                 const CFDictionaryValueCallBacks*)
{
    return new Dictionary();
}

CFIndex CFDictionaryGetCount(CFDictionaryRef theDict)
{
    return theDict ? static_cast<CFIndex>(theDict->entries().size()) : 0;
}

const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key)
{
    return theDict ? theDict->find(key) : nullptr;
}

Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void* key, const void** value)
{
    const void* found = CFDictionaryGetValue(theDict, key);
    if (found && value)
        *value = found;
    return found != nullptr;
}

Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void* key)
{
    return CFDictionaryGetValue(theDict, key) != nullptr;
}

void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key, const void* value)
{
    if (theDict)
        theDict->set(key, value);
}

void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void* key)
{
    if (theDict)
        theDict->remove(key);
}
