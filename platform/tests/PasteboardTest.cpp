#include "platform/pasteboard/Pasteboard.h"

#include "platform/headless/TestDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::headless::TestDriver;

CFDataRef dataOf(const std::string& text)
{
    return CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(text.data()), CFIndex(text.size()));
}

std::string textOf(CFDataRef data)
{
    return std::string(reinterpret_cast<const char*>(CFDataGetBytePtr(data)), std::size_t(CFDataGetLength(data)));
}

TEST(Pasteboard, OwnerWritesItemsOthersReadThemByNumber)
{
    TestDriver driver;
    PasteboardRef writer = nullptr;
    PasteboardRef reader = nullptr;
    ASSERT_EQ(PasteboardCreate(kPasteboardClipboard, &writer), noErr);
    ASSERT_EQ(PasteboardCreate(kPasteboardClipboard, &reader), noErr);

    EXPECT_EQ(PasteboardPutItemFlavor(writer, PasteboardItemID(1), kUTTypeUTF8PlainText, nullptr, 0),
              notPasteboardOwnerErr);
    ASSERT_EQ(PasteboardClear(writer), noErr);
    EXPECT_EQ(PasteboardSynchronize(writer) & 3, kPasteboardClientIsOwner);
    CFDataRef hello = dataOf("hello");
    CFDataRef path = dataOf("file:///tmp/a");
    EXPECT_EQ(PasteboardPutItemFlavor(writer, PasteboardItemID(0x51), kUTTypeUTF8PlainText, hello, 0), noErr);
    EXPECT_EQ(PasteboardPutItemFlavor(writer, PasteboardItemID(0x51), kUTTypeUTF8PlainText, hello, 0),
              duplicatePasteboardFlavorErr);
    EXPECT_EQ(PasteboardPutItemFlavor(writer, PasteboardItemID(0x52), kUTTypeFileURL, path, 0), noErr);
    EXPECT_EQ(PasteboardSynchronize(writer) & 3, kPasteboardClientIsOwner); // its own writes change nothing

    EXPECT_EQ(PasteboardSynchronize(reader) & 3, kPasteboardModified);
    EXPECT_EQ(PasteboardSynchronize(reader) & 3, 0u);
    ItemCount count = 0;
    ASSERT_EQ(PasteboardGetItemCount(reader, &count), noErr);
    ASSERT_EQ(count, 2u);
    PasteboardItemID item = nullptr;
    EXPECT_EQ(PasteboardGetItemIdentifier(writer, 1, &item), noErr);
    EXPECT_EQ(item, PasteboardItemID(0x51)); // the owner's own identifiers
    EXPECT_EQ(PasteboardGetItemIdentifier(reader, 2, &item), noErr);
    EXPECT_EQ(item, PasteboardItemID(2));
    EXPECT_EQ(PasteboardGetItemIdentifier(reader, 3, &item), badPasteboardIndexErr);
    CFArrayRef flavors = nullptr;
    ASSERT_EQ(PasteboardCopyItemFlavors(reader, item, &flavors), noErr);
    ASSERT_EQ(CFArrayGetCount(flavors), 1);
    EXPECT_TRUE(UTTypeConformsTo(static_cast<CFStringRef>(CFArrayGetValueAtIndex(flavors, 0)), kUTTypeURL));
    CFRelease(flavors);
    CFDataRef copied = nullptr;
    ASSERT_EQ(PasteboardCopyItemFlavorData(reader, PasteboardItemID(1), kUTTypeUTF8PlainText, &copied), noErr);
    EXPECT_EQ(textOf(copied), "hello");
    CFRelease(copied);
    EXPECT_EQ(PasteboardCopyItemFlavorData(reader, PasteboardItemID(1), kUTTypeFileURL, &copied),
              badPasteboardFlavorErr);
    EXPECT_EQ(driver.pasteboard().data(0, "public.utf8-plain-text").size(), 5u);

    // Another owner takes over: the first writer is no longer one.
    ASSERT_EQ(PasteboardClear(reader), noErr);
    EXPECT_EQ(PasteboardSynchronize(writer) & 3, kPasteboardModified);

    CFStringRef name = nullptr;
    ASSERT_EQ(PasteboardCopyName(writer, &name), noErr);
    EXPECT_EQ(name->utf8(), "Apple CFPasteboard general");
    CFRelease(name);
    for (CFTypeRef object : {CFTypeRef(writer), CFTypeRef(reader), CFTypeRef(hello), CFTypeRef(path)})
        CFRelease(object);
}

TEST(Pasteboard, TypesConformToTheirAncestors)
{
    struct Case {
        CFStringRef type;
        CFStringRef conformsTo;
        bool expected;
    };
    const Case cases[] = {
        {kUTTypeUTF8PlainText, kUTTypePlainText, true},
        {kUTTypeUTF16PlainText, kUTTypeText, true},
        {kUTTypeUTF8PlainText, kUTTypeUTF16PlainText, false},
        {kUTTypeFileURL, kUTTypeURL, true},
        {kUTTypeFileURL, kUTTypeItem, true},
        {kUTTypeURL, kUTTypeFileURL, false},
        {kUTTypePlainText, kUTTypePlainText, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(bool(UTTypeConformsTo(c.type, c.conformsTo)), c.expected)
            << c.type->utf8() << " -> " << c.conformsTo->utf8();
    CFStringRef custom = platform::cf::String::createFromUTF8("calvarine.application.internalclipboardformat.1f");
    EXPECT_TRUE(UTTypeConformsTo(custom, custom));
    EXPECT_FALSE(UTTypeConformsTo(custom, kUTTypeData));
    CFRelease(custom);
}

} // namespace
