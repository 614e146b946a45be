#include "platform/cf/CFURL.h"
#include "platform/tests/TestSupport.h"

#include <gtest/gtest.h>

using namespace platform::test;
using platform::cf::URL;

namespace {

std::string urlText(CFURLRef url)
{
    return url ? utf8(CFURLGetString(url)) : "<null>";
}

std::string posixPath(CFURLRef url)
{
    Owned<CFStringRef> path(CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle));
    return path ? utf8(path.get()) : "<null>";
}

TEST(CFURL, PosixPathsBecomeEncodedFileURLsAndComeBack)
{
    struct Case {
        const char* path;
        bool directory;
        const char* url;
        const char* pathBack;
    };
    const Case cases[] = {
        {"/", true, "file:///", "/"},
        {"/tmp/a b/c.txt", false, "file:///tmp/a%20b/c.txt", "/tmp/a b/c.txt"},
        {"/Apps/T.app", true, "file:///Apps/T.app/", "/Apps/T.app"},
        {"/x/100%#?", false, "file:///x/100%25%23%3F", "/x/100%#?"},
        {"/Grüße", false, "file:///Gr%C3%BC%C3%9Fe", "/Grüße"},
    };
    for (const Case& c : cases) {
        Owned<CFURLRef> url(
            CFURLCreateWithFileSystemPath(kCFAllocatorDefault, str(c.path).get(), kCFURLPOSIXPathStyle, c.directory));
        EXPECT_EQ(urlText(url.get()), c.url) << c.path;
        EXPECT_EQ(posixPath(url.get()), c.pathBack) << c.path;
        EXPECT_EQ(bool(CFURLHasDirectoryPath(url.get())), c.directory) << c.path;
    }
}

TEST(CFURL, RelativePathsAreTakenFromTheCurrentDirectory)
{
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    Owned<CFURLRef> url(
        CFURLCreateWithFileSystemPath(kCFAllocatorDefault, str("sub/file").get(), kCFURLPOSIXPathStyle, false));
    EXPECT_EQ(posixPath(url.get()), std::string(cwd) + "/sub/file");
}

TEST(CFURL, BytesMustFormAURL)
{
    struct Case {
        std::string bytes;
        bool valid;
    };
    const Case cases[] = {
        {"file:///tmp/x%20y", true}, {"http://example.org/a?b=c#d", true},
        {"file:///a b", false},      {"file:///a%2", false},
        {"file:///a%zz", false},     {"", false},
        {"file:///\xC3\xA9", false},
    };
    for (const Case& c : cases) {
        Owned<CFURLRef> url(CFURLCreateWithBytes(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(c.bytes.data()),
                                                 static_cast<CFIndex>(c.bytes.size()), kCFStringEncodingUTF8, nullptr));
        EXPECT_EQ(bool(url), c.valid) << c.bytes;
    }
}

TEST(CFURL, BytesAndFileSystemRepresentationRespectBufferSizes)
{
    Owned<CFURLRef> url(
        CFURLCreateWithFileSystemPath(kCFAllocatorDefault, str("/a b").get(), kCFURLPOSIXPathStyle, false));
    EXPECT_EQ(CFURLGetBytes(url.get(), nullptr, 0), 13);
    UInt8 small[4];
    EXPECT_EQ(CFURLGetBytes(url.get(), small, sizeof small), -1);
    UInt8 path[5];
    EXPECT_TRUE(CFURLGetFileSystemRepresentation(url.get(), true, path, sizeof path));
    EXPECT_STREQ(reinterpret_cast<char*>(path), "/a b");
    EXPECT_FALSE(CFURLGetFileSystemRepresentation(url.get(), true, path, 4));
}

TEST(CFURL, RelativeURLsResolveAgainstTheirBase)
{
    Owned<CFURLRef> base(CFURLCreateWithString(kCFAllocatorDefault, str("file:///res/skin/").get(), nullptr));
    Owned<CFURLRef> relative(CFURLCreateWithString(kCFAllocatorDefault, str("app%20x.css").get(), base.get()));
    EXPECT_EQ(posixPath(relative.get()), "/res/skin/app x.css");
    Owned<CFURLRef> absolute(CFURLCopyAbsoluteURL(relative.get()));
    EXPECT_EQ(urlText(absolute.get()), "file:///res/skin/app%20x.css");
    Owned<CFURLRef> appended(
        CFURLCreateCopyAppendingPathComponent(kCFAllocatorDefault, base.get(), str("a b").get(), true));
    EXPECT_EQ(urlText(appended.get()), "file:///res/skin/a%20b/");
}

TEST(CFURL, ColonPathsNeedTheVolumeLayersConverter)
{
    EXPECT_EQ(CFURLCreateWithFileSystemPath(kCFAllocatorDefault, str("Disk:a").get(), kCFURLHFSPathStyle, false),
              nullptr);
    const URL::ColonPathConverter previous = URL::colonPathConverter();
    URL::setColonPathConverter({[](const std::string& colon, std::string& posix) {
                                    posix = "/" + colon.substr(colon.find(':') + 1);
                                    return true;
                                },
                                [](const std::string& posix, std::string& colon) {
                                    colon = "Disk:" + posix.substr(1);
                                    return true;
                                }});
    Owned<CFURLRef> url(
        CFURLCreateWithFileSystemPath(kCFAllocatorDefault, str("Disk:a").get(), kCFURLHFSPathStyle, false));
    EXPECT_EQ(posixPath(url.get()), "/a");
    Owned<CFStringRef> colon(CFURLCopyFileSystemPath(url.get(), kCFURLHFSPathStyle));
    EXPECT_EQ(utf8(colon.get()), "Disk:a");
    URL::setColonPathConverter(previous);
}

TEST(CFURL, NonFileURLsHaveNoFileSystemPath)
{
    Owned<CFURLRef> url(CFURLCreateWithString(kCFAllocatorDefault, str("http://example.org/x").get(), nullptr));
    EXPECT_EQ(CFURLCopyFileSystemPath(url.get(), kCFURLPOSIXPathStyle), nullptr);
    Owned<CFStringRef> scheme(CFURLCopyScheme(url.get()));
    EXPECT_EQ(utf8(scheme.get()), "http");
}

} // namespace
