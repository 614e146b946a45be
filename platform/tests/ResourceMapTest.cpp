#include "platform/resources/ResourceMap.h"
#include "platform/tests/TestSupport.h"

#include <gtest/gtest.h>

using namespace platform::test;
using platform::resources::ResourceMap;

namespace {

constexpr ResType kFont = 0x54544664; // 'TTFd'

std::string bytesOf(Handle h)
{
    return h ? std::string(*h, static_cast<size_t>(GetHandleSize(h))) : "<none>";
}

class ResourceMapTest : public ::testing::Test {
protected:
    ResourceMapTest()
    {
        Owned<CFURLRef> url(CFURLCreateWithFileSystemPath(kCFAllocatorDefault, str(m_copy.bundlePath()).get(),
                                                          kCFURLPOSIXPathStyle, true));
        m_bundle = CFBundleCreate(kCFAllocatorDefault, url.get());
    }
    ~ResourceMapTest() override { CFRelease(m_bundle); }

    TestBundleCopy m_copy;
    CFBundleRef m_bundle = nullptr;
};

TEST_F(ResourceMapTest, FindsLinkedResourcesByTypeAndIdOrNameWhileTheMapIsOpen)
{
    const ResFileRefNum ref = CFBundleOpenBundleResourceMap(m_bundle);
    ASSERT_GT(ref, 0);
    struct Case {
        ResType type;
        int id;
        const char* name;
        const char* bytes;
    };
    const unsigned char defaultName[] = "\x07"
                                        "Default";
    const unsigned char missingName[] = "\x07"
                                        "Missing";
    const Case cases[] = {
        {kFont, 1, nullptr, "FONT1"},
        {kFont, 2, nullptr, "<none>"},
        {0x50494354 /* PICT */, 1, nullptr, "<none>"},
        {kFont, 0, reinterpret_cast<const char*>(defaultName), "NAMEDFONT"},
        {kFont, 0, reinterpret_cast<const char*>(missingName), "<none>"},
    };
    for (const Case& c : cases) {
        Handle h = c.name ? Get1NamedResource(c.type, reinterpret_cast<ConstStr255Param>(c.name))
                          : Get1Resource(c.type, static_cast<ResID>(c.id));
        EXPECT_EQ(bytesOf(h), c.bytes) << c.id;
        EXPECT_EQ(ResError(), h ? noErr : resNotFound);
        DetachResource(h);
        HLock(h);
        HUnlock(h);
        DisposeHandle(h);
    }
    CFBundleCloseBundleResourceMap(m_bundle, ref);
    EXPECT_EQ(Get1Resource(kFont, 1), nullptr);
}

TEST(ResourceMap, TypeCodesNameTheirFolders)
{
    EXPECT_EQ(ResourceMap::typeFolderName(0x54544664), "TTFd");
    EXPECT_EQ(ResourceMap::typeFolderName(0x6D6F2020), "mo  ");
    EXPECT_EQ(ResourceMap::typeFolderName(0x612F2500), "a%2F%25%00");
}

} // namespace
