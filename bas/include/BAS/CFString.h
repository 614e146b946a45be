#pragma once
// Short-lived owner of a platform string made from UTF-8 text, for calls
// into the platform's string interface.
#include "BAS/CharSequence.h"
#include "platform/cf/CFString.h"

namespace CV::BAS {

class CFString {
public:
    // Converts the text's bytes (its length, not up to a NUL) to UTF-16,
    // dropping malformed sequences. The flag has no effect.
    explicit CFString(const CharSequence<char>& text, bool unused = false);
    ~CFString();

    CFString(const CFString&) = delete;
    CFString& operator=(const CFString&) = delete;

    CFStringRef get() const noexcept { return m_string; }
    operator CFStringRef() const noexcept { return m_string; }

private:
    CFStringRef m_string = nullptr;
};

} // namespace CV::BAS
