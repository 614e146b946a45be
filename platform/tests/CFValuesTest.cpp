#include "platform/cf/CFArray.h"
#include "platform/cf/CFBoolean.h"
#include "platform/cf/CFDictionary.h"
#include "platform/cf/CFLocale.h"
#include "platform/cf/CFNumber.h"
#include "platform/tests/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using namespace platform::test;

namespace {

TEST(CFNumber, ConvertsOnlyWithoutLoss)
{
    struct Case {
        std::int64_t stored;
        CFNumberType readAs;
        bool exact;
    };
    const Case cases[] = {
        {42, kCFNumberSInt8Type, true},
        {300, kCFNumberSInt8Type, false},
        {-32768, kCFNumberSInt16Type, true},
        {70000, kCFNumberShortType, false},
        {std::numeric_limits<std::int32_t>::max(), kCFNumberIntType, true},
        {std::int64_t(1) << 40, kCFNumberSInt32Type, false},
        {std::int64_t(1) << 40, kCFNumberLongLongType, true},
        {(std::int64_t(1) << 53) + 1, kCFNumberDoubleType, false},
    };
    for (const Case& c : cases) {
        Owned<CFNumberRef> number(CFNumberCreate(kCFAllocatorDefault, kCFNumberSInt64Type, &c.stored));
        std::int64_t buffer[2] = {0, 0};
        EXPECT_EQ(bool(CFNumberGetValue(number.get(), c.readAs, buffer)), c.exact) << c.stored << " as " << c.readAs;
    }
}

TEST(CFNumber, FloatsKeepTheirFractionAndRefuseIntegerReads)
{
    const double value = 2.5;
    Owned<CFNumberRef> number(CFNumberCreate(kCFAllocatorDefault, kCFNumberDoubleType, &value));
    EXPECT_TRUE(CFNumberIsFloatType(number.get()));
    int asInt = 0;
    EXPECT_FALSE(CFNumberGetValue(number.get(), kCFNumberIntType, &asInt));
    EXPECT_EQ(asInt, 2);
    float asFloat = 0;
    EXPECT_TRUE(CFNumberGetValue(number.get(), kCFNumberFloatType, &asFloat));
    EXPECT_EQ(asFloat, 2.5f);
}

TEST(CFDictionary, FindsValuesByEqualKeysAndOwnsWhatItHolds)
{
    CFMutableDictionaryRef dictionary = CFDictionaryCreateMutable(
        kCFAllocatorDefault, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    {
        auto key = str("NSDevicePath");
        auto value = str("/media/stick");
        CFDictionarySetValue(dictionary, key.get(), value.get());
        EXPECT_EQ(CFGetRetainCount(value.get()), 2);
    }
    auto otherKeyObject = str("NSDevicePath");
    EXPECT_EQ(utf8(CFDictionaryGetValue(dictionary, otherKeyObject.get())), "/media/stick");
    EXPECT_EQ(CFDictionaryGetValue(dictionary, str("Other").get()), nullptr);

    auto replacement = str("/media/other");
    CFDictionarySetValue(dictionary, otherKeyObject.get(), replacement.get());
    EXPECT_EQ(CFDictionaryGetCount(dictionary), 1);
    EXPECT_EQ(utf8(CFDictionaryGetValue(dictionary, otherKeyObject.get())), "/media/other");

    CFDictionaryRemoveValue(dictionary, otherKeyObject.get());
    EXPECT_EQ(CFDictionaryGetCount(dictionary), 0);
    EXPECT_EQ(CFGetRetainCount(replacement.get()), 1);
    CFRelease(dictionary);
}

TEST(CFArray, RetainsItsValuesAndComparesByValue)
{
    auto a = str("a");
    const void* values[] = {a.get(), kCFBooleanTrue};
    Owned<CFArrayRef> first(CFArrayCreate(kCFAllocatorDefault, values, 2, &kCFTypeArrayCallBacks));
    EXPECT_EQ(CFGetRetainCount(a.get()), 2);
    auto equalA = str("a");
    const void* equalValues[] = {equalA.get(), kCFBooleanTrue};
    Owned<CFArrayRef> second(CFArrayCreate(kCFAllocatorDefault, equalValues, 2, &kCFTypeArrayCallBacks));
    EXPECT_TRUE(CFEqual(first.get(), second.get()));
    EXPECT_EQ(CFArrayGetValueAtIndex(first.get(), 2), nullptr);
    EXPECT_TRUE(CFArrayContainsValue(second.get(), CFRangeMake(0, 2), a.get()));
}

} // namespace

namespace {

TEST(CFArray, WithoutCallbacksHoldsPlainPointers)
{
    int a = 1, b = 2;
    const void* values[] = {&a, &b};
    CFArrayRef plain = CFArrayCreate(kCFAllocatorDefault, values, 2, nullptr);
    EXPECT_EQ(CFArrayGetValueAtIndex(plain, 1), &b);
    CFRelease(plain); // touches neither value
}

TEST(CFString, NormalisesIntoEachForm)
{
    struct Case {
        const char* text;
        CFStringNormalizationForm form;
        const char* expected;
    };
    const Case cases[] = {
        {"e\xCC\x81", kCFStringNormalizationFormC, "\xC3\xA9"}, // e + combining acute -> é
        {"\xC3\xA9", kCFStringNormalizationFormD, "e\xCC\x81"},
        {"\xEF\xAC\x81", kCFStringNormalizationFormKC, "fi"}, // ligature fi
        {"\xEF\xAC\x81", kCFStringNormalizationFormC, "\xEF\xAC\x81"},
    };
    for (const Case& c : cases) {
        auto source = str(c.text);
        CFMutableStringRef copy = CFStringCreateMutableCopy(kCFAllocatorDefault, 0, source.get());
        CFStringNormalize(copy, c.form);
        EXPECT_EQ(utf8(copy), c.expected) << c.text;
        EXPECT_EQ(utf8(source.get()), c.text);
        CFRelease(copy);
    }
}

TEST(CFString, CapitalizeTitleCasesEachWordByTheLocale)
{
    platform::cf::Locale root("en_US");
    platform::cf::Locale turkish("tr_TR");
    struct Case {
        const char* text;
        const platform::cf::Locale* locale;
        const char* expected;
    };
    const Case cases[] = {
        {"a", &root, "A"},
        {"\xC3\xB9", &root, "\xC3\x99"}, // ù -> Ù
        {"\xC3\x9F", &root, "\xC3\x9F"}, // ß has no one-letter capital
        {"hello WORLD-wide", nullptr, "Hello World-Wide"},
        {"i", &root, "I"},
        {"i", &turkish, "\xC4\xB0"}, // dotted capital I
        {"iI", &turkish, "\xC4\xB0\xC4\xB1"},
        {"1a", &root, "1a"},
        {"`", &root, "`"},
    };
    for (const Case& c : cases) {
        auto source = str(c.text);
        CFMutableStringRef copy = CFStringCreateMutableCopy(kCFAllocatorDefault, 0, source.get());
        CFStringCapitalize(copy, c.locale);
        EXPECT_EQ(utf8(copy), c.expected) << c.text;
        CFRelease(copy);
    }
}

TEST(CFString, FileSystemRepresentationIsTheUtf8TextWhenItFits)
{
    auto name = str("Gr\xC3\xBC\xC3\x9F"
                    "e");
    char buffer[16];
    ASSERT_TRUE(CFStringGetFileSystemRepresentation(name.get(), buffer, sizeof buffer));
    EXPECT_STREQ(buffer,
                 "Gr\xC3\xBC\xC3\x9F"
                 "e");
    EXPECT_FALSE(CFStringGetFileSystemRepresentation(name.get(), buffer, 7));
    EXPECT_GE(CFStringGetMaximumSizeOfFileSystemRepresentation(name.get()), 8);
}

} // namespace
