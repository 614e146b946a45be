#pragma once
// UTF-16 text converted from UTF-8, owned by the holder and exposed as
// pointer and length in code units.
#include "BAS/Utf8.h"

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

namespace CV::BAS {

template <typename T> class Utf16Holder {
    static_assert(sizeof(T) == 2 && std::is_integral_v<T>, "UTF-16 code units");

public:
    Utf16Holder() { m_units.push_back(T(0)); }
    // units: the text without terminator.
    explicit Utf16Holder(std::vector<T> units)
        : m_units(std::move(units))
    {
        m_units.push_back(T(0));
    }

    // NUL-terminated.
    const T* data() const noexcept { return m_units.data(); }
    // In code units, without the terminator.
    std::size_t length() const noexcept { return m_units.size() - 1; }
    bool empty() const noexcept { return length() == 0; }

private:
    std::vector<T> m_units;
};

namespace details {

template <typename To, typename From, bool SkipInvalid> struct utf_to_utf_chseqref;

// UTF-8 to UTF-16; malformed UTF-8 sequences are dropped byte by byte.
template <typename To> struct utf_to_utf_chseqref<To, char, true> {
    static Utf16Holder<To> create(const std::string& text)
    {
        std::vector<To> units;
        units.reserve(text.size() + 1);
        const char* at = text.data();
        const char* end = at + text.size();
        while (at != end) {
            char32_t codePoint = 0;
            const std::size_t bytes = DETAIL::Utf8::decode(at, end, codePoint);
            if (bytes == 0) {
                ++at;
                continue;
            }
            DETAIL::Utf8::append16(units, codePoint);
            at += bytes;
        }
        return Utf16Holder<To>(std::move(units));
    }
};

} // namespace details

// The UTF-8 text as UTF-16 units of type T (char16_t or unsigned short).
template <typename T> Utf16Holder<T> utf_to_utf_chseqref(const std::string& text)
{
    return details::utf_to_utf_chseqref<T, char, true>::create(text);
}

} // namespace CV::BAS
