#include "platform/volumes/ColonPath.h"
#include "platform/volumes/FileSystemItem.h"
#include "platform/volumes/MountTableSource.h"
#include "platform/volumes/VolumeList.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace platform::volumes;

namespace {

std::vector<std::string> namesOf(const std::vector<Volume>& volumes)
{
    std::vector<std::string> names;
    for (const Volume& volume : volumes)
        names.push_back(volume.name);
    return names;
}

} // namespace

TEST(MountTableSourceTest, ScopedPathRestoresThePreviousTable)
{
    const std::string before = MountTableSource::path();
    {
        MountTableSource::ScopedPath scoped("/elsewhere/mounts");
        EXPECT_EQ(MountTableSource::path(), "/elsewhere/mounts");
    }
    EXPECT_EQ(MountTableSource::path(), before);
}

TEST(VolumeListTest, KeepsRealFileSystemsOnFoldersWithTheBootVolumeFirst)
{
    CV::test::TemporaryFolder tree{"volumes-test"};
    const std::string usb = tree.folder("media/USB");
    const std::string share = tree.folder("net/share");
    const std::string colon = tree.folder("mnt/a:b");
    const std::string proc = tree.folder("proc");
    const std::string fileMount = tree.write("hosts");
    const std::vector<platform::MountEntry> entries = {
        {proc, "proc", "proc"},
        {usb, "vfat", "/dev/sdb1"},
        {"/", "overlay", "/dev/vda"},
        {fileMount, "ext4", "/dev/sda1"}, // a file mounted over a file
        {share, "nfs4", "server:/export"},
        {tree.string() + "/gone", "ext4", "/dev/sdd1"}, // mount point missing
        {colon, "exfat", "/dev/sde1"},
        {usb + "/", "ext4", "/dev/sdf1"}, // mounted over the first one
    };
    const std::vector<Volume> volumes = VolumeList::fromMountEntries(entries);
    EXPECT_EQ(namesOf(volumes), (std::vector<std::string>{"Computer", "USB", "share", "a/b"}));
    EXPECT_TRUE(volumes[0].isBoot);
    EXPECT_EQ(volumes[0].mountPoint, "/");
    EXPECT_EQ(volumes[0].device, "/dev/vda");
    EXPECT_EQ(volumes[1].fileSystemType, "ext4");
    EXPECT_EQ(volumes[2].kind, FileSystemKind::Network);
    EXPECT_EQ(namesOf(VolumeList::fromMountEntries({})), std::vector<std::string>{"Computer"});
}

TEST(VolumeListTest, FindsNamesExactlyFirstThenIgnoringCase)
{
    std::vector<Volume> volumes(3);
    volumes[0].name = "Computer";
    volumes[1].name = "Backup";
    volumes[2].name = "BACKUP";
    EXPECT_EQ(VolumeList::findByName(volumes, "BACKUP"), &volumes[2]);
    EXPECT_EQ(VolumeList::findByName(volumes, "backup"), &volumes[1]);
    EXPECT_EQ(VolumeList::findByName(volumes, "COMPUTER"), &volumes[0]);
    EXPECT_EQ(VolumeList::findByName(volumes, "Back"), nullptr);
    EXPECT_EQ(VolumeList::findByName(volumes, "B\xFF"), nullptr);
}

class ColonPathTest : public ::testing::Test {
protected:
    ColonPathTest()
    {
        m_volumes = VolumeList::fromMountEntries({{"/", "ext4", "/dev/vda"},
                                                  {m_tree.folder("media/Backup"), "ext4", "/dev/sdb1"},
                                                  {m_tree.folder("media/Backup/inner"), "ext4", "/dev/sdc1"}});
    }

    std::string backup() const { return m_tree.string() + "/media/Backup"; }
    static std::string onBootVolume(std::string path)
    {
        std::replace(path.begin(), path.end(), '/', ':');
        return "Computer" + path;
    }

    CV::test::TemporaryFolder m_tree{"volumes-test"};
    std::vector<Volume> m_volumes;
};

TEST_F(ColonPathTest, ColonToPosix)
{
    struct Case {
        std::string colon;
        bool ok;
        std::string posix;
    };
    const Case cases[] = {
        {"Computer", true, "/"},
        {"Computer:", true, "/"},
        {"Computer:usr:lib", true, "/usr/lib"},
        {"Computer:usr:lib:", true, "/usr/lib"},
        {"computer:etc", true, "/etc"},
        {"Backup:a b:c/d.txt", true, backup() + "/a b/c:d.txt"},
        {"Backup:x::y", true, backup() + "/x/../y"},
        {"Computer:caf\xC3\xA9:\xFF\xFE", true, "/caf\xC3\xA9/\xFF\xFE"},
        {":rel:file", true, "rel/file"},
        {"::up", true, "../up"},
        {":", true, "."},
        {"Nowhere:x", false, ""},
        {"file.txt", false, ""},
        {"", false, ""},
    };
    for (const Case& c : cases) {
        std::string posix = "unchanged";
        EXPECT_EQ(ColonPath::toPosix(c.colon, posix, m_volumes), c.ok) << c.colon;
        EXPECT_EQ(posix, c.ok ? c.posix : std::string("unchanged")) << c.colon;
    }
}

TEST_F(ColonPathTest, PosixToColonAndBack)
{
    struct Case {
        std::string posix;
        std::string colon;
        std::string back; // empty: same as posix
    };
    const Case cases[] = {
        {"/", "Computer", ""},
        {"/usr/lib/", "Computer:usr:lib", "/usr/lib"},
        {"//usr/./lib/../share", "Computer:usr:share", "/usr/share"},
        {"/tmp/a:b/c d", "Computer:tmp:a/b:c d", ""},
        {"/caf\xC3\xA9/\xFF", "Computer:caf\xC3\xA9:\xFF", ""},
        {backup(), "Backup", ""},
        {backup() + "/inner/x", "inner:x", ""},
        {backup() + "/dir/f.txt", "Backup:dir:f.txt", ""},
        {backup() + "x/y", onBootVolume(backup() + "x/y"), ""}, // not below the mount point
    };
    for (const Case& c : cases) {
        std::string colon;
        ASSERT_TRUE(ColonPath::fromPosix(c.posix, colon, m_volumes)) << c.posix;
        EXPECT_EQ(colon, c.colon) << c.posix;
        std::string posix;
        ASSERT_TRUE(ColonPath::toPosix(colon, posix, m_volumes)) << colon;
        EXPECT_EQ(posix, c.back.empty() ? c.posix : c.back) << colon;
    }
    std::string colon = "unchanged";
    EXPECT_FALSE(ColonPath::fromPosix("", colon, m_volumes));
    EXPECT_EQ(colon, "unchanged");
}

TEST_F(ColonPathTest, RelativePosixPathsStartAtTheCurrentFolder)
{
    char* cwd = ::getcwd(nullptr, 0);
    ASSERT_EQ(::chdir(backup().c_str()), 0);
    std::string colon;
    const bool ok = ColonPath::fromPosix("sub/../f", colon, m_volumes);
    ASSERT_EQ(::chdir(cwd), 0);
    std::free(cwd);
    EXPECT_TRUE(ok);
    EXPECT_EQ(colon, "Backup:f");
}

TEST(FileSystemItemTest, ReferencesAreCanonicalExistingPaths)
{
    CV::test::TemporaryFolder tree{"volumes-test"};
    const std::string folder = tree.folder("real");
    tree.write("real/f.txt");
    ASSERT_EQ(::symlink(folder.c_str(), (tree.string() + "/link").c_str()), 0);
    FSRef ref;
    bool isDirectory = false;
    ASSERT_TRUE(FileSystemItem::makeRef(tree.string() + "/link/./f.txt", ref, &isDirectory));
    EXPECT_EQ(ref.path, folder + "/f.txt");
    EXPECT_FALSE(isDirectory);
    ASSERT_TRUE(FileSystemItem::makeRef(tree.string() + "/link", ref, &isDirectory));
    EXPECT_EQ(ref.path, folder);
    EXPECT_TRUE(isDirectory);
    EXPECT_FALSE(FileSystemItem::makeRef(tree.string() + "/missing", ref));
    EXPECT_FALSE(FileSystemItem::makeRef("", ref));

    FSCatalogInfo info;
    ASSERT_TRUE(FileSystemItem::getCatalogInfo(ref, info));
    EXPECT_TRUE(info.nodeFlags & FSCatalogInfo::kNodeIsDirectoryMask);
    ASSERT_TRUE(FileSystemItem::makeRef(folder + "/f.txt", ref));
    ASSERT_TRUE(FileSystemItem::getCatalogInfo(ref, info));
    EXPECT_EQ(info.nodeFlags, 0);
    EXPECT_EQ(info.finderInfo.fileType, 0x3F3F3F3Fu);
    EXPECT_FALSE(FileSystemItem::getCatalogInfo(FSRef{tree.string() + "/missing"}, info));
}

TEST(FileSystemItemTest, PackagesAreFoldersWithAnExtensionAndContents)
{
    CV::test::TemporaryFolder tree{"volumes-test"};
    tree.folder("Tool.app/Contents");
    tree.write("Tool.app/Contents/PkgInfo", "APPLtool");
    tree.folder("Bare.bundle/Contents");
    tree.folder("NoExtension/Contents");
    tree.folder(".hidden/Contents");
    tree.folder("Empty.app");
    struct Case {
        std::string folder;
        bool package;
        uint32_t type;
        uint32_t creator;
    };
    const Case cases[] = {
        {"Tool.app", true, 0x4150504Cu, 0x746F6F6Cu},
        {"Bare.bundle", true, 0x3F3F3F3Fu, 0x3F3F3F3Fu},
        {"NoExtension", false, 0, 0},
        {".hidden", false, 0, 0},
        {"Empty.app", false, 0, 0},
        {"Missing.app", false, 0, 0},
    };
    for (const Case& c : cases) {
        uint32_t type = 0;
        uint32_t creator = 0;
        EXPECT_EQ(FileSystemItem::getPackageInfo(tree.string() + "/" + c.folder, type, creator), c.package) << c.folder;
        EXPECT_EQ(type, c.type) << c.folder;
        EXPECT_EQ(creator, c.creator) << c.folder;
    }
}

TEST(FileSystemItemTest, CreatesFilesButNotOverFolders)
{
    CV::test::TemporaryFolder tree{"volumes-test"};
    tree.folder("dir");
    const std::string existing = tree.write("kept.txt", "data");
    EXPECT_TRUE(FileSystemItem::createFile(tree.string() + "/new.bin"));
    EXPECT_TRUE(FileSystemItem::createFile(existing));
    std::ifstream in(existing);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "data");
    EXPECT_FALSE(FileSystemItem::createFile(tree.string() + "/dir"));
    EXPECT_FALSE(FileSystemItem::createFile(tree.string() + "/nofolder/x"));
}
