#include "BAS/FileTypeDescr.h"
#include "BAS/FileTypeManager.h"
#include "FEN/ClipBoardFormat.h"
#include "FEN/ExchangeData.h"
#include "platform/headless/TestDriver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace CV::FEN;
using CV::BAS::FileName;
using CV::BAS::FileTypeManager;
using platform::headless::TestDriver;

std::vector<std::uint8_t> bytesOf(std::string const& text)
{
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> bytesOf(std::u16string const& text)
{
    std::vector<std::uint8_t> bytes(text.size() * 2);
    std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
}

class ClipBoardTest : public testing::Test {
protected:
    ClipBoardTest() { FileTypeManager::init(); }
    ~ClipBoardTest() override { FileTypeManager::deInit(); }

    // Another program's clipboard contents: one item per entry, each with
    // its flavours.
    void offer(std::vector<std::vector<std::pair<std::string, std::vector<std::uint8_t>>>> const& items)
    {
        auto& pasteboard = driver.pasteboard();
        pasteboard.clear();
        for (std::size_t i = 0; i < items.size(); ++i)
            for (auto const& [type, data] : items[i])
                pasteboard.put(i, type, data);
    }

    TestDriver driver;
};

TEST_F(ClipBoardTest, TextFromOtherProgramsIsNormalisedAsItIsRead)
{
    struct Case {
        const char* name;
        std::vector<std::uint8_t> utf16;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"Windows line ends become a lone CR", bytesOf(u"one\r\ntwo\r\n"), "one\rtwo\r"},
        {"a byte-order mark is dropped",
         bytesOf(u"\xFEFF"
                 u"text"),
         "text"},
        {"an embedded zero ends the text", bytesOf(std::u16string(u"ab\0cd", 5)), "ab"},
        {"an odd last byte is ignored", {'a', 0, 'b', 0, 'c'}, "ab"},
        {"a surrogate pair survives", bytesOf(u"x\U0001F600"), "x\xF0\x9F\x98\x80"},
    };
    for (Case const& c : cases) {
        offer({{{"public.utf16-plain-text", c.utf16}}});
        TextClipBoardFormat text;
        ASSERT_TRUE(ClipBoard::getFormat(text)) << c.name;
        EXPECT_EQ(text.getValue(), c.expected) << c.name;
    }
}

TEST_F(ClipBoardTest, RawTextMayStartAtAnyAddress)
{
    alignas(4) unsigned char buffer[9] = {0xFF, 'h', 0, 'i', 0, '!', 0, 0, 0};
    TextClipBoardFormat text;
    ASSERT_TRUE(text.readRawData(buffer + 1, 6));
    EXPECT_EQ(text.getValue(), "hi!");
}

TEST_F(ClipBoardTest, TextRoundTripsAndIsOfferedAsUTF8Too)
{
    TextClipBoardFormat out;
    out.setValue("gr\xC3\xBC\xC3\x9F"
                 "e \xF0\x9F\x98\x80\xFF!"); // the stray byte is dropped
    ASSERT_TRUE(ClipBoard::setFormat(out));
    auto& pasteboard = driver.pasteboard();
    ASSERT_EQ(pasteboard.itemCount(), 1u);
    EXPECT_EQ(pasteboard.data(0, "public.utf8-plain-text"),
              bytesOf(std::string("gr\xC3\xBC\xC3\x9F"
                                  "e \xF0\x9F\x98\x80!")));
    EXPECT_EQ(pasteboard.data(0, "public.utf16-plain-text"), bytesOf(u"grüße \U0001F600!"));

    TextClipBoardFormat in;
    ASSERT_TRUE(ClipBoard::getFormat(in));
    EXPECT_EQ(in.getValue(),
              "gr\xC3\xBC\xC3\x9F"
              "e \xF0\x9F\x98\x80!");
}

TEST_F(ClipBoardTest, UTF8OnlyTextFromOtherProgramsIsPasted)
{
    offer({{{"public.utf8-plain-text", bytesOf(std::string("caf\xC3\xA9\r\nbar\xC3"))}}});
    TextClipBoardFormat text;
    ASSERT_TRUE(ClipBoard::getFormat(text));
    EXPECT_EQ(text.getValue(), "caf\xC3\xA9\rbar");

    // Nothing textual: no text, and no success.
    offer({{{"public.png", {1, 2, 3}}}});
    EXPECT_FALSE(ClipBoard::getFormat(text));
}

TEST_F(ClipBoardTest, FileListsKeepFileURLsWithTheirTypesAndSkipTheRest)
{
    offer({
        {{"public.file-url", bytesOf(std::string("file:///tmp/clip/song.wav"))}},
        {{"public.url", bytesOf(std::string("https://example.org/page.html"))}},
        {{"public.file-url", bytesOf(std::string("file:///tmp/clip/photo.jpg"))}},
        {{"public.utf8-plain-text", bytesOf(std::string("just words"))}},
        {{"public.file-url", bytesOf(std::string("file:///tmp/clip/caf%C3%A9.png"))}},
    });
    FileListClipBoardFormat files;
    ASSERT_TRUE(ClipBoard::getFormat(files));
    ASSERT_EQ(files.m_files.size(), 3u);
    const char* const names[] = {"song", "photo", "caf\xC3\xA9"};
    const char* const types[] = {"WAV File", "JPEG File", "PNG File"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(files.m_files[i].name, names[i]);
        ASSERT_NE(files.m_files[i].type, nullptr) << i;
        EXPECT_EQ(files.m_files[i].type->name, types[i]);
    }

    // Only web addresses: no file, so no success.
    offer({{{"public.file-url", bytesOf(std::string("https://example.org/"))}}});
    FileListClipBoardFormat none;
    EXPECT_FALSE(ClipBoard::getFormat(none));
    EXPECT_TRUE(none.m_files.empty());
}

TEST_F(ClipBoardTest, FileListsRoundTripOneItemPerFile)
{
    FileListClipBoardFormat out;
    out.m_files.emplace_back(boost::filesystem::path("/tmp/clip/a.wav"));
    out.m_files.emplace_back(boost::filesystem::path("/tmp/clip/b c.png"));
    ASSERT_TRUE(ClipBoard::setFormat(out));
    EXPECT_EQ(driver.pasteboard().itemCount(), 2u);
    FileListClipBoardFormat in;
    ASSERT_TRUE(ClipBoard::getFormat(in));
    ASSERT_EQ(in.m_files.size(), 2u);
    EXPECT_EQ(in.m_files[0].full, out.m_files[0].full);
    EXPECT_EQ(in.m_files[1].full, out.m_files[1].full);
}

TEST_F(ClipBoardTest, AFormatWithoutDataLeavesTheClipboardAloneAndFails)
{
    TextClipBoardFormat kept;
    kept.setValue("keep me");
    ASSERT_TRUE(ClipBoard::setFormat(kept));
    const long changes = driver.pasteboard().changeCount();

    FileListClipBoardFormat empty;
    EXPECT_FALSE(ClipBoard::setFormat(empty));
    EXPECT_FALSE(ExchangeData(empty, false).isValid());
    EXPECT_EQ(driver.pasteboard().changeCount(), changes);
    TextClipBoardFormat text;
    ASSERT_TRUE(ClipBoard::getFormat(text));
    EXPECT_EQ(text.getValue(), "keep me");
}

TEST_F(ClipBoardTest, InternalDataIsReadOnlyThroughALiveTokenOfTheRightSize)
{
    const auto* payload = reinterpret_cast<DragDropData const*>(0x1000);
    auto* window = reinterpret_cast<WindowBase*>(0x2000);
    auto format = std::make_unique<InternalClipBoardFormat>();
    format->m_pData = payload;
    format->m_pWindow = window;
    ExchangeData drag(*format, false);
    ASSERT_TRUE(drag.isValid());
    ASSERT_TRUE(drag.containsFormat(InternalClipBoardFormat::FormatHandle()));

    // The pasteboard carries a token, never the addresses.
    CFStringRef name = nullptr;
    ASSERT_EQ(PasteboardCopyName(drag.getPasteboard(), &name), noErr);
    const std::string pasteboardName = name->utf8();
    CFRelease(name);
    const std::string type = InternalClipBoardFormat::formatName();
    EXPECT_EQ(type.rfind("calvarine.application.internalclipboardformat.0x", 0), 0u);
    const std::vector<std::uint8_t> block = driver.pasteboard(pasteboardName).data(0, type);
    ASSERT_EQ(block.size(), InternalClipBoardFormat::kTokenSize);
    for (std::uintptr_t address : {std::uintptr_t(0x1000), std::uintptr_t(0x2000)})
        for (std::size_t i = 0; i + sizeof address <= block.size(); ++i)
            EXPECT_NE(std::memcmp(block.data() + i, &address, sizeof address), 0);

    InternalClipBoardFormat read;
    ASSERT_TRUE(drag.getFormat(read));
    EXPECT_EQ(read.m_pData, payload);
    EXPECT_EQ(read.m_pWindow, window);

    // Wrong sizes and unknown tokens are refused.
    std::vector<std::uint8_t> longer = block;
    longer.push_back(0);
    std::vector<std::uint8_t> forged = block;
    forged[0] ^= 0xFF;
    for (auto const& bad :
         {std::vector<std::uint8_t>(block.begin(), block.end() - 1), longer, forged, std::vector<std::uint8_t>()}) {
        InternalClipBoardFormat refused;
        EXPECT_FALSE(refused.addRawData(bad.data(), long(bad.size()))) << bad.size();
        EXPECT_EQ(refused.m_pData, nullptr);
    }

    // Once the writer is gone its token means nothing.
    format.reset();
    InternalClipBoardFormat stale;
    EXPECT_FALSE(drag.getFormat(stale));
    EXPECT_EQ(stale.m_pData, nullptr);

    // Another process's internal type is not ours.
    auto& general = driver.pasteboard();
    general.clear();
    general.put(0, "calvarine.application.internalclipboardformat.0x1", block);
    InternalClipBoardFormat foreign;
    EXPECT_FALSE(ClipBoard::getFormat(foreign));
}

} // namespace
