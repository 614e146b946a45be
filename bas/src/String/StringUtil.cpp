#include "BAS/StringUtil.h"

#include "BAS/Utf8.h"
#include "BAS/Utf8Locale.h"

#include <cstring>

namespace CV::BAS {

using DETAIL::Utf8;

namespace {

bool sameCodePoint(char32_t a, char32_t b, bool caseSensitive)
{
    if (a == b)
        return true;
    return !caseSensitive && DETAIL::toUpperCodePoint(a) == DETAIL::toUpperCodePoint(b);
}

// Whether pattern matches text at position at, case-insensitively. Sets
// textEnded when text ran out before the pattern did.
bool matchesAt(const char* at, const char* textEnd, const char* pattern, const char* patternEnd, bool& textEnded)
{
    textEnded = false;
    while (pattern < patternEnd) {
        if (at == textEnd) {
            textEnded = true;
            return false;
        }
        char32_t t = 0;
        char32_t p = 0;
        at += Utf8::decodeOrThrow(at, textEnd, t);
        pattern += Utf8::decodeOrThrow(pattern, patternEnd, p);
        if (!sameCodePoint(t, p, false))
            return false;
    }
    return true;
}

} // namespace

template <> int wstrcmpc<char>(const char* a, const char* b, bool caseSensitive)
{
    const char* aEnd = a + std::strlen(a);
    const char* bEnd = b + std::strlen(b);
    for (;;) {
        char32_t ca = 0;
        char32_t cb = 0;
        if (a != aEnd)
            a += Utf8::decodeOrThrow(a, aEnd, ca);
        if (b != bEnd)
            b += Utf8::decodeOrThrow(b, bEnd, cb);
        if (ca == 0 || cb == 0) {
            if (ca == cb)
                return 0;
            return ca == 0 ? -1 : 1;
        }
        if (ca == cb)
            continue;
        if (caseSensitive)
            return ca < cb ? -1 : 1;
        const char32_t ua = DETAIL::toUpperCodePoint(ca);
        const char32_t ub = DETAIL::toUpperCodePoint(cb);
        if (ua != ub)
            return ua < ub ? -1 : 1;
    }
}

std::size_t StringUtil::findPosOfSubStringNoCase(const std::string& text, const std::string& pattern,
                                                 std::size_t startByte)
{
    if (startByte >= text.size())
        return std::string::npos;
    if (pattern.empty())
        return startByte;
    const char* begin = text.data();
    const char* end = begin + text.size();
    const char* patternEnd = pattern.data() + pattern.size();
    for (const char* start = begin + startByte; start != end;) {
        bool textEnded = false;
        if (matchesAt(start, end, pattern.data(), patternEnd, textEnded))
            return std::size_t(start - begin);
        if (textEnded)
            return std::string::npos;
        char32_t skipped = 0;
        start += Utf8::decodeOrThrow(start, end, skipped);
    }
    return std::string::npos;
}

std::size_t StringUtil::countMatchingCharacters(const std::string& text, const std::string& pattern,
                                                std::size_t startByte, bool caseSensitive)
{
    if (startByte >= text.size())
        return 0;
    const char* start = text.data() + startByte;
    const char* end = text.data() + text.size();
    const char* p = pattern.data();
    const char* patternEnd = p + pattern.size();
    const char* at = start;
    while (at != end && p != patternEnd) {
        char32_t t = 0;
        char32_t c = 0;
        const std::size_t textLength = Utf8::decodeOrThrow(at, end, t);
        p += Utf8::decodeOrThrow(p, patternEnd, c);
        if (!sameCodePoint(t, c, caseSensitive))
            break;
        at += textLength;
    }
    return std::size_t(at - start);
}

std::string StringUtil::toAscii(const std::string& text)
{
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == 0 || byte >= 0x80)
            return std::string();
    }
    return text;
}

void StringUtil::appendCharASCII(std::string& text, char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 1 && byte <= 127)
        text.push_back(c);
}

void StringUtil::removeFirst(std::string& text, std::size_t n)
{
    text.erase(0, n);
}

template <> std::string StringUtil::fromUTF<char16_t>(const char16_t* text, std::size_t count)
{
    std::string out;
    out.reserve(count);
    const char16_t* end = text + count;
    while (text != end) {
        char32_t codePoint = 0;
        const std::size_t units = Utf8::decode16(text, end, codePoint);
        if (units == 0) {
            ++text; // unpaired surrogate
            continue;
        }
        Utf8::append(out, codePoint);
        text += units;
    }
    return out;
}

template <> std::string StringUtil::fromUTF<char>(const char* text, std::size_t count)
{
    std::string out;
    out.reserve(count);
    const char* end = text + count;
    while (text != end) {
        char32_t codePoint = 0;
        const std::size_t bytes = Utf8::decode(text, end, codePoint);
        if (bytes == 0) {
            // Drop one byte: a continuation byte never starts a well-formed
            // sequence, so a broken sequence goes byte by byte and the
            // character after it survives.
            ++text;
            continue;
        }
        out.append(text, bytes);
        text += bytes;
    }
    return out;
}

template <> std::string StringUtil::fromUTF_filter<char16_t>(const std::u16string& text)
{
    return fromUTF<char16_t>(text.data(), text.size());
}

template <> std::string StringUtil::fromUTF_filter<char>(const std::string& text)
{
    return fromUTF<char>(text.data(), text.size());
}

} // namespace CV::BAS
