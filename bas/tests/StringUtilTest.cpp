#include "BAS/StringUtil.h"
#include "BAS/Utf8Locale.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using CV::BAS::StringUtil;
using CV::BAS::wstrcmpc;

namespace {

constexpr std::size_t npos = std::string::npos;

TEST(WstrcmpcTest, ComparesByCodePoint)
{
    struct Case {
        const char* a;
        const char* b;
        bool caseSensitive;
        int expected;
    };
    const Case cases[] = {
        {"abc", "ABD", false, -1},
        {"abc", "abc", true, 0},
        {"ABC", "abc", false, 0},
        {"ab", "abc", true, -1},
        {"ab", "abc", false, -1},
        {"abc", "ab", true, 1},
        {"abc", "ab", false, 1},
        {"", "", true, 0},
        {"", "a", false, -1},
        {"a", "B", true, 1}, // 'a' > 'B' by value
        {"a", "B", false, -1}, // 'A' < 'B'
        {"\xC3\xA4", "\xC3\x84", false, 0}, // ä / Ä
        {"\xC3\xA4", "\xC3\x84", true, 1},
        {"Gr\xC3\xBC\xC3\x9F"
         "e.txt",
         "GR\xC3\x9C\xC3\x9F"
         "E.TXT",
         false, 0},
        {"\xCE\xB1", "\xCE\x92", false, -1}, // α < Β
        {"z", "\xC3\xA4", true, -1}, // code points, not bytes signed
    };
    for (const auto& c : cases)
        EXPECT_EQ(wstrcmpc(c.a, c.b, c.caseSensitive), c.expected)
            << '"' << c.a << "\" vs \"" << c.b << "\" caseSensitive=" << c.caseSensitive;
}

TEST(WstrcmpcTest, MalformedUtf8Throws)
{
    EXPECT_THROW(wstrcmpc("a\xFF", "ab", false), std::out_of_range);
    EXPECT_THROW(wstrcmpc("ab", "a\xC3", true), std::out_of_range);
    EXPECT_THROW(wstrcmpc("\xC0\xAF", "/", false), std::out_of_range); // overlong '/'
}

TEST(CaseInsensitiveLocaleTest, FoldsNonAsciiLettersOnThisSystem)
{
    EXPECT_EQ(CV::BAS::DETAIL::toUpperCodePoint(U'\u00E4'), U'\u00C4');
    EXPECT_EQ(StringUtil::findPosOfSubStringNoCase("x\xC3\x84y", "\xC3\xA4", 0), 1u);
}

TEST(CaseInsensitiveLocaleTest, FallsBackWhenNamedLocalesAreMissing)
{
    const CV::BAS::DETAIL::Utf8Locale none{"xx_XX.NOT-A-CODESET", "yy_YY.ALSO-MISSING"};
    EXPECT_FALSE(none.isNamed());
    EXPECT_EQ(none.locale(), std::locale::classic());
    EXPECT_EQ(none.toUpper(U'q'), U'Q');

    const CV::BAS::DETAIL::Utf8Locale second{"xx_XX.NOT-A-CODESET", "C.UTF-8"};
    ASSERT_TRUE(second.isNamed()) << "C.UTF-8 is expected on every supported system";
    EXPECT_EQ(second.toUpper(U'\u00E4'), U'\u00C4');
}

TEST(FindPosOfSubStringNoCaseTest, FindsFirstOccurrence)
{
    struct Case {
        std::string text;
        std::string pattern;
        std::size_t start;
        std::size_t expected;
    };
    const Case cases[] = {
        {"Hello World", "WORLD", 0, 6},
        {"Hello World", "WORLD", 7, npos},
        {"Hello World", "", 3, 3},
        {"Hello World", "", 11, npos},
        {"Hello World", "", 12, npos},
        {"Hello World", "o", 50, npos},
        {"Hello World", "O", 5, 7},
        {"abc", "bcd", 0, npos}, // text runs out first
        {"aaab", "AAB", 0, 1}, // restart one code point on
        {"a\xC3\xA4"
         "b",
         "\xC3\x84"
         "B",
         0, 1},
        {"\xC3\xA4\xC3\xA4x", "\xC3\x84X", 0, 2},
        {"", "a", 0, npos},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StringUtil::findPosOfSubStringNoCase(c.text, c.pattern, c.start), c.expected)
            << '"' << c.text << "\" / \"" << c.pattern << "\" from " << c.start;
}

TEST(FindPosOfSubStringNoCaseTest, MalformedUtf8Throws)
{
    EXPECT_THROW(StringUtil::findPosOfSubStringNoCase("ab\xFF"
                                                      "cd",
                                                      "cd", 0),
                 std::out_of_range);
    EXPECT_THROW(StringUtil::findPosOfSubStringNoCase("abcd", "c\xE2\x82", 0), std::out_of_range);
}

TEST(CountMatchingCharactersTest, CountsMatchingBytes)
{
    struct Case {
        std::string text;
        std::string pattern;
        std::size_t start;
        bool caseSensitive;
        std::size_t expected;
    };
    const Case cases[] = {
        {"\xC3\x84rger", "\xC3\xA4rgerlich", 0, false, 6},
        {"\xC3\x84rger", "\xC3\xA4rgerlich", 0, true, 0},
        {"/Volumes/Disk/file", "/Volumes/Disk", 0, true, 13},
        {"/Volumes/Disk/file", "/volumes", 0, true, 1},
        {"xyabc", "ABX", 2, false, 2},
        {"abc", "", 0, true, 0},
        {"abc", "abc", 3, true, 0},
        {"abc", "abc", 9, false, 0},
        {"abc", "abcdef", 0, true, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StringUtil::countMatchingCharacters(c.text, c.pattern, c.start, c.caseSensitive), c.expected)
            << '"' << c.text << "\" / \"" << c.pattern << "\" from " << c.start;
}

TEST(CountMatchingCharactersTest, MalformedUtf8Throws)
{
    EXPECT_THROW(StringUtil::countMatchingCharacters("a\xFF", "ab", 0, true), std::out_of_range);
}

TEST(AsciiTest, ToAsciiKeepsOnlyPureAscii)
{
    EXPECT_EQ(StringUtil::toAscii("abc"), "abc");
    EXPECT_EQ(StringUtil::toAscii("ab\xC3\xA9"), "");
    EXPECT_EQ(StringUtil::toAscii(std::string("a\0b", 3)), "");
    EXPECT_EQ(StringUtil::toAscii(""), "");
}

TEST(AsciiTest, AppendCharAsciiIgnoresNulAndHighBytes)
{
    std::string s = "x";
    for (char c : {char(0), char(0xE9), char(0x80), 'y', char(127)})
        StringUtil::appendCharASCII(s, c);
    EXPECT_EQ(s, "xy\x7F");
}

TEST(RemoveFirstTest, ErasesPrefix)
{
    struct Case {
        std::size_t n;
        const char* expected;
    };
    for (const Case& c : {Case{0, "hello"}, Case{2, "llo"}, Case{5, ""}, Case{6, ""}, Case{npos, ""}}) {
        std::string s = "hello";
        StringUtil::removeFirst(s, c.n);
        EXPECT_EQ(s, c.expected) << "n=" << c.n;
    }
}

TEST(FromUtfFilterTest, Utf8DropsMalformedSequencesOnly)
{
    struct Case {
        std::string in;
        std::string expected;
    };
    const Case cases[] = {
        {"a\xFF"
         "b",
         "ab"},
        {"ab\xE2\x82", "ab"}, // incomplete tail
        {"a\xC3"
         "b",
         "ab"}, // broken sequence keeps the next character
        {"\xE2\x82\xE2\x82\xAC", "\xE2\x82\xAC"}, // broken then whole euro sign
        {"\xC0\xAF"
         "x",
         "x"}, // overlong
        {"\xED\xA0\x80"
         "x",
         "x"}, // encoded surrogate
        {"\xF4\x90\x80\x80"
         "x",
         "x"}, // above U+10FFFF
        {"\x80\xBF", ""}, // stray continuation bytes
        {"Gr\xC3\xBC\xC3\x9F"
         "e \xF0\x9F\x98\x80",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xF0\x9F\x98\x80"},
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StringUtil::fromUTF_filter<char>(c.in), c.expected) << c.in;
}

TEST(FromUtfFilterTest, Utf16DropsUnpairedSurrogates)
{
    struct Case {
        std::u16string in;
        std::string expected;
    };
    const Case cases[] = {
        {u"a\xD800"
         u"b",
         "ab"},
        {u"a\xDC00"
         u"b",
         "ab"},
        {u"ab\xD83D", "ab"},
        {u"\xD83D\xDE00", "\xF0\x9F\x98\x80"},
        {u"\xD83D\xD83D\xDE00", "\xF0\x9F\x98\x80"},
        {u"Gr\u00FC\u00DFe \u20AC",
         "Gr\xC3\xBC\xC3\x9F"
         "e \xE2\x82\xAC"},
        {u"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StringUtil::fromUTF_filter<char16_t>(c.in), c.expected) << c.expected;
}

} // namespace
