#include "BAS/NSStringRef.h"

#include "BAS/Utf16Holder.h"

#include <cstring>

namespace CV {
namespace BAS {

namespace {

NSString* newString(const char* text, std::size_t length)
{
    const auto units = utf_to_utf_chseqref<char16_t>(std::string(text, length));
    return const_cast<NSString*>(CFStringCreateWithCharacters(nullptr, units.data(), CFIndex(units.length())));
}

} // namespace

NSStringRef::~NSStringRef()
{
    if (m_string)
        CFRelease(m_string);
}

void NSStringRef::createWith(const char* text, bool emptyIfNone)
{
    assign(str2NSString(text, emptyIfNone), false);
}

void NSStringRef::createWith(const std::string& text, bool emptyIfNone)
{
    assign(str2NSString(text, emptyIfNone), false);
}

void NSStringRef::assign(NSString* string, bool retain)
{
    if (string == m_string)
        return;
    if (m_string)
        CFRelease(m_string);
    m_string = string;
    if (m_string && retain)
        CFRetain(m_string);
}

NSString* NSStringRef::str2NSString(const char* text, bool emptyIfNone)
{
    if (text == nullptr || text[0] == '\0')
        return emptyIfNone ? newString("", 0) : nullptr;
    return newString(text, std::strlen(text));
}

NSString* NSStringRef::str2NSString(const std::string& text, bool emptyIfNone)
{
    if (text.empty())
        return emptyIfNone ? newString("", 0) : nullptr;
    return newString(text.data(), text.size());
}

} // namespace BAS
} // namespace CV
