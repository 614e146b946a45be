#include "BAS/VolumeManager.h"
#include "BAS/DeviceNotification.h"
#include "BAS/FileName.h"
#include "BAS/SystemFolder.h"

#include "bas/linux/OpticalMedia.h"

#include "platform/runloop/MainLoop.h"
#include "platform/volumes/MountTableSource.h"
#include "platform/workspace/Workspace.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

using CV::BAS::DeviceNotification;
using CV::BAS::DeviceNotificationListener;
using CV::BAS::VolumeChangeListener;
using CV::BAS::VolumeInfo;
using CV::BAS::VolumeManager;
using namespace std::chrono_literals;

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path.string() + ".new") << text;
    fs::rename(path.string() + ".new", path);
}

// A sysfs tree with one CD drive (sr0), a hard disk with a partition (sda,
// sda1), a DVD drive whose medium has a partition (sr1, sr1p1) and a USB
// stick (sdb, sdb1).
class FakeSysfs {
public:
    FakeSysfs()
    {
        disk("sr0", 5);
        disk("sda", 0);
        partition("sda", "sda1");
        disk("sr1", 5);
        partition("sr1", "sr1p1");
        disk("sdb", 0);
        partition("sdb", "sdb1");
    }
    std::string root() const { return m_folder.path().string(); }

private:
    fs::path blockFolder() const { return m_folder.path() / "class" / "block"; }
    void disk(const std::string& name, int scsiType)
    {
        writeFile(m_folder.path() / "devices" / name / "device" / "type", std::to_string(scsiType) + "\n");
        fs::create_directories(blockFolder());
        fs::create_directory_symlink(m_folder.path() / "devices" / name, blockFolder() / name);
    }
    void partition(const std::string& disk, const std::string& name)
    {
        writeFile(m_folder.path() / "devices" / disk / name / "partition", "1\n");
        fs::create_directory_symlink(m_folder.path() / "devices" / disk / name, blockFolder() / name);
    }

    CV::test::TemporaryFolder m_folder{"volumes-test"};
};

TEST(OpticalMediaTest, WholeDiskOfTheDeviceDecides)
{
    FakeSysfs sysfs;
    const CV::BAS::LINUX::OpticalMedia media(sysfs.root());
    const std::pair<const char*, bool> cases[] = {
        {"/dev/sr0", true},  {"/dev/sr1p1", true},      {"sr0", true},        {"/dev/sda1", false},
        {"/dev/sda", false}, {"/dev/sdb1", false},      {"/dev/sdz9", false}, {"", false},
        {"/dev/", false},    {"server:/export", false}, {"/dev/..", false},
    };
    for (const auto& [device, optical] : cases)
        EXPECT_EQ(media.isOptical(device), optical) << device;
}

struct Received {
    CV::BAS::eVolumeChange change;
    VolumeInfo info;
};

class RecordingVolumeListener : public VolumeChangeListener {
public:
    void onVolumeChange(CV::BAS::eVolumeChange change, VolumeInfo const& info) override
    {
        received.push_back({change, info});
    }
    std::vector<Received> received;
};

// A mount table and sysfs tree of the test's own, with mount points in a
// temporary folder; the volume manager runs on them.
class VolumeManagerTest : public ::testing::Test {
protected:
    VolumeManagerTest()
        : m_table((m_mounts.path() / "mounts").string())
        , m_tableSource(m_table)
    {
        VolumeManager::setSysfsRoot(m_sysfs.root());
        for (const char* folder : {"cdrom", "Disc", "Stick", "Share", "run", "Backup", "Gone"})
            fs::create_directory(m_mounts.path() / folder);
        writeTable(baseTable());
    }
    ~VolumeManagerTest() override
    {
        platform::Workspace::shared().stopWatchingMountTable();
        VolumeManager::deInit();
        DeviceNotification::deInit();
        VolumeManager::setSysfsRoot("");
    }

    std::string mountPoint(const char* name) const { return (m_mounts.path() / name).string(); }
    std::string line(const char* device, const std::string& mountPoint, const char* type) const
    {
        return std::string(device) + " " + mountPoint + " " + type + " rw 0 0\n";
    }
    std::string baseTable() const
    {
        return line("/dev/sda1", "/", "ext4") + line("proc", "/proc", "proc") +
            line("/dev/sr0", mountPoint("cdrom"), "iso9660") + line("/dev/sr1p1", mountPoint("Disc"), "ext4") +
            line("/dev/sdb1", mountPoint("Stick"), "vfat") + line("server:/export", mountPoint("Share"), "nfs4") +
            line("tmpfs", mountPoint("run"), "tmpfs") + line("/dev/sdc1", mountPoint("Missing"), "ext4") +
            line("server:/x", "/Network/Servers", "nfs") + line("devfs", mountPoint("Gone"), "devfs");
    }
    std::string stickLine() const { return line("/dev/sdc1", mountPoint("Backup"), "vfat"); }
    void writeTable(const std::string& text) const { writeFile(m_table, text); }

    static std::string homeName()
    {
        CV::BAS::FileName home;
        if (!CV::BAS::getSystemFolder(-32767, 0x63757372, home, false))
            return std::string();
        std::string name = home.full;
        if (!name.empty() && name.back() == ':')
            name.pop_back();
        return name;
    }

    CV::test::TemporaryFolder m_mounts{"volumes-test"};
    FakeSysfs m_sysfs;
    std::string m_table;
    platform::volumes::MountTableSource::ScopedPath m_tableSource;
};

TEST_F(VolumeManagerTest, ListsHomeThenTheVolumesOfTheMountTable)
{
    ASSERT_TRUE(VolumeManager::init());
    const std::vector<VolumeInfo> volumes = VolumeManager::volumeInfos();
    struct Expected {
        std::string name;
        int32_t type;
    };
    const std::vector<Expected> expected = {
        {homeName(), 64}, {"Computer", 1}, {"cdrom", 2}, {"Disc", 2}, {"Stick", 1}, {"Share", 16},
    };
    ASSERT_EQ(volumes.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(volumes[i].name, expected[i].name) << i;
        EXPECT_EQ(volumes[i].type, expected[i].type) << i;
        EXPECT_EQ(volumes[i].volumeRefNum == 0, i == 0) << i;
    }
    EXPECT_FALSE(volumes[0].name.empty());
    EXPECT_NE(volumes[0].name.back(), ':');
}

TEST_F(VolumeManagerTest, MountsAndUnmountsOfTheWatchedTableReachListeners)
{
    ASSERT_TRUE(DeviceNotification::init());
    ASSERT_TRUE(VolumeManager::init());
    RecordingVolumeListener any;
    VolumeManager::addListener({"", 0, 0, &any});
    platform::Workspace::shared().watchMountTable(5ms);
    auto& loop = platform::MainLoop::instance();

    writeTable(baseTable() + stickLine());
    ASSERT_TRUE(loop.runUntil([&] { return any.received.size() >= 1; }, 5s));
    ASSERT_EQ(any.received.size(), 1u);
    EXPECT_EQ(any.received[0].change, CV::BAS::eVolumeAdded);
    EXPECT_EQ(any.received[0].info.name, "Backup");
    EXPECT_EQ(any.received[0].info.type, 1);
    EXPECT_NE(any.received[0].info.volumeRefNum, 0);
    EXPECT_EQ(VolumeManager::volumeInfos().back().name, "Backup");

    writeTable(baseTable());
    ASSERT_TRUE(loop.runUntil([&] { return any.received.size() >= 2; }, 5s));
    EXPECT_EQ(any.received[1].change, CV::BAS::eVolumeRemoved);
    EXPECT_EQ(any.received[1].info.name, "Backup");
    EXPECT_EQ(any.received[1].info.type, 1);
    EXPECT_EQ(VolumeManager::volumeInfos().size(), 6u);
    VolumeManager::removeListener(&any);
}

TEST_F(VolumeManagerTest, StaleNotificationsChangeNothing)
{
    ASSERT_TRUE(DeviceNotification::init());
    ASSERT_TRUE(VolumeManager::init());
    RecordingVolumeListener any;
    VolumeManager::addListener({"", 0, 0, &any});
    // Still mounted, so not gone; never mounted, so not come.
    DeviceNotification::onVolumeChanged(DeviceNotificationListener::eUnmounted, "cdrom");
    DeviceNotification::onVolumeChanged(DeviceNotificationListener::eMounted, "Backup");
    EXPECT_TRUE(any.received.empty());
    EXPECT_EQ(VolumeManager::volumeInfos().size(), 6u);
}

TEST_F(VolumeManagerTest, ScanningWithoutTheHubHearsNothing)
{
    ASSERT_TRUE(VolumeManager::init()); // before the hub
    ASSERT_TRUE(DeviceNotification::init());
    RecordingVolumeListener any;
    VolumeManager::addListener({"", 0, 0, &any});
    writeTable(baseTable() + stickLine());
    DeviceNotification::onVolumeChanged(DeviceNotificationListener::eMounted, "Backup");
    EXPECT_TRUE(any.received.empty());
    EXPECT_EQ(VolumeManager::volumeInfos().size(), 6u);
}

TEST_F(VolumeManagerTest, EntriesHearTheChangesTheirFiltersLet)
{
    ASSERT_TRUE(VolumeManager::init());
    const VolumeInfo stick = VolumeManager::volumeInfos()[4];
    ASSERT_EQ(stick.name, "Stick");
    struct Case {
        const char* label;
        VolumeManager::ListenerEntry entry;
        bool notified;
    };
    Case cases[] = {
        {"any", {"", 0, 0, nullptr}, true},
        {"network kind", {"", 16, 0, nullptr}, false},
        {"local or optical kind", {"", 3, 0, nullptr}, true},
        {"this name", {"Stick", 0, 0, nullptr}, true},
        {"other name", {"Share", 0, 0, nullptr}, false},
        {"this volume", {"", 0, stick.volumeRefNum, nullptr}, true},
        {"other volume", {"", 0, stick.volumeRefNum + 1, nullptr}, false},
    };
    std::vector<RecordingVolumeListener> listeners(std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        cases[i].entry.listener = &listeners[i];
        VolumeManager::addListener(cases[i].entry);
    }
    VolumeManager::addListener({"", 0, 0, nullptr}); // no listener: skipped

    VolumeManager::onVolumeChange(CV::BAS::eVolumeRemoved, {"Stick", 0, stick.volumeRefNum});
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(listeners[i].received.size(), cases[i].notified ? 1u : 0u) << cases[i].label;
        if (!listeners[i].received.empty()) {
            EXPECT_EQ(listeners[i].received[0].info.type, 1) << cases[i].label;
        }
    }
    EXPECT_EQ(VolumeManager::volumeInfos().size(), 5u);
}

TEST_F(VolumeManagerTest, ChangesBeforeInitAndAfterDeInitAreIgnored)
{
    RecordingVolumeListener any;
    VolumeManager::addListener({"", 0, 0, &any});
    VolumeManager::onVolumeChange(CV::BAS::eVolumeRemoved, {"Stick", 0, 0});
    EXPECT_TRUE(any.received.empty());
    VolumeManager::removeListener(&any);

    ASSERT_TRUE(VolumeManager::init());
    VolumeManager::deInit();
    EXPECT_TRUE(VolumeManager::volumeInfos().empty());
    VolumeManager::onVolumeChange(CV::BAS::eVolumeAdded, {"Stick", 0, 0});
    EXPECT_TRUE(VolumeManager::volumeInfos().empty());
}

} // namespace
