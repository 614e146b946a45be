#pragma once
// Key-value collections; keys are compared with CFEqual. The dictionary
// retains keys and values. Entries keep the order in which they were added.
#include "platform/cf/CFType.h"

#include <utility>
#include <vector>

// Accepted for the calls' shape: dictionaries always retain keys and values.
struct CFDictionaryKeyCallBacks {
    CFIndex version;
};
struct CFDictionaryValueCallBacks {
    CFIndex version;
};
extern const CFDictionaryKeyCallBacks kCFTypeDictionaryKeyCallBacks;
extern const CFDictionaryValueCallBacks kCFTypeDictionaryValueCallBacks;

namespace platform::cf {

class Dictionary : public Object {
public:
    using Entry = std::pair<CFTypeRef, CFTypeRef>;

    Dictionary();
    ~Dictionary() override;

    const std::vector<Entry>& entries() const noexcept { return m_entries; }
    // The value for key, or null.
    CFTypeRef find(CFTypeRef key) const;
    void set(CFTypeRef key, CFTypeRef value);
    void remove(CFTypeRef key);

    bool equals(const Object& other) const override;
    std::size_t hash() const override;

    static const Dictionary* fromRef(CFTypeRef ref) noexcept;

private:
    std::vector<Entry> m_entries;
};

} // namespace platform::cf

typedef const platform::cf::Dictionary* CFDictionaryRef;
typedef platform::cf::Dictionary* CFMutableDictionaryRef;

CFTypeID CFDictionaryGetTypeID();
CFDictionaryRef CFDictionaryCreate(CFAllocatorRef alloc, const void** keys, const void** values, CFIndex numValues,
                                   const CFDictionaryKeyCallBacks* keyCallBacks,
                                   const CFDictionaryValueCallBacks* valueCallBacks);
CFMutableDictionaryRef CFDictionaryCreateMutable(CFAllocatorRef alloc, CFIndex capacity,
                                                 const CFDictionaryKeyCallBacks* keyCallBacks,
                                                 const CFDictionaryValueCallBacks* valueCallBacks);
// 0 for null.
CFIndex CFDictionaryGetCount(CFDictionaryRef theDict);
// Null when the dictionary is null or has no such key.
const void* CFDictionaryGetValue(CFDictionaryRef theDict, const void* key);
Boolean CFDictionaryGetValueIfPresent(CFDictionaryRef theDict, const void* key, const void** value);
Boolean CFDictionaryContainsKey(CFDictionaryRef theDict, const void* key);
// Adds or replaces.
void CFDictionarySetValue(CFMutableDictionaryRef theDict, const void* key, const void* value);
void CFDictionaryRemoveValue(CFMutableDictionaryRef theDict, const void* key);
