#include "platform/cf/CFString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

CFStringRef makeFromBytes(const std::string& bytes, CFStringEncoding encoding, bool external = false)
{
    return CFStringCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(bytes.data()),
                                   CFIndex(bytes.size()), encoding, external);
}

std::u16string charactersOf(CFStringRef s)
{
    std::u16string units(std::size_t(CFStringGetLength(s)), u'\0');
    CFStringGetCharacters(s, CFRangeMake(0, CFStringGetLength(s)), units.data());
    return units;
}

TEST(CFStringTest, DecodesBytesPerEncoding)
{
    struct Case {
        std::string bytes;
        CFStringEncoding encoding;
        bool external;
        bool valid;
        std::u16string expected;
    };
    const Case cases[] = {
        {"h\xC3\xA9 \xF0\x9F\x98\x80", kCFStringEncodingUTF8, false, true, u"h\u00E9 \U0001F600"},
        {"\xEF\xBB\xBFx", kCFStringEncodingUTF8, true, true, u"x"},
        {"\xEF\xBB\xBFx", kCFStringEncodingUTF8, false, true, u"\uFEFFx"},
        {"a\xFF", kCFStringEncodingUTF8, false, false, u""},
        {"a\xC3", kCFStringEncodingUTF8, false, false, u""},
        {"\xED\xA0\x80", kCFStringEncodingUTF8, false, false, u""},
        {"\xE9t\xE9", kCFStringEncodingISOLatin1, false, true, u"\u00E9t\u00E9"},
        {"plain", kCFStringEncodingASCII, false, true, u"plain"},
        {"caf\xE9", kCFStringEncodingASCII, false, false, u""},
        {"x", 0x0100 /* unsupported */, false, false, u""},
        {"", kCFStringEncodingUTF8, false, true, u""},
    };
    for (const auto& c : cases) {
        CFStringRef s = makeFromBytes(c.bytes, c.encoding, c.external);
        ASSERT_EQ(s != nullptr, c.valid) << c.bytes;
        if (!s)
            continue;
        EXPECT_EQ(charactersOf(s), c.expected) << c.bytes;
        CFRelease(s);
    }
}

TEST(CFStringTest, DirectAccessOnlyForStringsMadeFromCharacters)
{
    const UniChar units[] = {u'a', u'b'};
    CFStringRef fromCharacters = CFStringCreateWithCharacters(kCFAllocatorDefault, units, 2);
    CFStringRef fromText = CFStringCreateWithCString(kCFAllocatorDefault, "ab", kCFStringEncodingUTF8);
    ASSERT_NE(CFStringGetCharactersPtr(fromCharacters), nullptr);
    EXPECT_EQ(std::u16string(CFStringGetCharactersPtr(fromCharacters), 2), u"ab");
    EXPECT_EQ(CFStringGetCharactersPtr(fromText), nullptr);
    EXPECT_EQ(charactersOf(fromText), u"ab");
    CFRelease(fromCharacters);
    CFRelease(fromText);
}

TEST(CFStringTest, GetCharactersCopiesASubrange)
{
    CFStringRef s = CFStringCreateWithCString(kCFAllocatorDefault, "abcdef", kCFStringEncodingASCII);
    UniChar buffer[4] = {u'-', u'-', u'-', u'-'};
    CFStringGetCharacters(s, CFRangeMake(2, 3), buffer);
    EXPECT_EQ(std::u16string(buffer, 4), u"cde-");
    CFRelease(s);
}

TEST(CFStringTest, GetCStringChecksRoomAndEncoding)
{
    const UniChar units[] = {u'\u00E9', u'x'};
    CFStringRef s = CFStringCreateWithCharacters(kCFAllocatorDefault, units, 2);
    char buffer[8];
    ASSERT_TRUE(CFStringGetCString(s, buffer, sizeof buffer, kCFStringEncodingUTF8));
    EXPECT_STREQ(buffer, "\xC3\xA9x");
    EXPECT_FALSE(CFStringGetCString(s, buffer, 3, kCFStringEncodingUTF8)); // no room for the NUL
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(CFStringGetCString(s, buffer, sizeof buffer, kCFStringEncodingASCII));
    ASSERT_TRUE(CFStringGetCString(s, buffer, sizeof buffer, kCFStringEncodingISOLatin1));
    EXPECT_STREQ(buffer, "\xE9x");
    EXPECT_GE(CFStringGetMaximumSizeForEncoding(CFStringGetLength(s), kCFStringEncodingUTF8), 3);
    CFRelease(s);

    const UniChar lone[] = {0xD800};
    CFStringRef broken = CFStringCreateWithCharacters(kCFAllocatorDefault, lone, 1);
    EXPECT_FALSE(CFStringGetCString(broken, buffer, sizeof buffer, kCFStringEncodingUTF8));
    CFRelease(broken);
}

TEST(CFStringTest, RetainAndReleaseCountReferences)
{
    CFStringRef s = CFStringCreateWithCString(kCFAllocatorDefault, "x", kCFStringEncodingUTF8);
    EXPECT_EQ(CFGetRetainCount(s), 1);
    EXPECT_EQ(CFRetain(s), static_cast<CFTypeRef>(s));
    EXPECT_EQ(CFGetRetainCount(s), 2);
    CFRelease(s);
    EXPECT_EQ(CFGetRetainCount(s), 1);
    CFRelease(s); // frees; the sanitizer build reports a leak or double free
    CFRelease(nullptr);
    EXPECT_EQ(CFRetain(nullptr), nullptr);
    EXPECT_EQ(CFStringGetLength(nullptr), 0);
}

} // namespace
