#include "platform/workspace/MountTableCache.h"
#include "platform/volumes/ColonPath.h"
#include "platform/volumes/MountTableSource.h"
#include "platform/volumes/VolumeList.h"
#include "platform/workspace/MountTableWatcher.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

using platform::MountEntry;
using platform::MountTable;
using platform::MountTableCache;
using platform::MountTableWatcher;
using platform::volumes::ColonPath;
using platform::volumes::MountTableSource;
using platform::volumes::Volume;
using platform::volumes::VolumeList;

namespace {

constexpr int kLooks = 1000;

// Replaces the file in one step, as the kernel's table changes.
void replaceFile(const std::string& path, const std::string& text)
{
    std::ofstream(path + ".new") << text;
    std::rename((path + ".new").c_str(), path.c_str());
}

std::string mountsLine(const std::string& device, const std::string& mountPoint, const std::string& type)
{
    return device + " " + mountPoint + " " + type + " rw 0 0\n";
}

bool mentions(const std::vector<MountEntry>& entries, const std::string& mountPoint)
{
    return std::any_of(entries.begin(), entries.end(),
                       [&](const MountEntry& entry) { return entry.mountPoint == mountPoint; });
}

std::vector<std::string> volumeNames()
{
    std::vector<std::string> names;
    for (const Volume& volume : VolumeList::mounted())
        names.push_back(volume.name);
    return names;
}

// A table file of the test's own with the boot volume and "Backup", set as
// the source's table while the fixture lives.
class MountTableSourceReads : public ::testing::Test {
protected:
    std::string baseTable() const
    {
        return mountsLine("/dev/vda", "/", "ext4") + mountsLine("proc", "/proc", "proc") +
            mountsLine("/dev/sdb1", m_tree.folder("media/Backup"), "ext4");
    }
    std::string withStick() const
    {
        return baseTable() + mountsLine("/dev/sdc1", m_tree.folder("media/Stick"), "vfat");
    }

    CV::test::TemporaryFolder m_tree{"mount-cache-test"};
    const std::string m_table = m_tree.write("mounts", baseTable());
    MountTableSource::ScopedPath m_source{m_table};
};

} // namespace

TEST(MountTableCacheTest, ATableFileIsReadOnceForEachChange)
{
    CV::test::TemporaryFolder folder{"mount-cache-test"};
    const std::string path = folder.at("mounts");
    MountTableCache cache(path);

    // Missing at first: an empty table, read once, until the file comes.
    for (int i = 0; i < kLooks; ++i)
        EXPECT_TRUE(cache.entries()->empty());
    EXPECT_EQ(cache.readCount(), 1u);

    replaceFile(path, mountsLine("/dev/vda", "/", "ext4"));
    const MountTableCache::Entries first = cache.entries();
    for (int i = 0; i < kLooks; ++i)
        ASSERT_EQ(cache.entries(), first);
    EXPECT_EQ(cache.readCount(), 2u);
    EXPECT_FALSE(cache.refresh());

    replaceFile(path, mountsLine("/dev/vda", "/", "ext4") + mountsLine("/dev/sdb1", "/media/USB", "vfat"));
    EXPECT_TRUE(cache.refresh());
    for (int i = 0; i < kLooks; ++i)
        cache.entries();
    EXPECT_EQ(cache.readCount(), 3u);
    EXPECT_TRUE(mentions(*cache.entries(), "/media/USB"));
    EXPECT_TRUE(mentions(*first, "/") && !mentions(*first, "/media/USB")) << "an earlier list is kept as it was";

    // Rewritten in place, longer.
    std::ofstream(path, std::ios::app) << mountsLine("/dev/sdc1", "/media/Disc", "iso9660");
    EXPECT_TRUE(mentions(*cache.entries(), "/media/Disc"));
    EXPECT_EQ(cache.readCount(), 4u);
}

// In a child process with a mount namespace of its own (root only): a
// mount and an unmount there each make the source read the kernel's table
// exactly once, however often it is looked at.
TEST(MountTableCacheTest, TheKernelTableIsReadAgainOnlyAfterTheKernelSignalsAChange)
{
    CV::test::TemporaryFolder folder{"mount-cache-test"};
    const std::string mountPoint = folder.folder("point");
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(report[0]);
        auto fail = [&](const std::string& what) {
            const ssize_t ignored = ::write(report[1], what.data(), what.size());
            (void)ignored;
            ::_exit(1);
        };
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            ::_exit(77);
        MountTableSource::setPath(""); // the kernel's table, as this namespace shows it
        const std::uint64_t before = MountTableSource::readCount();
        auto look = [] {
            MountTableCache::Entries entries;
            for (int i = 0; i < kLooks; ++i)
                entries = MountTableSource::entries();
            return entries;
        };
        if (mentions(*look(), mountPoint) || MountTableSource::readCount() != before + 1)
            fail("the first looks read the table " + std::to_string(MountTableSource::readCount() - before) + " times");
        if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0)
            ::_exit(77);
        if (!mentions(*look(), mountPoint) || MountTableSource::readCount() != before + 2)
            fail("after a mount: read " + std::to_string(MountTableSource::readCount() - before) + " times");
        if (::umount(mountPoint.c_str()) != 0)
            fail("cannot unmount");
        if (mentions(*look(), mountPoint) || MountTableSource::readCount() != before + 3)
            fail("after an unmount: read " + std::to_string(MountTableSource::readCount() - before) + " times");
        ::_exit(0);
    }
    ::close(report[1]);
    std::string message;
    char buffer[256];
    for (ssize_t got; (got = ::read(report[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<std::size_t>(got));
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << "no mount namespace of our own here (needs root)";
    EXPECT_EQ(WEXITSTATUS(status), 0) << message;
}

TEST_F(MountTableSourceReads, AThousandLooksReadTheTableOnceAndAChangeOnceMore)
{
    const std::uint64_t before = MountTableSource::readCount();
    const std::string backup = m_tree.at("media/Backup/file.txt");
    for (int i = 0; i < kLooks; ++i) {
        std::string colon;
        ASSERT_TRUE(ColonPath::fromPosix(backup, colon));
        ASSERT_EQ(colon, "Backup:file.txt");
    }
    EXPECT_EQ(MountTableSource::readCount(), before + 1);

    replaceFile(m_table, withStick());
    for (int i = 0; i < kLooks; ++i)
        ASSERT_EQ(volumeNames(), (std::vector<std::string>{"Computer", "Backup", "Stick"}));
    EXPECT_EQ(MountTableSource::readCount(), before + 2);

    // Another table, then this one again: each is read anew.
    {
        MountTableSource::ScopedPath other(m_tree.write("other", mountsLine("/dev/vda", "/", "ext4")));
        EXPECT_EQ(volumeNames(), std::vector<std::string>{"Computer"});
    }
    EXPECT_EQ(volumeNames(), (std::vector<std::string>{"Computer", "Backup", "Stick"}));
    EXPECT_EQ(MountTableSource::readCount(), before + 4);
}

// Lookups on worker threads while the table changes under them: each sees
// one whole table, the old or the new.
TEST_F(MountTableSourceReads, LooksFromManyThreadsSeeWholeTables)
{
    const std::vector<std::string> base{"Computer", "Backup"};
    const std::vector<std::string> stick{"Computer", "Backup", "Stick"};
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&] {
            while (!stop) {
                const std::vector<std::string> names = volumeNames();
                if (names != base && names != stick)
                    ++torn;
            }
        });
    const std::uint64_t before = MountTableSource::readCount();
    for (int change = 0; change < 20; ++change) {
        replaceFile(m_table, change % 2 == 0 ? withStick() : baseTable());
        const std::vector<std::string>& expected = change % 2 == 0 ? stick : base;
        EXPECT_EQ(volumeNames(), expected);
    }
    stop = true;
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(torn, 0);
    // A change between taking the stamp and reading costs one read more.
    EXPECT_LE(MountTableSource::readCount(), before + 2 * 20);
}

// A read that fails (the system out of descriptors or memory, a table file
// refused) does not stand for the table: the last one read stays, the next
// look reads again though nothing changed, and why is said once.
class FailingReader {
public:
    MountTableCache::Reader reader()
    {
        return [this](const std::string& path, std::vector<MountEntry>& entries, std::string& problem) {
            if (failures == 0)
                return MountTable::read(path, entries, problem);
            --failures;
            problem = "Too many open files";
            return false;
        };
    }
    int failures = 0;
};

class MountTableCacheFailedReads : public ::testing::TestWithParam<bool> { };

TEST_P(MountTableCacheFailedReads, AreReadAgainAtTheNextLook)
{
    CV::test::TemporaryFolder folder{"mount-cache-test"};
    const bool kernelTable = GetParam();
    const std::string path = kernelTable ? std::string(MountTable::kDefaultPath)
                                         : folder.write("mounts", mountsLine("/dev/vda", "/", "ext4"));
    const std::vector<MountEntry> table = MountTable::read(path);
    ASSERT_FALSE(table.empty());
    FailingReader failing;
    failing.failures = 2;
    MountTableCache cache(path, failing.reader());

    testing::internal::CaptureStderr();
    EXPECT_TRUE(cache.entries()->empty()) << "nothing read yet";
    EXPECT_TRUE(cache.entries()->empty());
    EXPECT_EQ(*cache.entries(), table);
    EXPECT_EQ(*cache.entries(), table);
    EXPECT_EQ(cache.readCount(), 3u);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "mount table " + path + ": Too many open files\n");
}

INSTANTIATE_TEST_SUITE_P(Table, MountTableCacheFailedReads, testing::Values(false, true),
                         [](const auto& info) { return std::string(info.param ? "kernelTable" : "tableFile"); });

TEST(MountTableCacheTest, AFailedReadAfterAChangeKeepsTheTableReadBefore)
{
    CV::test::TemporaryFolder folder{"mount-cache-test"};
    const std::string path = folder.write("mounts", mountsLine("/dev/vda", "/", "ext4"));
    FailingReader failing;
    MountTableCache cache(path, failing.reader());
    const MountTableCache::Entries first = cache.entries();

    replaceFile(path, mountsLine("/dev/vda", "/", "ext4") + mountsLine("/dev/sdb1", "/media/USB", "vfat"));
    failing.failures = 1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(cache.entries(), first);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "mount table " + path + ": Too many open files\n");
    EXPECT_TRUE(mentions(*cache.entries(), "/media/USB"));
    EXPECT_EQ(cache.readCount(), 3u);
}

// The workspace's watcher and the volumes look at one table, read once.
TEST_F(MountTableSourceReads, TheWatcherAndTheVolumesShareOneReadOfTheTable)
{
    const std::uint64_t before = MountTableSource::readCount();
    MountTableWatcher watcher(std::chrono::hours(1), [](MountTableWatcher::Change, const MountEntry&) {});
    EXPECT_EQ(volumeNames(), (std::vector<std::string>{"Computer", "Backup"}));
    watcher.checkNow();
    EXPECT_EQ(MountTableSource::readCount(), before + 1);
    EXPECT_EQ(&watcher.known(), MountTableSource::entries().get());
}
