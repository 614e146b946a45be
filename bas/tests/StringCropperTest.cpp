#include "BAS/StringCropper.h"
#include "BAS/FileName.h"
#include "BAS/SystemFolder.h"

#include "platform/volumes/MountTableSource.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <boost/filesystem/path.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <unistd.h>

using CV::BAS::StringCropper;

namespace {

// A measure of 10 per code point.
constexpr int kCodePointWidth = 10;

bool isContinuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

int countCodePoints(const char* text)
{
    int count = 0;
    for (; *text; ++text)
        count += isContinuationByte(*text) ? 0 : 1;
    return count;
}

const StringCropper::WidthOf kWidthOf = [](const char* text) { return countCodePoints(text) * kCodePointWidth; };

const StringCropper::PrefixBytes kPrefixBytes = [](const char* text, int width) {
    int fitting = width < 0 ? 0 : width / kCodePointWidth;
    int bytes = 0;
    while (text[bytes] && fitting > 0) {
        ++bytes;
        while (isContinuationByte(text[bytes]))
            ++bytes;
        --fitting;
    }
    return bytes;
};

std::string crop(int mode, const std::string& ellipsis, const std::string& text, int width)
{
    StringCropper cropper;
    cropper.mode = mode;
    cropper.ellipsis = ellipsis;
    return cropper.cropString(text, width, kWidthOf, kPrefixBytes);
}

struct CropCase {
    int mode;
    const char* ellipsis;
    const char* text;
    int width;
    const char* expected;
};

void PrintTo(const CropCase& c, std::ostream* os)
{
    *os << "mode " << c.mode << " '" << c.ellipsis << "' \"" << c.text << "\" width " << c.width;
}

class CropTest : public ::testing::TestWithParam<CropCase> { };

TEST_P(CropTest, GivesTheExpectedText)
{
    const CropCase& c = GetParam();
    const std::string result = crop(c.mode, c.ellipsis, c.text, c.width);
    EXPECT_EQ(result, c.expected);
    if (c.mode >= 1 && c.mode <= 11) {
        EXPECT_LE(kWidthOf(result.c_str()), std::max(c.width, 0)) << result;
    }
}

const char* const kAlphabet = "abcdefghijklmno"; // 150 wide

INSTANTIATE_TEST_SUITE_P(
    EveryMode, CropTest,
    ::testing::Values(
        CropCase{0, "...", kAlphabet, 100, "abcdefghijklmno"}, CropCase{-3, "...", kAlphabet, 100, "abcdefghijklmno"},
        CropCase{12, "...", kAlphabet, 100, "abcdefghijklmno"}, CropCase{1, "...", kAlphabet, 100, "abcdefg..."},
        CropCase{1, "...", kAlphabet, 150, "abcdefghijklmno"}, CropCase{1, "...", kAlphabet, 35, "..."},
        CropCase{1, "", kAlphabet, 55, "abcde"}, CropCase{2, "...", kAlphabet, 100, "...ijklmno"},
        CropCase{2, "", kAlphabet, 55, "klmno"}, CropCase{3, "...", kAlphabet, 100, "...ijklmno"},
        CropCase{7, "...", kAlphabet, 100, "abcdfghjkl"}, CropCase{8, "...", kAlphabet, 100, "Abcdf"},
        CropCase{9, "...", kAlphabet, 100, "Abcdf"}, CropCase{10, "...", kAlphabet, 100, "abc...lmno"},
        CropCase{11, "...", kAlphabet, 100, "abc...lmno"}, CropCase{10, "...", kAlphabet, 149, "abcde...jklmno"},
        CropCase{11, "...", kAlphabet, 149, "abcde...jklmno"}));

// The ellipsis alone is wider than the room.
INSTANTIATE_TEST_SUITE_P(
    WideEllipsis, CropTest,
    ::testing::Values(CropCase{1, "...", kAlphabet, 25, "ab"}, CropCase{2, "...", kAlphabet, 25, "no"},
                      CropCase{10, "...", kAlphabet, 25, "ab"}, CropCase{3, "...", "Disk:Users:me:Desktop", 25, "op"},
                      CropCase{6, "...", "Disk:Users:me:Desktop:", 25, "op"}, CropCase{11, "...", kAlphabet, 25, "no"},
                      CropCase{11, "...", kAlphabet, 0, ""}));

// Multi-byte code points are never split and count once.
INSTANTIATE_TEST_SUITE_P(NonAscii, CropTest,
                         ::testing::Values(CropCase{1, "\xE2\x80\xA6", "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xE2\x82\xAC",
                                                    40, "\xC3\xA4\xC3\xB6\xC3\xBC\xE2\x80\xA6"},
                                           CropCase{2, "\xE2\x80\xA6", "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xE2\x82\xAC",
                                                    40, "\xE2\x80\xA6\xC3\xBC\xC3\x9F\xE2\x82\xAC"},
                                           CropCase{10, "\xE2\x80\xA6", "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xE2\x82\xAC",
                                                    40, "\xC3\xA4\xE2\x80\xA6\xC3\x9F\xE2\x82\xAC"},
                                           CropCase{11, "\xE2\x80\xA6", "\xC3\xA4\xC3\xB6\xC3\xBC\xC3\x9F\xE2\x82\xAC",
                                                    40, "\xE2\x80\xA6\xC3\xBC\xC3\x9F\xE2\x82\xAC"},
                                           CropCase{7, "",
                                                    "Gr\xC3\xBC\xC3\x9F"
                                                    "e aus K\xC3\xB6ln",
                                                    80, "GrausKln"},
                                           CropCase{8, "",
                                                    "gr\xC3\xBC\xC3\x9F"
                                                    "e aus k\xC3\xB6ln",
                                                    80, "GrAsKln"}));

INSTANTIATE_TEST_SUITE_P(
    Compression, CropTest,
    ::testing::Values(
        CropCase{7, "", "Hello  World", 0, ""}, CropCase{7, "", "Hello  World", 100, "HelloWorld"},
        CropCase{7, "", "Hello  World", 90, "HeloWorld"}, CropCase{7, "", "Hello  World", 80, "HloWorld"},
        CropCase{7, "", "Hello  World", 60, "HlWrld"}, CropCase{7, "", "Hello  World", 40, "HlWr"},
        CropCase{7, "", "pieces out", 70, "pcesout"}, CropCase{8, "", "load the file 2", 120, "LoadTheFile2"},
        CropCase{8, "", "load the file 2", 110, "LdThFl2"}, CropCase{8, "", "load the file 2", 50, "LdThF"},
        CropCase{8, "", "keyboard firmware 2024", 140, "KybrdFrmwr2024"},
        CropCase{8, "", "keyboard firmware 2024", 120, "KybrFrmw2024"},
        CropCase{8, "", "keyboard firmware 2024", 110, "KybFrm2024"},
        CropCase{8, "", "keyboard firmware 2024", 80, "KyFr2024"}, CropCase{8, "", "-- ! load  me", 60, "LoadMe"},
        CropCase{8, "", "... !!", 10, ""}, CropCase{8, "", "load the file", -5, ""}));

INSTANTIATE_TEST_SUITE_P(Paths, CropTest,
                         ::testing::Values(CropCase{5, "...", "Disk:Users:me:Desktop:", 210, "Disk:Users:me:Desktop"},
                                           CropCase{5, "...", "Disk:Users:me:Desktop:", 160, "Disk:...:Desktop"},
                                           CropCase{5, "...", "Disk:Users:me:Desktop:", 200, "Disk:...:me:Desktop"},
                                           CropCase{5, "...", "Disk:Users:me:Desktop:", 150, "...s:me:Desktop"},
                                           CropCase{3, "...", "Disk:Users:me:Desktop:", 170, "Disk:...:Desktop:"},
                                           CropCase{3, "...", "Disk:Users:Desktop:", 180, "Disk:...:Desktop:"},
                                           CropCase{3, "...", "Disk:Desktop:", 100, "...esktop:"},
                                           CropCase{3, "...", "Disk:Users:me:Desktop", 100, "...Desktop"},
                                           CropCase{3, "...", "a:bbbbbbbbbb:c:dddddddddd:e:f", 200,
                                                    "a:bbbbbbbbbb:...:e:f"},
                                           CropCase{5, "...", ":", 0, ""}));

TEST(CropTest, MalformedTextThrows)
{
    // Bad bytes where each strategy walks the text.
    for (int mode : {2, 10, 11})
        EXPECT_THROW(crop(mode, "...",
                          "abcd\xFF"
                          "fghi\xFF"
                          "klmno",
                          100),
                     std::out_of_range)
            << "mode " << mode;
}

TEST(CropTest, MissingCallbackThrows)
{
    StringCropper cropper;
    cropper.mode = 1;
    EXPECT_THROW(cropper.cropString("abc", 10, StringCropper::WidthOf(), kPrefixBytes), std::bad_function_call);
}

TEST(AbbreviationTest, ReplacesCaseInsensitivelyUntilTheTextFits)
{
    StringCropper cropper;
    cropper.mode = 9;
    cropper.abbreviations = {{"", "x"}, {"firmware", "FW"}, {"Keyboard", "Kbd"}};
    const std::string text = "KEYBOARD firmware, firmware keyboard";
    const auto at = [&](int width) { return cropper.cropString(text, width, kWidthOf, kPrefixBytes); };
    EXPECT_EQ(at(360), text);
    EXPECT_EQ(at(350), "Kbd firmware, firmware keyboard");
    EXPECT_EQ(at(300), "Kbd firmware, firmware Kbd");
    EXPECT_EQ(at(240), "Kbd FW, firmware Kbd");
    EXPECT_EQ(at(150), "Kbd FW, FW Kbd");
    EXPECT_EQ(at(100), "KbdFWFWKbd"); // then compressed as words
}

TEST(AbbreviationTest, ReplacementHoldingTheKeyEnds)
{
    StringCropper cropper;
    cropper.mode = 9;
    cropper.abbreviations = {{"a", "aa"}};
    EXPECT_EQ(cropper.cropString("a a a", 30, kWidthOf, kPrefixBytes), "AAA");
}

// Folders in a temporary tree, named through a mount table of the test's own.
class FolderAliasTest : public ::testing::Test {
protected:
    FolderAliasTest()
        : m_root(m_temporary.string())
        , m_table(writeTable(m_root))
    {
    }

    static std::string writeTable(const std::string& root)
    {
        const std::string path = root + "/mounts";
        std::ofstream(path) << "/dev/sda1 / ext4 rw 0 0\n";
        return path;
    }
    CV::BAS::FileName folder(const std::string& relative) const
    {
        std::filesystem::create_directories(m_root + "/" + relative);
        return CV::BAS::FileName(boost::filesystem::path(m_root + "/" + relative + "/"));
    }
    // The colon path of the tree's root.
    std::string colonRoot() const
    {
        std::string colon = m_root;
        std::replace(colon.begin(), colon.end(), '/', ':');
        return "Computer" + colon;
    }

    CV::test::TemporaryFolder m_temporary{"cropper-test"};
    std::string m_root;
    std::string m_table;
    platform::volumes::MountTableSource::ScopedPath m_tableSource{m_table};
};

TEST_F(FolderAliasTest, TheInnermostFolderHoldingThePathGivesItsAlias)
{
    StringCropper::addAlias(folder("me"));
    StringCropper::addAlias(folder("me/Documents"));
    EXPECT_EQ(StringCropper::s_mapSymbolicFolders[colonRoot() + ":me:Documents"], "[Documents]");

    const std::string documents = colonRoot() + ":me:Documents";
    const struct {
        int mode;
        std::string text;
        const char* expected;
    } cases[] = {
        {4, documents + ":Firmware:update.bin", "[Documents]:Firmware:update.bin"},
        {4, documents + ":Firmware:", "[Documents]:Firmware:"},
        {6, documents + ":Firmware:", "[Documents]:Firmware"},
        {4, colonRoot() + ":me:Music:a", "[me]:Music:a"},
        {6, colonRoot() + ":me:", "[me]"},
        {4, colonRoot() + ":meg:a", nullptr}, // another folder that only begins alike
        {3, documents + ":Firmware:update.bin", nullptr},
        {5, documents + ":a", nullptr},
    };
    for (const auto& c : cases) {
        const std::string expected = c.expected ? c.expected : c.text;
        EXPECT_EQ(crop(c.mode, "...", c.text, 1000), expected) << c.text;
    }
    EXPECT_EQ(crop(4, "...", documents + ":Firmware:Keyboards:update.bin", 270), "[Documents]:...:update.bin");
}

TEST_F(FolderAliasTest, FoldersWithoutAColonPathGetNoAlias)
{
    const std::size_t before = StringCropper::s_mapSymbolicFolders.size();
    StringCropper::addAlias(CV::BAS::FileName("Loose"));
    StringCropper::addAlias(CV::BAS::FileName());
    EXPECT_EQ(StringCropper::s_mapSymbolicFolders.size(), before);
}

TEST_F(FolderAliasTest, TheHomeFolderIsAmongTheSystemFolders)
{
    StringCropper::initFileNameAliasMap();
    EXPECT_TRUE(StringCropper::s_bSymbolicFoldersInitialized);
    CV::BAS::FileName home;
    ASSERT_TRUE(CV::BAS::getSystemFolder(-32767, 0x63757372, home, false));
    std::string key = home.full;
    key.pop_back();
    const std::string alias = "[" + key.substr(key.rfind(':') + 1) + "]";
    EXPECT_EQ(StringCropper::s_mapSymbolicFolders[key], alias);
    EXPECT_EQ(crop(4, "", key + ":notes", 1000), alias + ":notes");
}

} // namespace
