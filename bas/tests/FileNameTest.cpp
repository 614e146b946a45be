#include "BAS/FileName.h"
#include "BAS/FileManager.h"
#include "BAS/FileTypeManager.h"
#include "platform/volumes/MountTableSource.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

using CV::BAS::FileManager;
using CV::BAS::FileName;
using CV::BAS::FileTypeManager;
using platform::volumes::MountTableSource;

namespace {

std::string colonOf(std::string posix)
{
    std::replace(posix.begin(), posix.end(), '/', ':');
    return "Computer" + posix;
}

// A temporary tree with files, folders, a package and a mounted volume
// "Backup", seen through a mount table of its own.
class FileNameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FileTypeManager::init();
        m_root = m_temporary.string();
        folder("folder/sub");
        folder("media/Backup");
        folder("Thing.pkgx/Contents");
        file("Thing.pkgx/Contents/PkgInfo", "APPLthng");
        folder("Plain.app");
        file("sound.WAV", "RIFF0");
        file("notes.txt", "hello");
        file("pack.ext", "container");
        file("caf\xFF.txt");
        file("media/Backup/inside.wav");
        file("hostsfile");
        const std::string table = file("mounts",
                                       "/dev/vda / ext4 rw 0 0\n"
                                       "proc /proc proc rw 0 0\n"
                                       "/dev/sdb1 " +
                                           m_root +
                                           "/media/Backup vfat rw 0 0\n"
                                           "/dev/vda " +
                                           m_root + "/hostsfile ext4 rw 0 0\n");
        m_mounts = std::make_unique<MountTableSource::ScopedPath>(table);
    }

    void TearDown() override
    {
        m_mounts.reset();
        FileTypeManager::deInit();
    }

    std::string folder(const std::string& relative) const
    {
        std::filesystem::create_directories(m_root + "/" + relative);
        return m_root + "/" + relative;
    }
    std::string file(const std::string& relative, const std::string& content = "") const
    {
        std::ofstream(m_root + "/" + relative, std::ios::binary) << content;
        return m_root + "/" + relative;
    }
    // The colon path of the tree's root, without a trailing ':'.
    std::string root() const { return colonOf(m_root); }
    // The directory part of items directly in the tree's root.
    std::string rootDirectory() const { return root().substr(std::string("Computer").size()) + ":"; }

    static std::string typeName(const FileName& name) { return name.type ? name.type->name : std::string("(null)"); }

    CV::test::TemporaryFolder m_temporary{"filename-test"};
    std::string m_root;
    std::unique_ptr<MountTableSource::ScopedPath> m_mounts;
};

} // namespace

TEST_F(FileNameTest, SplitsByTheFileSystemOrByTheText)
{
    struct Case {
        std::string path;
        FileName::eMode mode;
        std::string full;
        std::string volume;
        std::string directory;
        std::string name;
        std::string extension;
        std::string subpath;
        std::string type;
        bool relative;
    };
    const std::string R = root();
    const std::string D = rootDirectory();
    const Case cases[] = {
        {"", FileName::eNone, "", "", "", "", "", "", "(null)", false},
        // existing items
        {R + ":sound.WAV", FileName::eFile, R + ":sound.WAV", "Computer", D, "sound", ".WAV", "", "WAV File", false},
        {R + ":notes.txt", FileName::eFile, R + ":notes.txt", "Computer", D, "notes", ".txt", "", "Unknown", false},
        {R + ":folder", FileName::eDirectory, R + ":folder:", "Computer", D + "folder:", "", "", "", "Directory",
         false},
        {R + ":folder:sub:", FileName::eDirectory, R + ":folder:sub:", "Computer", D + "folder:sub:", "", "", "",
         "Directory", false},
        {R + ":Thing.pkgx", FileName::eFile, R + ":Thing.pkgx", "Computer", D, "Thing", ".pkgx", "", "Executable File",
         false},
        {R + ":Plain.app", FileName::eDirectory, R + ":Plain.app:", "Computer", D + "Plain.app:", "", "", "",
         "Directory", false},
        {R + ":pack.ext<item<sub", FileName::eFile, R + ":pack.ext", "Computer", D, "pack", ".ext", "<item<sub",
         "Unknown", false},
        {R + ":folder<x", FileName::eDirectory, R + ":folder:", "Computer", D + "folder:", "", "", "", "Directory",
         false},
        {R + ":caf\xFF.txt", FileName::eFile, R + ":caf\xFF.txt", "Computer", D, "caf\xFF", ".txt", "", "Unknown",
         false},
        // volumes
        {"backup", FileName::eVolume, "backup", "backup", ":", "", "", "", "Volume", false},
        {"COMPUTER", FileName::eVolume, "COMPUTER", "COMPUTER", ":", "", "", "", "Volume", false},
        {"Backup:", FileName::eDirectory, "Backup:", "Backup", ":", "", "", "", "Directory", false},
        {"backup:inside.wav", FileName::eFile, "backup:inside.wav", "backup", ":", "inside", ".wav", "", "WAV File",
         false},
        // a file mounted over a file is no volume, and no volume root
        {"hostsfile", FileName::eFile, "hostsfile", "", "", "hostsfile", "", "", "(null)", true},
        // missing items: the text decides
        {R + ":missing:file.txt", FileName::eFile, R + ":missing:file.txt", "Computer", D + "missing:", "file", ".txt",
         "", "(null)", false},
        {"Vol:dir:file.txt", FileName::eFile, "Vol:dir:file.txt", "Vol", ":dir:", "file", ".txt", "", "(null)", false},
        {"Vol:dir:pack.ext<item<sub", FileName::eFile, "Vol:dir:pack.ext", "Vol", ":dir:", "pack", ".ext", "<item<sub",
         "(null)", false},
        {"Vol:a<b:file", FileName::eFile, "Vol:a<b:file", "Vol", ":a<b:", "file", "", "", "(null)", false},
        {"Vol:x:", FileName::eDirectory, "Vol:x:", "Vol", ":x:", "", "", "", "Directory", false},
        {"Vol:x:.hidden", FileName::eFile, "Vol:x:.hidden", "Vol", ":x:", ".hidden", "", "", "(null)", false},
        {"Vol:x:a.b.c", FileName::eFile, "Vol:x:a.b.c", "Vol", ":x:", "a.b", ".c", "", "(null)", false},
        {"Vol:x:end.", FileName::eFile, "Vol:x:end.", "Vol", ":x:", "end", ".", "", "(null)", false},
        {"file.txt", FileName::eFile, "file.txt", "", "", "file", ".txt", "", "(null)", true},
        {":a:b:", FileName::eDirectory, ":a:b:", "", ":a:b:", "", "", "", "Directory", true},
        {":a:f.png", FileName::eFile, ":a:f.png", "", ":a:", "f", ".png", "", "(null)", true},
        {"\xFF\xFE.t\xFFt", FileName::eFile, "\xFF\xFE.t\xFFt", "", "", "\xFF\xFE", ".t\xFFt", "", "(null)", true},
        {"B\xC3"
         "ckup:x",
         FileName::eFile,
         "B\xC3"
         "ckup:x",
         "B\xC3"
         "ckup",
         ":", "x", "", "", "(null)", false},
        // edge texts: a subpath with nothing before it leaves an empty path (long enough to live on the heap)
        {"<" + std::string(40, 'x'), FileName::eDirectory, "", "", "", "", "", "", "Directory", true},
        {"<", FileName::eDirectory, "", "", "", "", "", "", "Directory", true},
        {"<<7>", FileName::eDirectory, "", "", "", "", "", "", "Directory", true},
        {"Vol:<" + std::string(40, 'x'), FileName::eDirectory, "Vol:", "Vol", ":", "", "", "", "Directory", false},
        {":", FileName::eDirectory, ":", "", ":", "", "", "", "Directory", true},
        {"::", FileName::eDirectory, "::", "", "::", "", "", "", "Directory", true},
        {".", FileName::eFile, ".", "", "", ".", "", "", "(null)", true},
        {"Vol:.", FileName::eFile, "Vol:.", "Vol", ":", ".", "", "", "(null)", false},
    };
    for (const Case& c : cases) {
        FileName name;
        ASSERT_NO_THROW(name.setFull(c.path)) << c.path;
        EXPECT_EQ(name.mode, c.mode) << c.path;
        EXPECT_EQ(name.full, c.full) << c.path;
        EXPECT_EQ(name.volume, c.volume) << c.path;
        EXPECT_EQ(name.directory, c.directory) << c.path;
        EXPECT_EQ(name.name, c.name) << c.path;
        EXPECT_EQ(name.extension, c.extension) << c.path;
        EXPECT_EQ(name.subpath, c.subpath) << c.path;
        EXPECT_EQ(typeName(name), c.type) << c.path;
        EXPECT_EQ(name.relative, c.relative) << c.path;
        if (c.mode == FileName::eFile || c.mode == FileName::eDirectory) {
            EXPECT_EQ(name.volume + name.directory + name.name + name.extension, name.full) << c.path;
        }
    }
}

TEST_F(FileNameTest, AFileIsNeverTakenAsTheRootOfAVolume)
{
    FileName name;
    name.full = "notes.txt";
    ASSERT_TRUE(name.initFromFSRef(FSRef{m_root + "/notes.txt"}, nullptr));
    EXPECT_EQ(name.mode, FileName::eFile);
    EXPECT_EQ(name.name, "notes");
    EXPECT_EQ(name.extension, ".txt");
    EXPECT_EQ(name.directory, "");
    EXPECT_FALSE(name.initFromFSRef(FSRef{m_root + "/missing"}, nullptr));
}

TEST_F(FileNameTest, PosixPathsRoundTripThroughColonPaths)
{
    struct Case {
        std::string posix;
        std::string colon;
        FileName::eMode mode;
        std::string back; // "" : the POSIX path itself
    };
    const Case cases[] = {
        {m_root + "/notes.txt", root() + ":notes.txt", FileName::eFile, ""},
        {m_root + "/folder/", root() + ":folder:", FileName::eDirectory, m_root + "/folder"},
        {m_root + "/folder", root() + ":folder:", FileName::eDirectory, ""},
        {m_root + "/missing/new.txt", root() + ":missing:new.txt", FileName::eFile, ""},
        {m_root + "/caf\xFF.txt", root() + ":caf\xFF.txt", FileName::eFile, ""},
        {m_root + "/a:b.txt", root() + ":a/b.txt", FileName::eFile, ""},
        {m_root + "/media/Backup/inside.wav", "Backup:inside.wav", FileName::eFile, ""},
        {m_root + "/media/Backup/", "Backup:", FileName::eDirectory, m_root + "/media/Backup"},
        {"/", "Computer:", FileName::eDirectory, ""},
    };
    for (const Case& c : cases) {
        const FileName name{boost::filesystem::path(c.posix)};
        EXPECT_EQ(name.full, c.colon) << c.posix;
        EXPECT_EQ(name.mode, c.mode) << c.posix;
        EXPECT_EQ(name.getSystemPath(false, true), c.back.empty() ? c.posix : c.back) << c.posix;
        EXPECT_EQ(FileName(name.full).getSystemPath(false, false), name.getSystemPath(false, true)) << c.posix;
    }
    EXPECT_EQ(FileName::POSIX2HFSPath(reinterpret_cast<const unsigned char*>("")), "");
    EXPECT_EQ(FileName::POSIX2HFSPath(nullptr), "");
    EXPECT_EQ(FileName("Nowhere:x").getSystemPath(false, true), "");
    EXPECT_EQ(FileName().getSystemPath(true, true), "");
}

TEST_F(FileNameTest, ReferencesFollowSymbolicLinks)
{
    ASSERT_EQ(::symlink((m_root + "/folder").c_str(), (m_root + "/link").c_str()), 0);
    const FileName linked(root() + ":link:sub:");
    EXPECT_EQ(linked.mode, FileName::eDirectory);
    FSRef ref;
    unsigned char isDirectory = 0;
    ASSERT_TRUE(linked.getFSRef(ref, false, &isDirectory));
    EXPECT_EQ(ref.path, m_root + "/folder/sub");
    EXPECT_EQ(isDirectory, 1);
    EXPECT_EQ(linked.getSystemPath(false, true), m_root + "/link/sub");
    EXPECT_EQ(linked.getSystemPath(true, true), m_root + "/folder/sub");
    EXPECT_EQ(linked.getFilesystemPath(), boost::filesystem::path(m_root + "/folder/sub"));
    EXPECT_FALSE(FileName(root() + ":missing.txt").getFSRef(ref, true, nullptr));
}

TEST_F(FileNameTest, SetPathReplacesVolumeAndDirectory)
{
    struct Case {
        std::string start;
        std::string path;
        FileName::eWithVolume withVolume;
        std::string full;
        FileName::eMode mode;
    };
    const Case cases[] = {
        {"Other:y:f.txt", "Vol:x", FileName::eWithVolumeInPath, "Vol:x:f.txt", FileName::eFile},
        {"Other:y:f.txt<item", "Vol:x:", FileName::eWithVolumeInPath, "Vol:x:f.txt", FileName::eFile},
        {"Other:y:f.txt", ":z", FileName::eWithoutVolume, "Other:z:f.txt", FileName::eFile},
        {"", root() + ":folder", FileName::eWithVolumeInPath, root() + ":folder:", FileName::eDirectory},
        {"backup", "Backup", FileName::eWithVolumeInPath, "Backup:", FileName::eDirectory},
    };
    for (const Case& c : cases) {
        FileName name(c.start);
        name.setPath(c.path, c.withVolume);
        EXPECT_EQ(name.full, c.full) << c.start << " + " << c.path;
        EXPECT_EQ(name.mode, c.mode) << c.start << " + " << c.path;
        EXPECT_EQ(name.subpath, "") << c.start << " + " << c.path;
    }
}

TEST_F(FileNameTest, CopiesShareTheTypeAndClearEmptiesEverything)
{
    FileName name(root() + ":sound.WAV");
    const FileName copy = name;
    EXPECT_EQ(copy.full, name.full);
    EXPECT_EQ(copy.type, name.type);
    EXPECT_FALSE(name.setType(copy.type));
    EXPECT_TRUE(name.setType(nullptr));
    name.clear();
    EXPECT_EQ(name.full, "");
    EXPECT_EQ(name.directory, "");
    EXPECT_EQ(name.mode, FileName::eNone);
    EXPECT_EQ(name.type, nullptr);
    EXPECT_TRUE(name.setFull(""));
    std::string subpath = "kept";
    std::string path = "Vol:a<b:c";
    FileName::stripSubpath(path, subpath);
    EXPECT_EQ(path, "Vol:a<b:c");
    EXPECT_EQ(subpath, "kept");
}

TEST_F(FileNameTest, FileManagerOperations)
{
    const FileName created(root() + ":new.png");
    ASSERT_EQ(created.mode, FileName::eFile);
    FileName typed = created;
    typed.setType(FileTypeManager::getStdType(FileTypeManager::ePNG));
    EXPECT_FALSE(FileManager::createFile(created)) << "a name without a type";
    EXPECT_TRUE(FileManager::createFile(typed));
    EXPECT_TRUE(std::filesystem::is_regular_file(m_root + "/new.png"));

    struct CreateCase {
        std::string path;
        bool created;
    };
    const CreateCase creates[] = {
        {root() + ":notes.txt", true}, // exists already
        {root() + ":Thing.pkgx", true}, // a package folder
        {root() + ":folder", false}, // a directory name
        {root() + ":missing:x.txt", false}, // no parent folder
        {"Nowhere:x.txt", false}, // no such volume
        {"x.txt", false}, // no folder at all
        {"backup:made.wav", true},
    };
    for (const CreateCase& c : creates) {
        FileName name(c.path);
        if (!name.type)
            name.setType(FileTypeManager::getStdType(FileTypeManager::eUnknown));
        EXPECT_EQ(FileManager::createFile(name), c.created) << c.path;
    }
    EXPECT_EQ(std::filesystem::file_size(m_root + "/notes.txt"), 5u) << "an existing file is kept";

    EXPECT_EQ(FileManager::getFileSize(FileName(root() + ":notes.txt")), 5);
    EXPECT_EQ(FileManager::getFileSize(FileName(root() + ":missing.txt")), 0);
    EXPECT_EQ(FileManager::getFileSize(FileName("Nowhere:x")), 0);

    EXPECT_TRUE(FileManager::existsDir(FileName(root() + ":folder:sub:anything.txt")));
    EXPECT_TRUE(FileManager::existsDir(FileName(root() + ":folder")));
    EXPECT_FALSE(FileManager::existsDir(FileName(root() + ":missing:anything.txt")));
    EXPECT_FALSE(FileManager::existsDir(FileName(root() + ":notes.txt:x")));
    EXPECT_FALSE(FileManager::existsDir(FileName()));

    char* before = ::getcwd(nullptr, 0);
    ASSERT_EQ(::chdir((m_root + "/folder").c_str()), 0);
    FileName current("stale.txt");
    const bool got = FileManager::getCurDir(current);
    ASSERT_EQ(::chdir(before), 0);
    std::free(before);
    EXPECT_TRUE(got);
    EXPECT_EQ(current.full, root() + ":folder:");
    EXPECT_EQ(current.mode, FileName::eDirectory);
    EXPECT_EQ(current.name, "");
}

TEST_F(FileNameTest, AThousandNamesReadTheMountTableOnceAndAChangeOnceMore)
{
    const std::uint64_t before = MountTableSource::readCount();
    const std::string names[] = {root() + ":sound.WAV", root() + ":folder:", root() + ":missing.txt", "Backup"};
    for (int i = 0; i < 1000; ++i)
        FileName{names[i % 4]};
    EXPECT_EQ(MountTableSource::readCount(), before + 1);

    // A stick is plugged in: the table file is replaced.
    folder("media/Stick");
    const std::string table = m_root + "/mounts";
    std::ifstream old(table);
    const std::string text((std::istreambuf_iterator<char>(old)), std::istreambuf_iterator<char>());
    file("mounts.new", text + "/dev/sdc1 " + m_root + "/media/Stick vfat rw 0 0\n");
    std::filesystem::rename(table + ".new", table);
    for (int i = 0; i < 1000; ++i)
        ASSERT_EQ(FileName("Stick").mode, FileName::eVolume);
    EXPECT_EQ(MountTableSource::readCount(), before + 2);
}
