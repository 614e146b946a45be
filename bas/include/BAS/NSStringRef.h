#pragma once
// Owner of one native string made from UTF-8 text (window titles, menu
// entries, dialog texts). Holds one reference, released on replacement and
// on destruction.
#include "platform/cf/NSString.h"

#include <string>

namespace CV {
namespace BAS {

class NSStringRef {
public:
    NSStringRef() = default;
    ~NSStringRef();
    NSStringRef(const NSStringRef&) = delete;
    NSStringRef& operator=(const NSStringRef&) = delete;

    // Replaces the held string by str2NSString(text, emptyIfNone).
    void createWith(const char* text, bool emptyIfNone);
    void createWith(const std::string& text, bool emptyIfNone);
    // Holds string (retained when asked) in place of the held one; the
    // string already held is kept as it is.
    void assign(NSString* string, bool retain);

    NSString* get() const { return m_string; }
    operator NSString*() const { return m_string; }

    // A new string (one reference for the caller) of the UTF-8 text,
    // malformed sequences dropped. A null or empty text gives a new empty
    // string when emptyIfNone is set, else nil.
    static NSString* str2NSString(const char* text, bool emptyIfNone);
    static NSString* str2NSString(const std::string& text, bool emptyIfNone);

private:
    NSString* m_string = nullptr;
};

} // namespace BAS
} // namespace CV
