#include "BAS/StringCropper.h"

#include "BAS/FileName.h"
#include "BAS/StringUtil.h"
#include "BAS/SystemFolder.h"
#include "BAS/Utf8.h"

#include <boost/tokenizer.hpp>
#include <fmt/format.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <vector>

namespace CV {
namespace BAS {

using DETAIL::Utf8;

std::map<std::string, std::string> StringCropper::s_mapSymbolicFolders;
bool StringCropper::s_bSymbolicFoldersInitialized = false;

namespace {

// Slack of the path strategy: a candidate this close to the width is wide
// enough.
constexpr int kPathSlack = 10;

// The system folders that get aliases, in the order they are added: domain
// and folder type.
struct SymbolicFolder {
    short domain;
    unsigned folderType;
};
constexpr short kOnAppropriateDisk = -32767;
constexpr short kLocalDomain = -32765;
constexpr short kUserDomain = -32763;
const SymbolicFolder s_symbolicFolders[] = {
    {kOnAppropriateDisk, 0x61707073}, // 'apps' applications
    {kLocalDomain, 0x61737570}, // 'asup' application support
    {kOnAppropriateDisk, 0x73646174}, // 'sdat' shared user data
    {kOnAppropriateDisk, 0x63757372}, // 'cusr' the user's home
    {kUserDomain, 0x646F6373}, // 'docs' documents
    {kUserDomain, 0xB5646F63}, // 0xB5 'doc' music
    {kUserDomain, 0x70646F63}, // 'pdoc' pictures
};

const char* const s_DoubleVocals[] = {"ei", "ie", "ou", "ue"};
const char s_Vocals[] = {'e', 'a', 'i', 'o', 'u'};

// Length in bytes of the code point at pos (pos < text.size()); throws
// std::out_of_range when it is malformed.
std::size_t codePointLength(const std::string& text, std::size_t pos)
{
    char32_t codePoint = 0;
    return Utf8::decodeOrThrow(text.data() + pos, text.data() + text.size(), codePoint);
}

// Start of the code point before pos (pos > 0).
std::size_t previousCodePoint(const std::string& text, std::size_t pos)
{
    std::size_t start = pos - 1;
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80)
        --start;
    if (start + codePointLength(text, start) != pos)
        throw std::out_of_range("malformed UTF-8 before a cut");
    return start;
}

std::size_t countCodePoints(const std::string& text, std::size_t begin, std::size_t end)
{
    std::size_t count = 0;
    for (std::size_t pos = begin; pos < end; pos += codePointLength(text, pos))
        ++count;
    return count;
}

// Byte offset of the code point with the given index (text.size() past the
// last one).
std::size_t offsetOfCodePoint(const std::string& text, std::size_t index)
{
    std::size_t pos = 0;
    for (; index > 0 && pos < text.size(); --index)
        pos += codePointLength(text, pos);
    return pos;
}

// A callback's byte count, kept inside the text.
std::size_t prefixLength(const StringCropper::PrefixBytes& prefixBytes, const std::string& text, int width)
{
    const int bytes = prefixBytes(text.c_str(), width);
    return std::min(static_cast<std::size_t>(std::max(bytes, 0)), text.size());
}

class Measure {
public:
    Measure(const StringCropper::WidthOf& widthOf, int width)
        : m_widthOf(widthOf)
        , m_width(width)
    {
    }
    int of(const std::string& text) const { return m_widthOf(text.c_str()); }
    bool fits(const std::string& text) const { return of(text) <= m_width; }
    int width() const { return m_width; }

private:
    const StringCropper::WidthOf& m_widthOf;
    int m_width;
};

bool isAsciiAlphanumeric(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool hasDigit(const std::string& word)
{
    return std::any_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void removeSpaces(std::string& text)
{
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
}

void keepAsciiAlphanumerics(std::string& text)
{
    text.erase(std::remove_if(text.begin(), text.end(), [](char c) { return !isAsciiAlphanumeric(c); }), text.end());
}

void collapseRepeatedBytes(std::string& text)
{
    text.erase(std::unique(text.begin(), text.end()), text.end());
}

// Removes every c except one at position 0.
void removeAfterFirst(std::string& text, char c)
{
    if (text.size() > 1)
        text.erase(std::remove(text.begin() + 1, text.end(), c), text.end());
}

void removeVowelsAfterFirst(std::string& word)
{
    for (char vowel : s_Vocals)
        removeAfterFirst(word, vowel);
}

// Erases the first occurrence of pair at a position of 1 or more until
// there is none.
void removePairAfterFirst(std::string& text, const char* pair)
{
    for (std::size_t pos = text.find(pair, 1); pos != std::string::npos; pos = text.find(pair, 1))
        text.erase(pos, 2);
}

std::vector<std::string> splitWords(const std::string& text)
{
    const boost::char_separator<char> separator(" ");
    const boost::tokenizer<boost::char_separator<char>> tokens(text, separator);
    return std::vector<std::string>(tokens.begin(), tokens.end());
}

std::string joinWords(const std::vector<std::string>& words)
{
    std::string joined;
    for (const auto& word : words)
        joined += word;
    return joined;
}

void capitaliseFirst(std::string& word)
{
    if (!word.empty())
        word[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(word[0])));
}

void cutWordsWithoutDigits(std::vector<std::string>& words, std::size_t length)
{
    for (auto& word : words) {
        if (word.size() > length && !hasDigit(word))
            word.resize(length);
    }
}

std::string plainPrefix(const std::string& text, const StringCropper::PrefixBytes& prefixBytes, int width)
{
    return text.substr(0, prefixLength(prefixBytes, text, width));
}

bool isComponentPrefix(const std::string& text, const std::string& key)
{
    return !key.empty() && text.compare(0, key.size(), key) == 0 &&
        (text.size() == key.size() || text[key.size()] == ':');
}

// The mode-11 state: head + ellipsis + tail, shortened one code point at a
// time. Counts are code points.
class BalancedCut {
public:
    BalancedCut(std::string head, std::string ellipsis, std::string tail)
        : m_head(std::move(head))
        , m_ellipsis(std::move(ellipsis))
        , m_tail(std::move(tail))
        , m_headCount(countCodePoints(m_head, 0, m_head.size()))
        , m_ellipsisCount(countCodePoints(m_ellipsis, 0, m_ellipsis.size()))
        , m_tailCount(countCodePoints(m_tail, 0, m_tail.size()))
    {
    }

    bool empty() const { return m_headCount + m_tailCount + m_ellipsisCount == 0; }
    std::string joined() const { return m_head + m_ellipsis + m_tail; }

    // The ellipsis goes first while little text is left, else the longer
    // side (the head when both are equal, or while the tail is short).
    void removeOne()
    {
        const std::size_t textCount = m_headCount + m_tailCount;
        const std::size_t n = m_ellipsisCount;
        if ((n >= 3 && textCount < 8) || (n >= 2 && textCount < 4) || (n >= 1 && textCount <= 2)) {
            m_ellipsis.erase(previousCodePoint(m_ellipsis, m_ellipsis.size()));
            --m_ellipsisCount;
        } else if (m_headCount >= m_tailCount || (m_tailCount <= 4 && m_headCount > 0)) {
            m_head.erase(previousCodePoint(m_head, m_head.size()));
            --m_headCount;
        } else {
            m_tail.erase(0, codePointLength(m_tail, 0));
            --m_tailCount;
        }
    }

    std::string trimmed() const
    {
        std::string head = m_head;
        head.erase(head.find_last_not_of(' ') + 1);
        std::string tail = m_tail;
        tail.erase(0, std::min(tail.find_first_not_of(' '), tail.size()));
        return head + m_ellipsis + tail;
    }

private:
    std::string m_head;
    std::string m_ellipsis;
    std::string m_tail;
    std::size_t m_headCount;
    std::size_t m_ellipsisCount;
    std::size_t m_tailCount;
};

} // namespace

bool StringCropper::AbbreviationCompare::operator()(const std::string& a, const std::string& b) const
{
    if (a.size() != b.size())
        return a.size() > b.size();
    return a < b;
}

std::string StringCropper::cropString(const CharSequence<char>& text, int width, const WidthOf& widthOf,
                                      const PrefixBytes& prefixBytes) const
{
    switch (mode) {
    case 1: return cropStringAppend(text, widthOf, prefixBytes, width);
    case 2: return cropStringPrepend(text, widthOf, prefixBytes, width);
    case 3:
    case 4:
    case 5:
    case 6: return cropStringFileName(text, widthOf, prefixBytes, width);
    case 7: return cropStringShrink(text, widthOf, prefixBytes, width);
    case 8: return cropStringShrink2(text, widthOf, prefixBytes, width);
    case 9: return cropStringShrink3(text, widthOf, prefixBytes, width);
    case 10: return cropStringMiddle(text, widthOf, prefixBytes, width);
    case 11: return cropStringMiddle2(text, widthOf, prefixBytes, width);
    default: return text.str();
    }
}

std::string StringCropper::cropStringAppend(const CharSequence<char>& text, const WidthOf& widthOf,
                                            const PrefixBytes& prefixBytes, int width) const
{
    const Measure measure(widthOf, width);
    const std::string whole = text.str();
    if (measure.fits(whole))
        return whole;

    const int ellipsisWidth = measure.of(ellipsis);
    const int usedEllipsisWidth = ellipsisWidth > width ? 0 : ellipsisWidth;
    std::size_t cut = prefixLength(prefixBytes, whole, width - usedEllipsisWidth);
    if (usedEllipsisWidth == 0)
        return whole.substr(0, cut);

    if (cut > 0 && !measure.fits(whole.substr(0, cut) + ellipsis)) {
        do
            cut = previousCodePoint(whole, cut);
        while (cut > 0 && !measure.fits(whole.substr(0, cut) + ellipsis));
        return whole.substr(0, cut) + ellipsis;
    }
    while (cut < whole.size()) {
        const std::size_t next = cut + codePointLength(whole, cut);
        if (!measure.fits(whole.substr(0, next) + ellipsis))
            break;
        cut = next;
    }
    return whole.substr(0, cut) + ellipsis;
}

std::string StringCropper::cropStringPrepend(const CharSequence<char>& text, const WidthOf& widthOf,
                                             const PrefixBytes& prefixBytes, int width) const
{
    const Measure measure(widthOf, width);
    const std::string whole = text.str();
    const int wholeWidth = measure.of(whole);
    if (wholeWidth <= width)
        return whole;

    const int ellipsisWidth = measure.of(ellipsis);
    const int usedEllipsisWidth = ellipsisWidth > width ? 0 : ellipsisWidth;
    const std::string lead = usedEllipsisWidth == 0 ? std::string() : ellipsis;
    const int excess = std::max(0, wholeWidth - width - usedEllipsisWidth);
    std::size_t start = prefixLength(prefixBytes, whole, excess);
    // Without an ellipsis the estimate may still leave too much: the loop
    // moves on until the suffix fits as well.
    while (start < whole.size() && !measure.fits(lead + whole.substr(start)))
        start += codePointLength(whole, start);
    return lead + whole.substr(start);
}

void StringCropper::initFileNameAliasMap()
{
    if (s_bSymbolicFoldersInitialized)
        return;
    for (const SymbolicFolder& folder : s_symbolicFolders) {
        FileName name;
        if (getSystemFolder(folder.domain, folder.folderType, name, false))
            addAlias(name);
    }
    s_bSymbolicFoldersInitialized = true;
}

void StringCropper::addAlias(const FileName& folder)
{
    std::string key = folder.volume + folder.directory;
    if (!key.empty() && key.back() == ':')
        key.pop_back();
    const std::size_t lastColon = key.rfind(':');
    if (lastColon == std::string::npos)
        return;
    s_mapSymbolicFolders[key] = fmt::format("[{}]", key.substr(lastColon + 1));
}

std::string StringCropper::replaceFolderByAlias(const std::string& path) const
{
    initFileNameAliasMap();
    // The longest folder holding the path: the Documents folder wins over
    // the home folder around it.
    const std::pair<const std::string, std::string>* best = nullptr;
    for (const auto& entry : s_mapSymbolicFolders) {
        if (isComponentPrefix(path, entry.first) && (!best || entry.first.size() > best->first.size()))
            best = &entry;
    }
    if (!best)
        return path;
    return best->second + path.substr(best->first.size());
}

std::string StringCropper::cropStringFileName(const CharSequence<char>& text, const WidthOf& widthOf,
                                              const PrefixBytes& prefixBytes, int width) const
{
    const Measure measure(widthOf, width);
    std::string path = text.str();
    if (mode == 4 || mode == 6)
        path = replaceFolderByAlias(path);
    if ((mode == 5 || mode == 6) && !path.empty() && path.back() == ':')
        path.pop_back();

    if (measure.fits(path))
        return path;
    const auto cropEnd = [&] { return cropStringPrepend(path, widthOf, prefixBytes, width); };
    if (measure.of(ellipsis) > width)
        return cropEnd();

    std::size_t first = path.find(':');
    std::size_t last = path.rfind(':');
    if (first == last)
        return cropEnd();
    if (last == path.size() - 1) {
        last = path.rfind(':', last - 1);
        if (last == first)
            return cropEnd();
    }

    const auto candidateFor = [&](std::size_t left, std::size_t right) {
        return path.substr(0, left + 1) + ellipsis + path.substr(right);
    };
    const auto wideEnough = [&](const std::string& candidate) { return measure.of(candidate) >= width - kPathSlack; };

    std::string candidate = candidateFor(first, last);
    if (!measure.fits(candidate))
        return cropEnd();
    if (wideEnough(candidate))
        return candidate;

    for (bool rightSide = true;; rightSide = !rightSide) {
        if (rightSide)
            last = path.rfind(':', last - 1);
        else
            first = path.find(':', first + 1);
        if (first == last)
            return candidate;
        std::string next = candidateFor(first, last);
        if (!measure.fits(next))
            return candidate;
        if (wideEnough(next))
            return next;
        candidate = std::move(next);
    }
}

std::string StringCropper::cropStringShrink(const CharSequence<char>& text, const WidthOf& widthOf,
                                            const PrefixBytes& prefixBytes, int width) const
{
    if (width < 1)
        return std::string();
    const Measure measure(widthOf, width);
    std::string s = text.str();
    if (measure.fits(s))
        return s;

    removeSpaces(s);
    if (measure.fits(s))
        return s;
    keepAsciiAlphanumerics(s);
    if (measure.fits(s))
        return s;
    collapseRepeatedBytes(s);
    if (measure.fits(s))
        return s;
    for (const char* pair : s_DoubleVocals) {
        if (s.empty())
            break;
        removePairAfterFirst(s, pair);
        if (measure.fits(s))
            return s;
    }
    for (char vowel : s_Vocals) {
        if (s.empty())
            break;
        removeAfterFirst(s, vowel);
        if (measure.fits(s))
            return s;
    }
    return plainPrefix(s, prefixBytes, width);
}

std::string StringCropper::cropStringShrink2(const CharSequence<char>& text, const WidthOf& widthOf,
                                             const PrefixBytes& prefixBytes, int width) const
{
    const Measure measure(widthOf, std::max(width, 0));
    const std::string whole = text.str();
    if (measure.fits(whole))
        return whole;

    std::vector<std::string> words = splitWords(whole);
    for (auto& word : words) {
        keepAsciiAlphanumerics(word);
        capitaliseFirst(word); // a word of punctuation only is empty now
    }
    std::string joined = joinWords(words);
    if (measure.fits(joined))
        return joined;

    for (auto& word : words)
        collapseRepeatedBytes(word);
    joined = joinWords(words);
    if (measure.fits(joined))
        return joined;

    for (auto& word : words)
        removeVowelsAfterFirst(word);
    joined = joinWords(words);
    if (measure.fits(joined))
        return joined;

    for (std::size_t length = 5; length >= 2; --length) {
        cutWordsWithoutDigits(words, length);
        joined = joinWords(words);
        if (measure.fits(joined))
            return joined;
    }
    return plainPrefix(joined, prefixBytes, measure.width());
}

std::string StringCropper::cropStringShrink3(const CharSequence<char>& text, const WidthOf& widthOf,
                                             const PrefixBytes& prefixBytes, int width) const
{
    const Measure measure(widthOf, std::max(width, 0));
    std::string s = text.str();
    if (measure.fits(s))
        return s;

    for (const auto& [key, replacement] : abbreviations) {
        if (key.empty())
            continue; // would be found everywhere, for ever
        std::size_t pos = StringUtil::findPosOfSubStringNoCase(s, key, 0);
        while (pos != std::string::npos) {
            // The bytes that matched: a case variant may differ in length.
            const std::size_t matched = StringUtil::countMatchingCharacters(s, key, pos, false);
            s.replace(pos, matched, replacement);
            if (measure.fits(s))
                return s;
            pos = StringUtil::findPosOfSubStringNoCase(s, key, pos + replacement.size());
        }
    }
    return cropStringShrink2(s, widthOf, prefixBytes, width);
}

std::string StringCropper::cropStringMiddle(const CharSequence<char>& text, const WidthOf& widthOf,
                                            const PrefixBytes& prefixBytes, int width) const
{
    const Measure measure(widthOf, width);
    const std::string whole = text.str();
    const int wholeWidth = measure.of(whole);
    if (wholeWidth <= width)
        return whole;
    const int ellipsisWidth = measure.of(ellipsis);
    if (ellipsisWidth > width)
        return cropStringAppend(text, widthOf, prefixBytes, width);

    const std::size_t headLength = prefixLength(prefixBytes, whole, std::max(0, (width - ellipsisWidth) / 2));
    const std::string headAndEllipsis = whole.substr(0, headLength) + ellipsis;
    std::size_t tailStart = prefixLength(prefixBytes, whole, std::max(0, wholeWidth - (ellipsisWidth + width) / 2));
    tailStart = std::max(tailStart, headLength); // never show a character twice

    std::string candidate = headAndEllipsis + whole.substr(tailStart);
    while (!measure.fits(candidate) && tailStart < whole.size()) {
        tailStart += codePointLength(whole, tailStart);
        candidate = headAndEllipsis + whole.substr(tailStart);
    }
    return candidate;
}

std::string StringCropper::cropStringMiddle2(const CharSequence<char>& text, const WidthOf& widthOf,
                                             const PrefixBytes& prefixBytes, int width) const
{
    const Measure measure(widthOf, std::max(width, 0));
    const std::string whole = text.str();
    const int wholeWidth = measure.of(whole);
    if (wholeWidth <= measure.width())
        return whole;

    const std::size_t total = countCodePoints(whole, 0, whole.size());
    const int half = measure.width() / 2;
    const std::size_t headCount = countCodePoints(whole, 0, prefixLength(prefixBytes, whole, std::max(half, 1)));
    const int tailWidth = wholeWidth - half > 0 ? wholeWidth - half : 1;
    const std::size_t tailCount = countCodePoints(whole, prefixLength(prefixBytes, whole, tailWidth), whole.size());
    const std::size_t split = std::min(headCount, total - std::min(total, std::max<std::size_t>(4, tailCount)));
    const std::size_t splitOffset = offsetOfCodePoint(whole, split);

    BalancedCut cut(whole.substr(0, splitOffset), ellipsis, whole.substr(splitOffset));
    while (!cut.empty() && !measure.fits(cut.joined()))
        cut.removeOne();
    return cut.trimmed();
}

} // namespace BAS
} // namespace CV
