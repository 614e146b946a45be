#include "BAS/CFString.h"
#include "BAS/FormatHelper.h"
#include "BAS/LexicalCastHelper.h"
#include "BAS/StringCF.h"
#include "BAS/Utf16Holder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace CV::BAS;

namespace {

constexpr std::size_t npos = std::string::npos;

template <typename T> std::vector<T> unitsOf(const Utf16Holder<T>& holder)
{
    return std::vector<T>(holder.data(), holder.data() + holder.length());
}

TEST(Utf16HolderTest, ConvertsUtf8AndDropsMalformedBytes)
{
    const std::string text = "a\xC3\xA9\xFF\xF0\x9F\x98\x80"
                             "b\xE2\x82";
    const std::vector<char16_t> expected = {u'a', 0xE9, 0xD83D, 0xDE00, u'b'};

    const auto wide = utf_to_utf_chseqref<char16_t>(text);
    EXPECT_EQ(unitsOf(wide), expected);
    EXPECT_EQ(wide.data()[wide.length()], 0);

    const auto shorts = utf_to_utf_chseqref<unsigned short>(text);
    EXPECT_EQ(unitsOf(shorts), std::vector<unsigned short>(expected.begin(), expected.end()));

    EXPECT_TRUE(utf_to_utf_chseqref<char16_t>("").empty());
}

TEST(PlatformStringTest, RoundTripsThroughPlatformString)
{
    const std::string text = "Gr\xC3\xBC\xC3\x9F"
                             "e \xF0\x9F\x98\x80";
    CFString platformString(text, true);
    ASSERT_NE(platformString.get(), nullptr);
    EXPECT_EQ(CFStringGetLength(platformString), 8); // the emoji takes two units
    EXPECT_EQ(StringCF(platformString).str(), text);
}

TEST(PlatformStringTest, TakesLengthFromViewAndDropsMalformedBytes)
{
    const char bytes[] = "ab\0c\xFF"
                         "d-not-part";
    CFString platformString(CharSequence<char>(bytes, 6));
    EXPECT_EQ(StringCF(platformString).str(), std::string("ab\0cd", 5));
}

TEST(PlatformStringTest, NullAndEmptyGiveEmptyText)
{
    EXPECT_EQ(StringCF(nullptr).str(), "");
    CFString empty{CharSequence<char>()};
    ASSERT_NE(empty.get(), nullptr);
    EXPECT_EQ(StringCF(empty).str(), "");
}

// Strings made from bytes do not expose their characters, so StringCF copies
// them out; also past the size that once lived on the stack.
TEST(PlatformStringTest, CopiesStringsWithoutDirectAccess)
{
    for (std::size_t units : {std::size_t(3), std::size_t(0x10000), std::size_t(0x10001), std::size_t(200000)}) {
        std::string text;
        for (std::size_t i = 0; i < units; ++i)
            text += (i % 2) ? "\xC3\xA9" : "z";
        CFStringRef ref = CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(text.data()),
                                                  CFIndex(text.size()), kCFStringEncodingUTF8, false);
        ASSERT_NE(ref, nullptr);
        ASSERT_EQ(CFStringGetCharactersPtr(ref), nullptr);
        EXPECT_EQ(StringCF(ref).str(), text) << units << " units";
        CFRelease(ref);
    }
}

TEST(PlatformStringTest, DropsUnpairedSurrogates)
{
    const UniChar units[] = {u'x', 0xD800, u'y', 0xDE00};
    CFStringRef ref = CFStringCreateWithCharacters(kCFAllocatorDefault, units, 4);
    EXPECT_EQ(StringCF(ref).str(), "xy");
    CFRelease(ref);
}

TEST(LexicalCastHelperTest, ParsesUnsigned)
{
    struct Case {
        std::string text;
        std::size_t start;
        bool hex;
        bool ok;
        unsigned value;
        std::size_t consumed;
    };
    const Case cases[] = {
        {"  42abc", 0, false, true, 42, 4},
        {"42", 0, false, true, 42, 2},
        {"x", 0, false, false, 0, npos},
        {"", 0, false, false, 0, npos},
        {"ff", 0, true, true, 255, 2},
        {"FFz", 0, true, true, 255, 2},
        {"ff", 0, false, false, 0, npos},
        {"<<17>", 2, false, true, 17, 4},
        {"id 9", 3, false, true, 9, 4},
        {"12", 5, false, false, 0, npos}, // start beyond the text
        {"-1", 0, false, false, 0, npos}, // no wrap-around to the largest value
        {" +7", 0, false, true, 7, 3},
        {"+ff", 0, true, true, 255, 3},
        {"+-7", 0, false, false, 0, npos},
        {"4294967295", 0, false, true, 4294967295u, 10},
        {"4294967296", 0, false, false, 0, npos},
        {"4\xC3\xA9", 0, false, false, 0, npos}, // non-ASCII text fails as a whole
    };
    for (const auto& c : cases) {
        unsigned value = 99;
        bool ok = !c.ok;
        std::size_t consumed = 12345;
        DETAIL::LexicalCastHelper<unsigned>(c.text, value, &ok, consumed, c.start, c.hex);
        EXPECT_EQ(ok, c.ok) << '"' << c.text << '"';
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(consumed, c.consumed) << '"' << c.text << '"';
    }
}

TEST(LexicalCastHelperTest, OkPointerMayBeNull)
{
    unsigned value = 0;
    std::size_t consumed = 0;
    DETAIL::LexicalCastHelper<unsigned>("7", value, nullptr, consumed, 0, false);
    EXPECT_EQ(value, 7u);
    EXPECT_EQ(consumed, 1u);
}

TEST(FormatHelperTest, FormatsPositionalAndPrintfStyle)
{
    EXPECT_EQ((DETAIL::BasicFormat<char, std::string>("Cannot open %1%.", std::string("file"))), "Cannot open file.");
    EXPECT_EQ((DETAIL::BasicFormat<char, unsigned>("S%u", 7u)), "S7");
    EXPECT_EQ(DETAIL::FormatApply<char>::apply(boost::format("%d.%d.%d"), 5, 9, 0), "5.9.0");
    EXPECT_EQ(DETAIL::FormatApply<char>::apply(boost::format("%d.%d.%d"), 1u, 2u, 3u), "1.2.3");
    EXPECT_EQ(DETAIL::FormatApply<char>::apply(boost::format("%2% %1%"), std::string("a"), std::string("b")), "b a");
    EXPECT_EQ(DETAIL::FormatApply<char>::apply(boost::format("%1%:%2%:%3%"), std::string("x"), 4, std::string("y")),
              "x:4:y");
}

TEST(FormatHelperTest, WrongArgumentCountThrows)
{
    EXPECT_THROW(DETAIL::FormatApply<char>::apply(boost::format("%1% %2%"), 1), boost::io::too_few_args);
    EXPECT_THROW(DETAIL::FormatApply<char>::apply(boost::format("%1%"), 1, 2), boost::io::too_many_args);
}

} // namespace
