#include "BAS/FileName.h"
#include "BAS/FileTypeManager.h"

#include "platform/volumes/MountTableSource.h"

#include "VarantoTest/TemporaryFolder.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using CV::BAS::FileName;
using platform::volumes::MountTableSource;

constexpr int kClassificationsPerIteration = 1000;

// One line of the kernel's mountinfo form.
std::string mountInfoLine(int id, const std::string& mountPoint, const std::string& type, const std::string& source)
{
    return std::to_string(id) + " 1 0:" + std::to_string(id) + " / " + mountPoint +
        " rw,relatime shared:" + std::to_string(id) + " - " + type + " " + source + " rw\n";
}

// A desktop's mount table of `entries` lines: the root and three disks of
// the tree (the same volumes in every size), the kernel's own file systems,
// and then as many snap images and container layers as it takes to fill it.
std::string desktopTable(const CV::test::TemporaryFolder& tree, int entries)
{
    const char* const kernel[][2] = {
        {"/proc", "proc"},
        {"/sys", "sysfs"},
        {"/dev", "devtmpfs"},
        {"/dev/pts", "devpts"},
        {"/run", "tmpfs"},
        {"/dev/shm", "tmpfs"},
        {"/run/lock", "tmpfs"},
        {"/sys/fs/cgroup", "cgroup2"},
        {"/sys/fs/pstore", "pstore"},
        {"/sys/fs/bpf", "bpf"},
        {"/dev/mqueue", "mqueue"},
        {"/sys/kernel/debug", "debugfs"},
        {"/sys/kernel/tracing", "tracefs"},
        {"/dev/hugepages", "hugetlbfs"},
        {"/run/user/1000", "tmpfs"},
        {"/sys/fs/fuse/connections", "fusectl"},
    };
    std::string table = mountInfoLine(1, "/", "ext4", "/dev/nvme0n1p2");
    table += mountInfoLine(2, tree.folder("boot/efi"), "vfat", "/dev/nvme0n1p1");
    table += mountInfoLine(3, tree.folder("media/Backup"), "ext4", "/dev/sdb1");
    table += mountInfoLine(4, tree.folder("media/Stick"), "exfat", "/dev/sdc1");
    int id = 5;
    for (const auto& [mountPoint, type] : kernel) {
        if (id > entries)
            break;
        table += mountInfoLine(id++, mountPoint, type, type);
    }
    for (int image = 0; id <= entries; ++image, ++id) {
        if (image % 4 == 3)
            table += mountInfoLine(id, "/var/lib/docker/overlay2/layer" + std::to_string(image) + "/merged", "overlay",
                                   "overlay");
        else
            table += mountInfoLine(id, "/snap/app" + std::to_string(image) + "/" + std::to_string(1000 + image),
                                   "squashfs", "/dev/loop" + std::to_string(image));
    }
    return table;
}

// A tree to name, seen through a mount table of the given number of
// entries (0: the kernel's own table).
class NamedTree {
public:
    explicit NamedTree(int entries)
        : m_table(entries > 0 ? m_tree.write("mounts", desktopTable(m_tree, entries)) : std::string())
    {
        CV::BAS::FileTypeManager::init();
        m_tree.write("skin/stylesheets/FirmwareUpdaterStyles.txt", "body {}\n");
        m_tree.write("skin/pictures/logo.png", "png");
        m_tree.folder("skin/fonts");
        const std::string root = colonOf(m_tree.string());
        m_names = {
            root + ":skin:stylesheets:FirmwareUpdaterStyles.txt", // a file
            root + ":skin:fonts:", // a folder
            root + ":skin:stylesheets:missing.txt", // an @import that fails
            root + ":skin:pictures:logo.png",
            "Backup", // a volume
        };
    }
    ~NamedTree() { CV::BAS::FileTypeManager::deInit(); }

    const std::vector<std::string>& names() const { return m_names; }
    const std::string& table() const { return m_table; }

private:
    static std::string colonOf(std::string posix)
    {
        for (char& c : posix)
            c = c == '/' ? ':' : c;
        return "Computer" + posix;
    }

    CV::test::TemporaryFolder m_tree{"filename-bench"};
    std::string m_table;
    MountTableSource::ScopedPath m_source{m_table};
    std::vector<std::string> m_names;
};

// How many times the table was read for each iteration.
void countReads(benchmark::State& state, std::uint64_t readsBefore)
{
    state.counters["table_reads"] = benchmark::Counter(static_cast<double>(MountTableSource::readCount() - readsBefore),
                                                       benchmark::Counter::kAvgIterations);
}

// A thousand names classified (a file, a folder, a missing file, a
// picture, a volume, in turn) with an unchanged mount table.
void classifyThousands(benchmark::State& state, int tableEntries)
{
    const NamedTree tree(tableEntries);
    const std::vector<std::string>& names = tree.names();
    const std::uint64_t readsBefore = MountTableSource::readCount();
    for (auto _ : state) {
        for (int i = 0; i < kClassificationsPerIteration; ++i) {
            FileName name(names[static_cast<std::size_t>(i) % names.size()]);
            benchmark::DoNotOptimize(name.type);
        }
    }
    state.SetItemsProcessed(state.iterations() * kClassificationsPerIteration);
    countReads(state, readsBefore);
}

void BM_ThousandFileNameClassifications(benchmark::State& state)
{
    classifyThousands(state, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_ThousandFileNameClassifications)->ArgName("mounts")->Arg(20)->Arg(400)->Unit(benchmark::kMillisecond);

// The same through the kernel's table of this machine, watched by polling.
void BM_ThousandFileNameClassificationsOnTheKernelTable(benchmark::State& state)
{
    classifyThousands(state, 0);
}
BENCHMARK(BM_ThousandFileNameClassificationsOnTheKernelTable)->Unit(benchmark::kMillisecond);

// One name classified right after the mount table changed: what one read
// of the table costs.
void BM_FileNameClassificationAfterAMountChange(benchmark::State& state)
{
    const NamedTree tree(static_cast<int>(state.range(0)));
    const std::string& name = tree.names().front();
    const std::uint64_t readsBefore = MountTableSource::readCount();
    for (auto _ : state) {
        MountTableSource::setPath(tree.table()); // read anew at the next look
        FileName classified(name);
        benchmark::DoNotOptimize(classified.type);
    }
    countReads(state, readsBefore);
}
BENCHMARK(BM_FileNameClassificationAfterAMountChange)
    ->ArgName("mounts")
    ->Arg(20)
    ->Arg(400)
    ->Unit(benchmark::kMicrosecond);

} // namespace
