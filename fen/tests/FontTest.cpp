#include "FEN/Font.h"
#include "FEN/FontEngine.h"
#include "FEN/ResourceFacade.h"

#include "BAS/MemoryStream.h"
#include "platform/resources/ResourceMap.h"

#include "FontTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace CV {
namespace FEN {
namespace {

using TEST::testFontBytes;

class FontTest : public ::testing::Test {
protected:
    Font::CreateData dataOf(const std::string& name, int size, uint32_t flags = 0) const
    {
        Font::CreateData data;
        data.name = name;
        data.size = size;
        data.flags = flags;
        data.engine = engine.get();
        return data;
    }

    std::unique_ptr<Font> fontOf(const std::string& name, int size, uint32_t flags = 0)
    {
        std::vector<uint8_t> bytes = testFontBytes(name);
        BAS::MemoryStream stream;
        stream.init(BAS::IStorage::eAccessRead, bytes.data(), bytes.size());
        return std::make_unique<Font>(stream, dataOf(name, size, flags));
    }

    std::shared_ptr<DETAIL::FreeType> engine = DETAIL::FreeType::create();
};

TEST_F(FontTest, FontFromAStreamHasItsFirstCache)
{
    auto font = fontOf("test-1000.ttf", 10, Font::eUnderline | Font::eHinting);
    ASSERT_NE(nullptr, font->currentCache());
    EXPECT_TRUE(font->isUnderlined());
    EXPECT_TRUE(font->isHinting());
    EXPECT_EQ(10, font->getCharHeight());
    EXPECT_EQ((DETAIL::SizeAndHinting{10, true}), font->currentCache()->getSizeAndHinting());
}

TEST_F(FontTest, SecondCreateIsRefusedAndKeepsTheCache)
{
    auto font = fontOf("test-1000.ttf", 10);
    DETAIL::FTRenderCache* first = font->currentCache();
    std::vector<uint8_t> bytes = testFontBytes("test-2048.ttf");
    BAS::MemoryStream stream;
    stream.init(BAS::IStorage::eAccessRead, bytes.data(), bytes.size());
    EXPECT_FALSE(font->create(stream, dataOf("test-2048.ttf", 12)));
    EXPECT_EQ(first, font->currentCache());
}

TEST_F(FontTest, FontsThatCannotBeMadeStayEmpty)
{
    Font::CreateData noResource = dataOf("", 12);
    Font fromNoResource(noResource);
    EXPECT_EQ(nullptr, fromNoResource.currentCache());
    EXPECT_FALSE(fromNoResource.create(noResource));

    BAS::MemoryStream emptyStream;
    emptyStream.init(BAS::IStorage::eAccessRead, nullptr, 0);
    Font fromNothing(emptyStream, dataOf("nothing.ttf", 12));
    EXPECT_EQ(nullptr, fromNothing.currentCache());
    EXPECT_EQ(10, fromNothing.getCharHeight());

    Font::CreateData noEngine = dataOf("test-1000.ttf", 12);
    noEngine.engine = nullptr;
    std::vector<uint8_t> bytes = testFontBytes("test-1000.ttf");
    BAS::MemoryStream stream;
    stream.init(BAS::IStorage::eAccessRead, bytes.data(), bytes.size());
    EXPECT_FALSE(Font(stream, noEngine).currentCache());
}

TEST_F(FontTest, SameKeySizeAndHintingShareOneCache)
{
    auto a = fontOf("test-1000.ttf", 12, Font::eHinting);
    auto b = fontOf("test-1000.ttf", 12, Font::eHinting | Font::eUnderline);
    auto bigger = fontOf("test-1000.ttf", 13, Font::eHinting);
    auto unhinted = fontOf("test-1000.ttf", 12);
    EXPECT_EQ(a->currentCache(), b->currentCache());
    EXPECT_NE(a->currentCache(), bigger->currentCache());
    EXPECT_NE(a->currentCache(), unhinted->currentCache());
}

TEST_F(FontTest, BackingScalesGetTheirOwnCaches)
{
    auto font = fontOf("test-1000.ttf", 12);
    DETAIL::FTRenderCache* atOne = font->currentCache();
    font->setBackingScaleFactor(2.0f);
    ASSERT_NE(nullptr, font->currentCache());
    EXPECT_EQ(24, font->currentCache()->getSizeAndHinting().first);
    DETAIL::FTRenderCache* atTwo = font->currentCache();
    font->setBackingScaleFactor(2.0f);
    EXPECT_EQ(atTwo, font->currentCache());
    EXPECT_EQ(2u, font->renderCaches().size());
    font->setBackingScaleFactor(1.0f);
    EXPECT_EQ(atOne, font->currentCache());
    EXPECT_EQ(2u, font->renderCaches().size());

    auto thirteen = fontOf("test-1000.ttf", 13);
    thirteen->setBackingScaleFactor(1.5f);
    ASSERT_NE(nullptr, thirteen->currentCache());
    EXPECT_EQ(20, thirteen->currentCache()->getSizeAndHinting().first);
}

TEST_F(FontTest, ScaleWithoutACacheMeasuresAsAnEmptyFont)
{
    auto bitmap = fontOf("test-bitmap.bdf", 12);
    ASSERT_NE(nullptr, bitmap->currentCache());
    bitmap->setBackingScaleFactor(2.0f);
    EXPECT_EQ(nullptr, bitmap->currentCache()) << "no 24-pixel strike";
    EXPECT_EQ(10, bitmap->getCharHeight());
    EXPECT_EQ(0, bitmap->getStringWidth("AAA"));
}

TEST_F(FontTest, FontsKeepTheEngineAliveAfterItIsDestroyed)
{
    auto systemLike = std::make_unique<FontEngine>();
    Font::CreateData data = dataOf("test-1000.ttf", 10);
    data.engine = systemLike->handle();
    std::vector<uint8_t> bytes = testFontBytes("test-1000.ttf");
    BAS::MemoryStream stream;
    stream.init(BAS::IStorage::eAccessRead, bytes.data(), bytes.size());
    Font font(stream, data);
    systemLike.reset();
    font.setBackingScaleFactor(2.0f);
    EXPECT_EQ(40, font.getStringWidth("AA"));
}

// The default font: resource "TTFd" 1 of the staged bundle.
class DefaultFontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string folder = VARANTO_BUNDLE_DIR;
        CFURLRef url = CFURLCreateFromFileSystemRepresentation(nullptr, reinterpret_cast<const UInt8*>(folder.data()),
                                                               static_cast<CFIndex>(folder.size()), true);
        bundle = CFBundleCreate(nullptr, url);
        CFRelease(url);
        ASSERT_NE(nullptr, bundle);
        refNum = CFBundleOpenBundleResourceMap(bundle);
    }
    void TearDown() override
    {
        if (bundle != nullptr) {
            CFBundleCloseBundleResourceMap(bundle, refNum);
            CFRelease(bundle);
        }
    }

    CFBundleRef bundle = nullptr;
    ResFileRefNum refNum = -1;
};

TEST_F(DefaultFontTest, ResourceOneIsTheDefaultFont)
{
    std::unique_ptr<BAS::Stream> stream(ResourceFacade::getResource(1, "TTFd", BAS::Endian::eLittleEndian));
    ASSERT_TRUE(stream);
    EXPECT_EQ(0, stream->getStorage()->getPos64());
    EXPECT_EQ(0x00000100u, stream->readU32()) << "the TrueType signature, read little-endian";

    Font::CreateData data;
    data.resourceId = 1;
    data.size = 12;
    data.flags = Font::eHinting;
    data.engine = getSystemFontEngine()->handle();
    Font font(data);
    ASSERT_NE(nullptr, font.currentCache());
    EXPECT_GT(font.getStringWidth("Varanto"), 0);
}

TEST(ResourceFacadeTest, MissingResourceIsReportedOnce)
{
    testing::internal::CaptureStderr();
    std::unique_ptr<BAS::Stream> stream(ResourceFacade::getResource(1000, "TTFd", BAS::Endian::eLittleEndian));
    EXPECT_EQ("cannot resolve resource: TTFd 1000\n", testing::internal::GetCapturedStderr());
    EXPECT_FALSE(stream);

    Font::CreateData data;
    data.resourceId = 1000;
    data.size = 12;
    data.engine = getSystemFontEngine()->handle();
    testing::internal::CaptureStderr();
    Font font(data);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(nullptr, font.currentCache());
}

TEST(ResourceFacadeTest, TableEntriesComeFirstInTheAskedByteOrder)
{
    unsigned char bytes[] = {0x12, 0x34, 0x56};
    ResourceFacade::g_theResourceMap.add(ResourceFacade::typeKey("TTFd"), 5, bytes, sizeof bytes);
    std::unique_ptr<BAS::Stream> big(ResourceFacade::getResource(5, "TTFd", BAS::Endian::eBigEndian));
    std::unique_ptr<BAS::Stream> little(ResourceFacade::getResource(5, "TTFd", BAS::Endian::eLittleEndian));
    ResourceFacade::clearResourceMap();
    ResourceFacade::clearResourceMap();
    EXPECT_TRUE(ResourceFacade::g_theResourceMap.empty());
    ASSERT_TRUE(big && little);
    EXPECT_EQ(0x1234, big->readU16());
    EXPECT_EQ(0x3412, little->readU16());
    EXPECT_EQ(bytes[0], 0x12) << "the stream does not own or change the bytes";
    EXPECT_EQ(0x54544664u, ResourceFacade::typeKey("TTFd"));
}

} // namespace
} // namespace FEN
} // namespace CV
