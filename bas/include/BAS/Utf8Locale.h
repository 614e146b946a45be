#pragma once
// The process-wide locale of the case-insensitive text functions.
#include <initializer_list>
#include <locale>

namespace CV::BAS::DETAIL {

class Utf8Locale {
public:
    // The first of the named locales that exists on this system; the classic
    // locale when none does.
    explicit Utf8Locale(std::initializer_list<const char*> names);

    const std::locale& locale() const noexcept { return m_locale; }
    // Whether a named UTF-8 locale was found (else upper-casing uses the C
    // library's towupper).
    bool isNamed() const noexcept { return m_ctype != nullptr; }

    char32_t toUpper(char32_t codePoint) const;

private:
    std::locale m_locale;
    const std::ctype<wchar_t>* m_ctype = nullptr;
};

// "en_US.UTF-8", else "C.UTF-8", else the classic locale. Made on first use.
const Utf8Locale& getUtf8LocaleObject();
const std::locale& getUtf8Locale();

// The upper case of a code point in the locale above.
char32_t toUpperCodePoint(char32_t codePoint);

} // namespace CV::BAS::DETAIL
