// Files and texts from anyone: whole-file reads refuse what is not a small
// regular file and say why; property lists refuse deep nesting; deeply
// nested collections are destroyed without recursing.
#include "TestSupport.h"

#include "platform/cf/CFArray.h"
#include "platform/cf/PropertyList.h"
#include "platform/system/SmallFile.h"
#include "platform/workspace/MountTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

using platform::MountTable;
using platform::SmallFile;
using platform::test::Owned;
using platform::test::TempFolder;

namespace {

void writeFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// depth containers inside <plist>, each opened by open and closed by close.
std::string nested(int depth, const std::string& open, const std::string& close)
{
    std::string text = "<plist>";
    for (int i = 0; i < depth; ++i)
        text += open;
    for (int i = 0; i < depth; ++i)
        text += close;
    return text + "</plist>";
}

TEST(SmallFile, ReadsOnlySmallRegularFiles)
{
    TempFolder folder;
    writeFile(folder.path() / "ten", "0123456789");
    struct Case {
        std::string path;
        std::size_t maxBytes;
        SmallFile::Failure failure;
        const char* reason;
    } const cases[] = {
        {(folder.path() / "ten").string(), 10, SmallFile::Failure::None, ""},
        {(folder.path() / "ten").string(), 9, SmallFile::Failure::TooLarge, "larger than 9 bytes"},
        {(folder.path() / "none").string(), 10, SmallFile::Failure::Missing, "No such file or directory"},
        {(folder.path() / "ten" / "x").string(), 10, SmallFile::Failure::Missing, "Not a directory"},
        {folder.path().string(), 10, SmallFile::Failure::NotRegular, "not a regular file"},
        {"/dev/zero", 1 << 20, SmallFile::Failure::NotRegular, "not a regular file"},
        // A pseudo file that claims no size is still held to the limit.
        {"/proc/self/mountinfo", 8, SmallFile::Failure::TooLarge, "larger than 8 bytes"},
    };
    for (const Case& c : cases) {
        std::string text = "stale";
        const SmallFile::Outcome outcome = SmallFile::read(c.path, c.maxBytes, text);
        EXPECT_EQ(outcome.failure, c.failure) << c.path;
        EXPECT_EQ(outcome.reason(), c.reason) << c.path;
        EXPECT_EQ(text, c.failure == SmallFile::Failure::None ? "0123456789" : "") << c.path;
    }
}

TEST(SmallFile, RefusesALinkAsLastComponentWhenAskedTo)
{
    TempFolder folder;
    writeFile(folder.path() / "ten", "0123456789");
    std::filesystem::create_symlink(folder.path() / "ten", folder.path() / "link");
    std::filesystem::create_directory_symlink(folder.path(), folder.path() / "up");
    struct Case {
        std::filesystem::path path;
        SmallFile::Links links;
        SmallFile::Failure failure;
        const char* reason;
    } const cases[] = {
        {folder.path() / "link", SmallFile::Links::Follow, SmallFile::Failure::None, ""},
        {folder.path() / "link", SmallFile::Links::Refuse, SmallFile::Failure::Link, "a symbolic link"},
        {folder.path() / "ten", SmallFile::Links::Refuse, SmallFile::Failure::None, ""},
        {folder.path() / "up" / "ten", SmallFile::Links::Refuse, SmallFile::Failure::None, ""},
        {folder.path() / "up" / "link", SmallFile::Links::Refuse, SmallFile::Failure::Link, "a symbolic link"},
    };
    for (const Case& c : cases) {
        std::string text;
        const SmallFile::Outcome outcome = SmallFile::read(c.path.string(), 10, text, c.links);
        EXPECT_EQ(outcome.failure, c.failure) << c.path;
        EXPECT_EQ(outcome.reason(), c.reason) << c.path;
        EXPECT_EQ(text, c.failure == SmallFile::Failure::None ? "0123456789" : "") << c.path;
    }
}

TEST(PropertyList, NestingIsLimited)
{
    constexpr int kMax = platform::cf::PropertyList::kMaxDepth;
    struct Container {
        const char* open;
        const char* close;
        const char* innermost; // ends the chain inside the last container
    } const containers[] = {{"<array>", "</array>", ""}, {"<dict><key>k</key>", "</dict>", "<true/>"}};
    for (const Container& c : containers) {
        SCOPED_TRACE(c.open);
        const auto list = [&c](int depth) {
            std::string text = nested(depth, c.open, c.close);
            return text.insert(text.find(c.close), c.innermost);
        };
        // The plist element itself counts as one level.
        Owned<CFTypeRef> deepest(platform::cf::PropertyList::parseXML(list(kMax)));
        EXPECT_NE(deepest.get(), nullptr);
        EXPECT_EQ(platform::cf::PropertyList::parseXML(list(kMax + 1)), nullptr);
    }
    EXPECT_EQ(platform::cf::PropertyList::parseXML(nested(200000, "<array>", "</array>")), nullptr);
}

TEST(PropertyList, CollectionsNestedDeeplyAreReleasedWithoutRecursion)
{
    CFMutableArrayRef outer = CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks);
    CFMutableArrayRef inner = outer;
    for (int i = 0; i < 500000; ++i) {
        CFMutableArrayRef next = CFArrayCreateMutable(kCFAllocatorDefault, 0, &kCFTypeArrayCallBacks);
        CFArrayAppendValue(inner, next);
        CFRelease(next);
        inner = next;
    }
    CFRelease(outer); // would overflow the stack one destructor per level
    SUCCEED();
}

TEST(PropertyList, RefusedFilesAreReportedInOneLine)
{
    TempFolder folder;
    writeFile(folder.path() / "big.plist", std::string(platform::cf::PropertyList::kMaxFileBytes + 1, ' '));
    struct Case {
        std::string path;
        std::string message; // empty: nothing said
    } const cases[] = {
        {(folder.path() / "missing.plist").string(), ""},
        {folder.path().string(), "property list " + folder.path().string() + ": not a regular file\n"},
        {"/dev/zero", "property list /dev/zero: not a regular file\n"},
        {(folder.path() / "big.plist").string(),
         "property list " + (folder.path() / "big.plist").string() + ": larger than 4194304 bytes\n"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(platform::cf::PropertyList::readXMLFile(c.path), nullptr) << c.path;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
    }
}

TEST(MountTable, RefusedTablesAreReportedInOneLine)
{
    TempFolder folder;
    struct Case {
        std::string path;
        std::string message;
    } const cases[] = {
        {(folder.path() / "missing").string(), ""},
        {folder.path().string(), "mount table " + folder.path().string() + ": not a regular file\n"},
        {"/dev/zero", "mount table /dev/zero: not a regular file\n"},
    };
    for (const Case& c : cases) {
        testing::internal::CaptureStderr();
        EXPECT_TRUE(MountTable::read(c.path).empty()) << c.path;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
    }
}

} // namespace
