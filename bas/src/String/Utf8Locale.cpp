#include "BAS/Utf8Locale.h"

#include <cwctype>
#include <stdexcept>

namespace CV::BAS::DETAIL {

Utf8Locale::Utf8Locale(std::initializer_list<const char*> names)
    : m_locale(std::locale::classic())
{
    for (const char* name : names) {
        try {
            m_locale = std::locale(name);
            m_ctype = &std::use_facet<std::ctype<wchar_t>>(m_locale);
            return;
        } catch (const std::runtime_error&) {
            // Not installed here: try the next one.
        }
    }
}

char32_t Utf8Locale::toUpper(char32_t codePoint) const
{
    static_assert(sizeof(wchar_t) == sizeof(char32_t), "wchar_t must hold any code point");
    if (m_ctype)
        return char32_t(m_ctype->toupper(wchar_t(codePoint)));
    return char32_t(std::towupper(wint_t(codePoint)));
}

const Utf8Locale& getUtf8LocaleObject()
{
    // Never destroyed, so that exit-time destructors may still compare text.
    static const Utf8Locale* const locale = new Utf8Locale{"en_US.UTF-8", "C.UTF-8"};
    return *locale;
}

const std::locale& getUtf8Locale()
{
    return getUtf8LocaleObject().locale();
}

char32_t toUpperCodePoint(char32_t codePoint)
{
    return getUtf8LocaleObject().toUpper(codePoint);
}

} // namespace CV::BAS::DETAIL
