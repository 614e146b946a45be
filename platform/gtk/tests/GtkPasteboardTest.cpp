// The general pasteboard on a private X server, against xclip as the other
// program on the desktop.
#include "ChildProgram.h"
#include "DesktopBackendSession.h"

#include "platform/backend/Backend.h"
#include "platform/cf/CFData.h"
#include "platform/cf/CFString.h"
#include "platform/pasteboard/Pasteboard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

using desktop_test::ChildProgram;

const std::string kText = "Grüße, naïve café – 日本語 ✓ 🎹\nsecond line";

std::u16string utf16(const std::string& utf8)
{
    const platform::cf::String* string = platform::cf::String::createFromUTF8(utf8);
    std::u16string units = string->characters();
    CFRelease(string);
    return units;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::string line;
    for (char c : text) {
        if (c == '\r')
            continue;
        if (c == '\n') {
            if (!line.empty())
                result.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        result.push_back(line);
    return result;
}

// The general pasteboard through the C interface the framework uses.
class Clipboard {
public:
    Clipboard() { PasteboardCreate(kPasteboardClipboard, &m_pasteboard); }
    ~Clipboard() { CFRelease(m_pasteboard); }

    bool clear()
    {
        return PasteboardClear(m_pasteboard) == noErr &&
            (PasteboardSynchronize(m_pasteboard) & kPasteboardClientIsOwner) != 0;
    }
    bool put(std::size_t item, CFStringRef type, const void* bytes, std::size_t length)
    {
        CFDataRef data = CFDataCreate(nullptr, static_cast<const UInt8*>(bytes), CFIndex(length));
        const OSStatus status = PasteboardPutItemFlavor(m_pasteboard, reinterpret_cast<PasteboardItemID>(item), type,
                                                        data, kPasteboardFlavorNoFlags);
        CFRelease(data);
        return status == noErr;
    }
    // Plain text the way the framework writes it: UTF-16 and UTF-8.
    bool putText(const std::string& text)
    {
        const std::u16string units = utf16(text);
        return clear() && put(1, kUTTypeUTF16PlainText, units.data(), units.size() * 2) &&
            put(1, kUTTypeUTF8PlainText, text.data(), text.size());
    }
    std::size_t count()
    {
        ItemCount n = 0;
        PasteboardGetItemCount(m_pasteboard, &n);
        return n;
    }
    std::vector<std::string> flavours(std::size_t item)
    {
        std::vector<std::string> names;
        PasteboardItemID id = nullptr;
        CFArrayRef list = nullptr;
        if (PasteboardGetItemIdentifier(m_pasteboard, CFIndex(item), &id) != noErr ||
            PasteboardCopyItemFlavors(m_pasteboard, id, &list) != noErr)
            return names;
        for (CFIndex i = 0; i < CFArrayGetCount(list); ++i)
            names.push_back(static_cast<CFStringRef>(CFArrayGetValueAtIndex(list, i))->utf8());
        CFRelease(list);
        return names;
    }
    std::string bytes(std::size_t item, CFStringRef type)
    {
        PasteboardItemID id = nullptr;
        CFDataRef data = nullptr;
        if (PasteboardGetItemIdentifier(m_pasteboard, CFIndex(item), &id) != noErr ||
            PasteboardCopyItemFlavorData(m_pasteboard, id, type, &data) != noErr)
            return {};
        std::string result(reinterpret_cast<const char*>(CFDataGetBytePtr(data)), std::size_t(CFDataGetLength(data)));
        CFRelease(data);
        return result;
    }
    long changeCount() { return platform::Backend::current().pasteboard("Apple CFPasteboard general").changeCount(); }

private:
    PasteboardRef m_pasteboard = nullptr;
};

class GtkPasteboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string missing = desktop_test::whyDesktopTestCannotRun({"xclip"});
        if (!missing.empty())
            VARANTO_DESKTOP_UNAVAILABLE() << missing;
    }

    // What xclip reads from the clipboard as target; empty when it fails.
    static std::string paste(const std::string& target)
    {
        ChildProgram xclip({"xclip", "-selection", "clipboard", "-o", "-t", target});
        return xclip.finish() == 0 ? xclip.output() : std::string();
    }

    // xclip takes the clipboard with text of a target; true once this
    // process has seen the new owner.
    bool copyElsewhere(const std::string& text, const std::string& target)
    {
        const long before = m_clipboard.changeCount();
        ChildProgram xclip({"xclip", "-selection", "clipboard", "-i", "-t", target}, text);
        if (xclip.finish() != 0)
            return false;
        return desktop_test::pumpUntil([&] { return m_clipboard.changeCount() != before; });
    }

    Clipboard m_clipboard;
};

TEST_F(GtkPasteboardTest, TextCopiedHereIsPastedElsewhereWithEveryCharacter)
{
    ASSERT_TRUE(m_clipboard.putText(kText));
    EXPECT_EQ(paste("UTF8_STRING"), kText);
    // The text/plain targets carry their line ends as CR LF.
    EXPECT_EQ(lines(paste("text/plain;charset=utf-8")), lines(kText));
    const std::vector<std::string> targets = lines(paste("TARGETS"));
    EXPECT_NE(std::find(targets.begin(), targets.end(), "UTF8_STRING"), targets.end());
    EXPECT_EQ(std::find(targets.begin(), targets.end(), "text/uri-list"), targets.end());
}

TEST_F(GtkPasteboardTest, TextCopiedElsewhereIsReadHereAsUtf8AndUtf16AndReplacesOurs)
{
    ASSERT_TRUE(m_clipboard.putText("ours"));
    ASSERT_TRUE(copyElsewhere(kText, "UTF8_STRING"));

    ASSERT_EQ(m_clipboard.count(), 1u);
    const std::vector<std::string> flavours = m_clipboard.flavours(1);
    EXPECT_NE(std::find(flavours.begin(), flavours.end(), "public.utf16-plain-text"), flavours.end());
    EXPECT_NE(std::find(flavours.begin(), flavours.end(), "public.utf8-plain-text"), flavours.end());
    EXPECT_EQ(m_clipboard.bytes(1, kUTTypeUTF8PlainText), kText);
    const std::string units = m_clipboard.bytes(1, kUTTypeUTF16PlainText);
    std::u16string read(units.size() / 2, u'\0');
    std::memcpy(&read[0], units.data(), read.size() * 2);
    EXPECT_EQ(read, utf16(kText));
}

TEST_F(GtkPasteboardTest, FileListCopiedHereArrivesAsUriListWithItsNames)
{
    const std::vector<std::string> urls = {"file:///tmp/Firmware%20Notes.txt", "file:///tmp/r%C3%A9sum%C3%A9.pdf"};
    ASSERT_TRUE(m_clipboard.clear());
    for (std::size_t k = 0; k < urls.size(); ++k)
        ASSERT_TRUE(m_clipboard.put(k + 1, kUTTypeFileURL, urls[k].data(), urls[k].size()));
    EXPECT_EQ(lines(paste("text/uri-list")), urls);
    // No text to paste: a file list is not offered as text.
    EXPECT_EQ(paste("UTF8_STRING"), "");
}

TEST_F(GtkPasteboardTest, UriListCopiedElsewhereBecomesOneFileItemPerUri)
{
    const std::vector<std::string> urls = {"file:///home/user/a.bin", "file:///home/user/b%20c.bin"};
    ASSERT_TRUE(copyElsewhere(urls[0] + "\r\n" + urls[1] + "\r\n", "text/uri-list"));
    ASSERT_EQ(m_clipboard.count(), 2u);
    for (std::size_t k = 0; k < urls.size(); ++k) {
        const std::vector<std::string> flavours = m_clipboard.flavours(k + 1);
        EXPECT_NE(std::find(flavours.begin(), flavours.end(), "public.file-url"), flavours.end());
        EXPECT_EQ(m_clipboard.bytes(k + 1, kUTTypeFileURL), urls[k]);
    }
}

// The other program takes the clipboard before this process talks to the
// display again: the pasteboard asked for owner changes when it was made.
TEST_F(GtkPasteboardTest, ClipboardTakenBeforeTheMainLoopRunsAgainIsNoticed)
{
    const long before = m_clipboard.changeCount();
    const CV::test::PrivateXServer& server = desktop_test::DesktopBackendSession::instance().server();
    ASSERT_EQ(server.run({"sh", "-c", "printf elsewhere | xclip -selection clipboard -i"}), 0);
    // Until the server names xclip as the owner (asked by another client).
    for (int attempt = 0; attempt < 100 && server.run({"xclip", "-selection", "clipboard", "-o"}) != 0; ++attempt)
        ;
    EXPECT_TRUE(desktop_test::pumpUntil([&] { return m_clipboard.changeCount() != before; }));
}

TEST_F(GtkPasteboardTest, InternalFormatStaysInsideTheProcess)
{
    const CFStringRef internal =
        platform::cf::String::createFromUTF8("calvarine.application.internalclipboardformat.0x1");
    const unsigned char pointers[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    ASSERT_TRUE(m_clipboard.clear());
    ASSERT_TRUE(m_clipboard.put(1, internal, pointers, sizeof pointers));

    EXPECT_EQ(m_clipboard.bytes(1, internal), std::string(reinterpret_cast<const char*>(pointers), 16));
    for (const std::string& target : lines(paste("TARGETS")))
        EXPECT_EQ(target.find("calvarine"), std::string::npos) << target;
    // Whatever was on the clipboard before is no longer offered.
    EXPECT_EQ(paste("UTF8_STRING"), "");
    CFRelease(internal);
}

} // namespace
