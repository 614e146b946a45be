#include "platform/system/StandardFolders.h"

#include <gtest/gtest.h>

#include <glib.h>

using platform::StandardFolders;

namespace {

TEST(StandardFolders, HomeAndUnknownTypes)
{
    std::string path = "unchanged";
    EXPECT_FALSE(StandardFolders::find(StandardFolders::kUserDomain, 0x786D706C /* xmpl */, true, path));
    EXPECT_EQ(path, "unchanged");
    ASSERT_TRUE(StandardFolders::find(StandardFolders::kOnAppropriateDisk, 0x63757372 /* cusr */, false, path));
    EXPECT_EQ(path, g_get_home_dir());
}

TEST(StandardFolders, XdgFoldersComeFromTheUsersConfiguration)
{
    const char* documents = g_get_user_special_dir(G_USER_DIRECTORY_DOCUMENTS);
    std::string path;
    const bool found = StandardFolders::find(StandardFolders::kUserDomain, 0x646F6373 /* docs */, false, path);
    EXPECT_EQ(found, documents != nullptr && g_file_test(documents, G_FILE_TEST_IS_DIR));
    if (found) {
        EXPECT_EQ(path, documents);
    }
}

} // namespace
