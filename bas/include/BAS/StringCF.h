#pragma once
// Short-lived UTF-8 copy of a platform string.
#include "platform/cf/CFString.h"

#include <string>

namespace CV::BAS {

class StringCF {
public:
    // A null string gives the empty text; unpaired surrogates are dropped.
    explicit StringCF(CFStringRef string);

    StringCF(const StringCF&) = delete;
    StringCF& operator=(const StringCF&) = delete;

    const std::string& str() const noexcept { return m_text; }
    operator const std::string&() const noexcept { return m_text; }
    const char* c_str() const noexcept { return m_text.c_str(); }

private:
    std::string m_text;
};

} // namespace CV::BAS
