#pragma once
// Decoding and encoding of single code points in UTF-8 and UTF-16. Only
// Unicode scalar values are well-formed: overlong forms, surrogates and
// values above U+10FFFF are not.
#include <cstddef>
#include <string>

namespace CV::BAS::DETAIL {

struct Utf8 {
    // Decodes the sequence at text (text < end). Returns its length in bytes
    // and sets codePoint; returns 0 when the sequence is malformed or ends
    // before end does not leave room for it.
    static std::size_t decode(const char* text, const char* end, char32_t& codePoint) noexcept;

    // As decode, but throws std::out_of_range on a malformed sequence.
    // Returns the sequence's length.
    static std::size_t decodeOrThrow(const char* text, const char* end, char32_t& codePoint);

    // Decodes the UTF-16 unit sequence at text (text < end): one unit or a
    // surrogate pair. Returns the number of units, 0 for an unpaired surrogate.
    template <typename Unit>
    static std::size_t decode16(const Unit* text, const Unit* end, char32_t& codePoint) noexcept
    {
        const char32_t first = char32_t(text[0]) & 0xFFFF;
        if (first < 0xD800 || first > 0xDFFF) {
            codePoint = first;
            return 1;
        }
        if (first >= 0xDC00 || end - text < 2)
            return 0;
        const char32_t second = char32_t(text[1]) & 0xFFFF;
        if (second < 0xDC00 || second > 0xDFFF)
            return 0;
        codePoint = 0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00);
        return 2;
    }

    // Appends the code point (a scalar value) in UTF-8.
    static void append(std::string& out, char32_t codePoint);

    // Appends the code point (a scalar value) as one or two UTF-16 units.
    template <typename Container> static void append16(Container& out, char32_t codePoint)
    {
        using Unit = typename Container::value_type;
        if (codePoint < 0x10000) {
            out.push_back(Unit(codePoint));
            return;
        }
        codePoint -= 0x10000;
        out.push_back(Unit(0xD800 + (codePoint >> 10)));
        out.push_back(Unit(0xDC00 + (codePoint & 0x3FF)));
    }
};

} // namespace CV::BAS::DETAIL
