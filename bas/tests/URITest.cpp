#include "BAS/URI.h"
#include "BAS/BundlePath.h"
#include "BAS/DebugTrace.h"
#include "BAS/DecodeURI.h"
#include "BAS/FileName.h"
#include "BAS/FileTypeManager.h"
#include "BAS/SystemFolder.h"

#include "VarantoTest/TemporaryFolder.h"
#include <glib.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using CV::BAS::DebugTrace;
using CV::BAS::FileName;
using CV::BAS::FileTypeManager;
using CV::BAS::URI;
using CV::BAS::util::decodeURI;

TEST(DecodeURITest, DecodesEscapesAndPlusOrGivesNothing)
{
    struct Case {
        std::string text;
        std::string decoded;
    };
    const Case cases[] = {
        {"a%20b+c", "a b c"}, {"%41%42", "AB"}, {"%c3%A9", "\xC3\xA9"},
        {"plain", "plain"},   {"", ""},         {"abc%4", ""},
        {"abc%", ""},         {"%G1", ""},      {"%1G", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodeURI(c.text), c.decoded) << c.text;
}

TEST(DecodeURITest, WarnsInTheTraceGroup)
{
    char path[] = "/tmp/decodeuri-trace-XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    DebugTrace::s_fErr = std::fopen(path, "w");
    const int32_t mode = DebugTrace::s_theMode;
    DebugTrace::s_theMode = 1;
    DebugTrace::s_setDebugTraceGroups.insert("decodeURI");
    decodeURI("abc%4");
    std::fclose(DebugTrace::s_fErr);
    DebugTrace::s_fErr = nullptr;
    DebugTrace::s_theMode = mode;
    DebugTrace::s_setDebugTraceGroups.erase("decodeURI");
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    std::remove(path);
    EXPECT_EQ(line, "decodeURI: Warning: could not decode URI abc%4");
}

class URITest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FileTypeManager::init();
        m_root = m_temporary.string();
        std::filesystem::create_directories(m_root + "/dir");
        std::ofstream(m_root + "/caf\xC3\xA9 1.txt") << "x";
    }
    void TearDown() override { FileTypeManager::deInit(); }

    CV::test::TemporaryFolder m_temporary{"uri-test"};
    std::string m_root;
};

TEST_F(URITest, FileURLsAndColonPathsConvertBothWays)
{
    struct Case {
        std::string posix;
        bool directory;
    };
    const Case cases[] = {
        {m_root + "/caf\xC3\xA9 1.txt", false},
        {m_root + "/dir", true},
        {m_root + "/missing+more.txt", false},
    };
    for (const Case& c : cases) {
        const FileName name{boost::filesystem::path(c.posix)};
        URI uri(name);
        const std::string text = uri.get();
        EXPECT_EQ(text.rfind("file:///", 0), 0u) << text;
        EXPECT_EQ(text.back() == '/', c.directory) << text;
        std::string colon;
        ASSERT_TRUE(uri.getFileNameString(colon)) << text;
        std::string expected = name.full;
        if (c.directory)
            expected.pop_back(); // a folder's URL gives its path without the final ':'
        EXPECT_EQ(colon, expected);
        FileName back("stale");
        ASSERT_TRUE(uri.getFileName(back));
        EXPECT_EQ(back.full, name.full);
        EXPECT_EQ(back.mode, name.mode);
    }
}

TEST_F(URITest, FailuresLeaveTheNameAlone)
{
    URI none(static_cast<CFURLRef>(nullptr));
    std::string out = "unchanged";
    EXPECT_FALSE(none.getFileNameString(out));
    EXPECT_EQ(out, "unchanged");
    EXPECT_EQ(none.get(), "");

    URI malformed(static_cast<CFURLRef>(nullptr));
    ASSERT_TRUE(malformed.createCanonicalLocation("file:///tmp/bad%FFname"));
    EXPECT_FALSE(malformed.getFileNameString(out));
    EXPECT_EQ(out, "");
    FileName name("kept.txt");
    EXPECT_FALSE(malformed.getFileName(name));
    EXPECT_EQ(name.full, "kept.txt");

    URI web(static_cast<CFURLRef>(nullptr));
    ASSERT_TRUE(web.createCanonicalLocation("http://example.org/x"));
    EXPECT_EQ(web.get(), "http://example.org/x");
    out = "unchanged";
    EXPECT_FALSE(web.getFileNameString(out));
    EXPECT_EQ(out, "unchanged");
    EXPECT_FALSE(web.createCanonicalLocation(""));
    EXPECT_EQ(web.get(), "");

    URI copy(malformed);
    EXPECT_EQ(copy.get(), malformed.get());
    copy = web;
    EXPECT_EQ(copy.get(), "");
}

TEST_F(URITest, SystemFoldersAreExistingFolders)
{
    FileName home;
    ASSERT_TRUE(CV::BAS::getSystemFolder(-32767, 0x63757372 /* cusr */, home, false));
    EXPECT_EQ(home.mode, FileName::eDirectory);
    EXPECT_EQ(home.getSystemPath(true, true), std::filesystem::canonical(g_get_home_dir()).string());
    FileName other;
    EXPECT_FALSE(CV::BAS::getSystemFolder(-32767, 0x73646174 /* sdat */, other, false));
    EXPECT_EQ(other.full, "");
}

TEST(BundlePathTest, EmptyOutsideABundleAndFixedAfterTheFirstCall)
{
    const boost::filesystem::path& first = CV::BAS::getCurrentBundlePath();
    EXPECT_TRUE(first.empty());
    EXPECT_EQ(&CV::BAS::getCurrentBundlePath(), &first);
}
