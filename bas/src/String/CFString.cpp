#include "BAS/CFString.h"

#include "BAS/Utf16Holder.h"

namespace CV::BAS {

CFString::CFString(const CharSequence<char>& text, bool)
{
    const auto units = utf_to_utf_chseqref<char16_t>(text.str());
    m_string = CFStringCreateWithCharacters(kCFAllocatorDefault, units.data(), CFIndex(units.length()));
}

CFString::~CFString()
{
    if (m_string)
        CFRelease(m_string);
}

} // namespace CV::BAS
