#include "usx2/usb/USBDeviceDB.h"
#include "usx2/usb/USBDeviceFactory.h"
#include "usx2/usb/VarantoUSBIds.h"
#include "usx2/usb/linux/HIDDeviceOSImpl.h"
#include "usx2/usb/linux/HIDRegistry.h"
#include "usx2/usb/linux/SimulatedBus.h"

#include "SimulatedBusFixture.h"

#include "platform/runloop/MainLoop.h"

#include "VarantoTest/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace CV {
namespace USX2 {
namespace {

using std::chrono::milliseconds;

// The bus's time is the run loop's (virtual) time, so that a device that
// arrives or leaves at a set time does so when the loop's timer fires.
class RunLoopTime : public Sleeper {
public:
    void sleepFor(Duration duration) override { platform::MainLoop::instance().advanceTime(duration); }
    Duration now() const override
    {
        return std::chrono::duration_cast<Duration>(platform::MainLoop::instance().now().time_since_epoch());
    }
};

// A live scan on a simulated bus, on the run loop in virtual time. Every
// callback is written down with the time (ms since the scan started) at
// which it ran.
class LiveDeviceScanTest : public SimulatedBusFixture {
protected:
    LiveDeviceScanTest()
        : m_previousClock(platform::MainLoop::instance().setClock(std::make_shared<platform::VirtualClock>()))
    {
        m_start = platform::MainLoop::instance().now();
        factory.setCallbacks(
            [this](const USBDeviceOSHandle& handle, const USBDeviceFilter&) { note("added", handle); },
            [this](const USBDeviceOSHandle& handle, const USBDeviceFilter&) { note("removed", handle); });
    }
    ~LiveDeviceScanTest() override
    {
        factory.deInit();
        platform::MainLoop::instance().runPending();
        platform::MainLoop::instance().setClock(m_previousClock);
    }

    // A bus made from the text of a simulation file, in run-loop time;
    // times are noted from now on.
    void useBusFromFile(const std::string& text)
    {
        m_start = platform::MainLoop::instance().now();
        // A folder of the test's own: tests run side by side.
        const std::string path = m_simFolder.at("live-scan.sim");
        std::ofstream(path) << text;
        std::string error;
        std::shared_ptr<SimulatedBus> fromFile = SimulatedBus::fromFile(path, error, std::make_shared<RunLoopTime>());
        ASSERT_TRUE(fromFile) << error;
        replaceBus(fromFile);
    }

    // Runs the loop until `count` callbacks ran, then `after` longer to
    // catch any that should not come.
    void runUntilNoted(std::size_t count, milliseconds after = milliseconds(10000))
    {
        platform::MainLoop& loop = platform::MainLoop::instance();
        loop.runUntil([&] { return events.size() >= count; }, std::chrono::seconds(60));
        loop.advanceTime(after);
        loop.runPending();
    }

    void note(const char* what, const USBDeviceOSHandle& handle)
    {
        const auto at = std::chrono::duration_cast<milliseconds>(platform::MainLoop::instance().now() - m_start);
        const std::shared_ptr<SimulatedDevice> device = bus->device(handle.service);
        events.push_back(std::string(what) + " " + (device ? device->spec().serialNumber : "?") + " at " +
                         std::to_string(at.count()));
    }

    USBDeviceFactory factory;
    std::vector<std::string> events;

private:
    std::shared_ptr<platform::Clock> m_previousClock;
    platform::Clock::TimePoint m_start;
    CV::test::TemporaryFolder m_simFolder{"live-scan"};
};

TEST_F(LiveDeviceScanTest, KeyboardsThatComeAndGoAreReportedOnTheRunLoop)
{
    struct Case {
        const char* name;
        const char* timing;
        std::vector<std::string> events;
    } cases[] = {
        {"arrives", "arrivesAfter = 1s\n", {"added SELA-7 at 1000"}},
        {"leaves", "leavesAfter = 1500\n", {"added SELA-7 at 0", "removed SELA-7 at 1500"}},
        {"arrives and leaves",
         "arrivesAfter = 1s\nleavesAfter = 2s\n",
         {"added SELA-7 at 1000", "removed SELA-7 at 2000"}},
        {"leaves before it arrives", "arrivesAfter = 2s\nleavesAfter = 1s\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        events.clear();
        useBusFromFile(std::string("[device]\nmodel = sela\nserial = SELA-7\n") + c.timing +
                       "[device]\nmodel = rova\nserial = ROVA-1\narrivesAfter = 500\nleavesAfter = 700\n");
        ASSERT_TRUE(factory.initWithDeviceFilter(USBDeviceDB::VarantoSelaMK2DFU, true));
        runUntilNoted(c.events.size());
        EXPECT_EQ(events, c.events);
        factory.deInit();
    }
}

TEST_F(LiveDeviceScanTest, UnpluggingReportsOnlyReportedDevicesAndStopsWithDeInit)
{
    const std::uint32_t sela = bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "SELA-1"));
    const std::uint32_t rova = bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kRovaMK2ProductId, "ROVA-1"));
    ASSERT_TRUE(factory.initWithDeviceFilter(USBDeviceDB::VarantoSelaMK2DFU, true));
    EXPECT_EQ(events, std::vector<std::string>{"added SELA-1 at 0"}); // during the call

    // Unplugged from another thread: reported on the run loop, not there.
    std::thread([&] {
        bus->removeDevice(rova);
        bus->removeDevice(sela);
    }).join();
    EXPECT_EQ(events.size(), 1u);
    runUntilNoted(2, milliseconds(0));
    EXPECT_EQ(events, (std::vector<std::string>{"added SELA-1 at 0", "removed SELA-1 at 0"}));

    factory.deInit();
    bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "SELA-2"));
    runUntilNoted(3, milliseconds(0));
    EXPECT_EQ(events.size(), 2u);
}

TEST_F(LiveDeviceScanTest, AKeyboardUnpluggedAfterAModeSwitchIsReportedGoneInItsNewMode)
{
    useBusFromFile("[device]\nmodel = sela\nserial = SELA-3\nleavesAfter = 1s\n");
    ASSERT_TRUE(factory.initWithDeviceFilter(USBDeviceDB::CVUSBDevices, true));
    platform::MainLoop::instance().advanceTime(milliseconds(300));
    const std::vector<USBHost::DeviceEntry> present = bus->enumerate();
    ASSERT_EQ(present.size(), 1u);
    const SimulatedDeviceDescription inDFUMode = bus->device(present[0].handle)->spec().inDFUMode();
    ASSERT_NE(bus->reenumerate(present[0].handle, inDFUMode, milliseconds(100)), 0u);
    runUntilNoted(4);
    EXPECT_EQ(events,
              (std::vector<std::string>{"added SELA-3 at 0", "removed SELA-3 at 300", "added SELA-3 at 400",
                                        "removed SELA-3 at 1000"}));
}

// A HID registry whose services a test takes away, telling its watchers.
class ChangingHIDRegistry : public HIDRegistry {
public:
    std::vector<std::uint32_t> services() override { return present; }
    std::optional<Properties> properties(std::uint32_t) override
    {
        return Properties{{"VendorID", std::int64_t{Ids::kVendorId}},
                          {"ProductID", std::int64_t{Ids::kTumoMK2ProductId}}};
    }
    DeviceChangeSignal::Token watchChanges(DeviceChangeSignal::Listener changed) override
    {
        return changes.connect(std::move(changed));
    }

    std::vector<std::uint32_t> present;
    DeviceChangeSignal changes;
};

bool hidCacheHolds(std::uint32_t service)
{
    std::lock_guard<std::mutex> lock(s_csHIDDeviceInfos);
    return s_mapHIDDeviceInfos.count(service) != 0;
}

TEST_F(LiveDeviceScanTest, AHIDDeviceReportedRemovedLeavesTheCache)
{
    auto registry = std::make_shared<ChangingHIDRegistry>();
    registry->present = {9001};
    std::shared_ptr<HIDRegistry> previous = HIDRegistry::setSystem(registry);
    ASSERT_TRUE(factory.initWithDeviceFilter(USBDeviceDB::VarantoTumoMK2, true));
    EXPECT_TRUE(hidCacheHolds(9001));

    registry->present.clear();
    registry->changes.notify();
    platform::MainLoop::instance().runPending();
    EXPECT_FALSE(hidCacheHolds(9001));
    EXPECT_EQ(events.size(), 2u);
    factory.deInit();
    HIDRegistry::setSystem(previous);
}

} // namespace
} // namespace USX2
} // namespace CV
