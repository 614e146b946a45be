// Fuzz target: arbitrary bytes read as an XML property list, as any folder
// the user picks may hold one. The reader must return a value or null,
// never recurse without bound, leak or touch memory it does not own; what it
// returns is walked and released.
#include "platform/cf/CFArray.h"
#include "platform/cf/CFBoolean.h"
#include "platform/cf/CFDictionary.h"
#include "platform/cf/CFNumber.h"
#include "platform/cf/CFString.h"
#include "platform/cf/PropertyList.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Visits every value without recursion (the list may nest up to the limit).
void walk(CFTypeRef root)
{
    std::vector<CFTypeRef> pending{root};
    while (!pending.empty()) {
        CFTypeRef value = pending.back();
        pending.pop_back();
        if (const auto* array = platform::cf::Array::fromRef(value)) {
            pending.insert(pending.end(), array->values().begin(), array->values().end());
        } else if (const auto* dictionary = platform::cf::Dictionary::fromRef(value)) {
            for (const auto& entry : dictionary->entries()) {
                pending.push_back(entry.first);
                pending.push_back(entry.second);
            }
        } else if (CFGetTypeID(value) == CFStringGetTypeID()) {
            (void)CFStringGetLength(static_cast<CFStringRef>(value));
        }
        (void)CFHash(value);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CFTypeRef list = platform::cf::PropertyList::parseXML(text);
    if (list) {
        walk(list);
        CFEqual(list, list);
        CFRelease(list);
    }
    return 0;
}
