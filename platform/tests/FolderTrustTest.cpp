// Folders files are taken from only when nobody but the user or root can
// have put them there or change them.
#include "platform/system/FolderTrust.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace {

using platform::FolderTrust;

// The folders are judged for this user; another is kOther.
constexpr uid_t kUser = 65534;
constexpr uid_t kOther = 65533;
constexpr uid_t kRoot = 0;

struct Owned {
    uid_t owner;
    mode_t mode;
};

struct TrustCase {
    const char* name;
    Owned holder; // the folder holding "skin"
    Owned skin; // the folder, or the folder the link leads to
    bool link; // "skin" is a link to a folder beside the holder
    uid_t linkOwner;
    std::string reason; // empty: trusted
};

void PrintTo(const TrustCase& c, std::ostream* os)
{
    *os << c.name;
}

void own(const std::string& path, Owned const& owned)
{
    ASSERT_EQ(::lchown(path.c_str(), owned.owner, owned.owner), 0) << path;
    ASSERT_EQ(::chmod(path.c_str(), owned.mode), 0) << path;
}

class FolderTrustCases : public ::testing::TestWithParam<TrustCase> { };

TEST_P(FolderTrustCases, JudgeOwnersAndWhoMayWrite)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving folders to other users needs root";
    const TrustCase& c = GetParam();
    CV::test::TemporaryFolder folder{"folder-trust"};
    const std::string holder = folder.folder("holder");
    const std::string skin = holder + "/skin";
    if (c.link) {
        own(folder.folder("target"), c.skin);
        std::filesystem::create_directory_symlink("../target", skin);
        ASSERT_EQ(::lchown(skin.c_str(), c.linkOwner, c.linkOwner), 0);
    } else {
        own(folder.folder("holder/skin"), c.skin);
    }
    own(holder, c.holder);

    const FolderTrust::Verdict verdict = FolderTrust::judge(skin, kUser);
    EXPECT_EQ(bool(verdict), c.reason.empty());
    EXPECT_EQ(verdict.reason, c.reason);
    EXPECT_EQ(FolderTrust::judge(skin + "/", kUser).reason, c.reason);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FolderTrustCases,
    testing::Values(
        TrustCase{"theUsersOwn", {kUser, 0755}, {kUser, 0700}, false, 0, ""},
        TrustCase{"rootsInstalledFolder", {kRoot, 0755}, {kRoot, 0755}, false, 0, ""},
        TrustCase{"anotherUsers", {kUser, 0755}, {kOther, 0755}, false, 0, "it belongs to another user (uid 65533)"},
        TrustCase{"writableByAll", {kUser, 0755}, {kUser, 0777}, false, 0, "others may write to it (mode 0777)"},
        TrustCase{"writableByTheGroup", {kUser, 0755}, {kRoot, 0775}, false, 0, "others may write to it (mode 0775)"},
        TrustCase{"stickyButWritableByAll",
                  {kUser, 0755},
                  {kUser, 01777},
                  false,
                  0,
                  "others may write to it (mode 1777)"},
        TrustCase{"inAStickyFolderOfAll", {kRoot, 01777}, {kUser, 0755}, false, 0, ""},
        TrustCase{"inAFolderAllMayChange",
                  {kUser, 0777},
                  {kUser, 0755},
                  false,
                  0,
                  "others may change the folder holding it (mode 0777)"},
        TrustCase{"inAFolderOfAnotherUser",
                  {kOther, 0755},
                  {kUser, 0755},
                  false,
                  0,
                  "the folder holding it belongs to another user (uid 65533)"},
        TrustCase{"theUsersLinkToTheUsersFolder", {kUser, 0755}, {kUser, 0755}, true, kUser, ""},
        TrustCase{"anotherUsersLink",
                  {kRoot, 01777},
                  {kUser, 0755},
                  true,
                  kOther,
                  "it is a link that belongs to another user (uid 65533)"},
        TrustCase{"aLinkToAFolderAllMayWrite",
                  {kUser, 0755},
                  {kUser, 0777},
                  true,
                  kUser,
                  "others may write to it (mode 0777)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FolderTrust, WhatIsNoFolderIsNotTrusted)
{
    CV::test::TemporaryFolder folder{"folder-trust"};
    const std::string file = folder.write("file", "x");
    EXPECT_FALSE(FolderTrust::judge(file));
    EXPECT_FALSE(FolderTrust::judge(folder.at("missing")));
    EXPECT_FALSE(FolderTrust::judge(folder.at("missing/skin")));
    const std::string mine = folder.folder("mine");
    ::chmod(mine.c_str(), 0700);
    EXPECT_TRUE(FolderTrust::judge(mine));
}

} // namespace
