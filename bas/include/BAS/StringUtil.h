#pragma once
// Text helpers over UTF-8 std::string: comparison and search that ignore case
// per code point, ASCII filtering and UTF conversions.
//
// The code-point walkers (wstrcmpc, findPosOfSubStringNoCase,
// countMatchingCharacters) throw std::out_of_range on malformed UTF-8; the
// conversions never throw on bad input and drop malformed sequences.
#include <cstddef>
#include <string>

namespace CV::BAS {

// Compares two NUL-terminated texts code point by code point: -1, 0 or 1.
// A text that is a prefix of the other sorts first.
template <typename CharT> int wstrcmpc(const CharT* a, const CharT* b, bool caseSensitive);

template <> int wstrcmpc<char>(const char* a, const char* b, bool caseSensitive);

class StringUtil {
public:
    // Byte offset of the first case-insensitive occurrence of pattern at or
    // after startByte; npos when there is none or startByte is at or beyond
    // the end of text. An empty pattern is found at startByte.
    static std::size_t findPosOfSubStringNoCase(const std::string& text, const std::string& pattern,
                                                std::size_t startByte);

    // Number of bytes of text, from startByte on, whose code points match the
    // start of pattern. 0 when startByte is at or beyond the end of text.
    static std::size_t countMatchingCharacters(const std::string& text, const std::string& pattern,
                                               std::size_t startByte, bool caseSensitive);

    // A copy when every byte is 1..127, else the empty text.
    static std::string toAscii(const std::string& text);

    // Appends c when it is 1..127; ignores other values.
    static void appendCharASCII(std::string& text, char c);

    // Erases the first n bytes (all of them when n reaches the length).
    static void removeFirst(std::string& text, std::size_t n);

    // UTF-16 to UTF-8; unpaired surrogates are dropped.
    template <typename CharT> static std::string fromUTF(const CharT* text, std::size_t count);

    // The whole text as UTF-8 with every malformed sequence dropped: UTF-16
    // input is converted, UTF-8 input is filtered.
    template <typename CharT> static std::string fromUTF_filter(const std::basic_string<CharT>& text);
};

template <> std::string StringUtil::fromUTF<char16_t>(const char16_t* text, std::size_t count);
template <> std::string StringUtil::fromUTF<char>(const char* text, std::size_t count);
template <> std::string StringUtil::fromUTF_filter<char16_t>(const std::u16string& text);
template <> std::string StringUtil::fromUTF_filter<char>(const std::string& text);

} // namespace CV::BAS
