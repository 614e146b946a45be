// The whole update road, as the wizard drives the upgrade logic, against a
// simulated keyboard showing one fault of real DFU keyboards at a time: the
// pages the user sees, the error number, and where the keyboard ends up.

#include "UpdaterCallbacks.h"
#include "WizardDriver.h"

#include "updater/upgrade/DeviceFW.h"
#include "updater/upgrade/VarantoMK2UpdaterUpgradeLogic.h"
#include "usx2/dfu/DFUProtocol.h"
#include "usx2/tests/SimulatedBusFixture.h"
#include "usx2/usb/VarantoUSBIds.h"
#include "usx2/usb/linux/SimulatedDFUKeyboard.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace CV::USX2;
using CV::VarantoMK2UpdaterUpgradeLogic;
using CV::test::UpdaterCallbacks;
using CV::test::WizardDriver;
using Page = WizardDriver::Page;
using SwitchFault = SimulatedDFUFunction::SwitchFault;
using std::chrono::milliseconds;

constexpr std::uint16_t kOldVersion = 0x0058;
constexpr std::uint16_t kNewestVersion = 0x0059;
constexpr std::uint16_t kLoaderVersion = 0x0100;
constexpr std::uint8_t kTolerant = DFU::bitCanDnload | DFU::bitManifestationTolerant | DFU::bitWillDetach;
constexpr std::uint8_t kNotTolerant = DFU::bitCanDnload | DFU::bitWillDetach;
constexpr milliseconds kTick{1};
constexpr milliseconds kPollLimit{60000};
constexpr milliseconds kRetryAfter{10000}; // the user reads the page, power-cycles, presses RETRY

// Where the keyboard is once the road has ended and it had time to settle.
enum class Keyboard { newFirmware, oldFirmware, inDFUMode, gone };

std::ostream& operator<<(std::ostream& out, Keyboard keyboard)
{
    const char* names[] = {"new firmware", "old firmware", "in DFU mode", "gone"};
    return out << names[static_cast<int>(keyboard)];
}

const std::vector<Page> kSucceeds = {Page::UpdateAvailable, Page::Updating, Page::UpdateSuccessful};
const std::vector<Page> kFails = {Page::UpdateAvailable, Page::Updating, Page::UpdateFailed};
const std::vector<Page> kSucceedsOnRetry = {Page::UpdateAvailable, Page::NoUpdateMode, Page::Updating,
                                            Page::UpdateSuccessful};
const std::vector<Page> kNoUpdateMode = {Page::UpdateAvailable, Page::NoUpdateMode};

std::vector<std::uint8_t> mainImage()
{
    const CV::FW::DeviceFW* row = CV::FW::findDeviceFW(Ids::kSelaMK2ProductId);
    return std::vector<std::uint8_t>(row->main.data, row->main.data + row->main.size);
}

// A Sela keyboard one version behind, manifestation-tolerant, 4096-byte
// blocks, that takes the Sela main image; faults change it.
struct Fault {
    SimulatedDeviceDescription spec = []() {
        SimulatedDeviceDescription keyboard =
            SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "SELA-1", kOldVersion);
        keyboard.dfuAttributes = kTolerant;
        keyboard.dfuTransferSize = 4096;
        return keyboard;
    }();
    SimulatedDFUKeyboard::Options options = []() {
        SimulatedDFUKeyboard::Options keyboard;
        keyboard.expectedImage = mainImage();
        keyboard.newBcdDevice = kNewestVersion;
        return keyboard;
    }();
    SimulatedDFUFunction::Faults& faults() { return options.faults; }
    SimulatedDeviceDescription& dfuMode()
    {
        if (!options.dfuMode)
            options.dfuMode = spec.inDFUMode();
        return *options.dfuMode;
    }
};

class UpdateRoadFaults : public SimulatedBusFixture {
protected:
    void SetUp() override { useVirtualTime(); }

    void TearDown() override
    {
        wizard.reset();
        logic.reset();
    }

    // A new bus, and a new logic with its wizard on it.
    void restart(std::shared_ptr<SimulatedBus> next = SimulatedBus::create())
    {
        wizard.reset();
        logic.reset();
        replaceBus(std::move(next));
        logic = std::make_unique<VarantoMK2UpdaterUpgradeLogic>(*sleeper, boost::chrono::milliseconds(0));
        wizard = std::make_unique<WizardDriver>(UpdaterCallbacks::bindTo(logic.get()));
    }

    std::shared_ptr<SimulatedBus> busFromFile(const std::string& path)
    {
        std::string error;
        std::shared_ptr<SimulatedBus> fromFile = SimulatedBus::fromFile(path, error, sleeper);
        EXPECT_TRUE(fromFile) << error;
        return fromFile ? fromFile : SimulatedBus::create();
    }

    WizardDriver::Road runRoad(const Fault& fault)
    {
        restart();
        SimulatedDFUKeyboard::attach(*bus, std::make_shared<SimulatedDFUKeyboard>(fault.spec, fault.options));
        return runRoad();
    }

    WizardDriver::Road runRoad() { return wizard->runUpdateRoad(*sleeper, kRetryAfter, kTick, kPollLimit); }

    // After a minute more the keyboard has come back if it ever does.
    Keyboard keyboardAfterwards()
    {
        sleeper->sleepFor(milliseconds(60000));
        const std::vector<USBHost::DeviceEntry> present = bus->enumerate();
        if (present.empty())
            return Keyboard::gone;
        EXPECT_EQ(present.size(), 1u);
        const USBHostDeviceIds& ids = present.front().ids;
        if (ids.productId == Ids::dfuModeProductId(Ids::kSelaMK2ProductId))
            return Keyboard::inDFUMode;
        EXPECT_EQ(ids.productId, Ids::kSelaMK2ProductId);
        return ids.bcdDevice == kNewestVersion ? Keyboard::newFirmware : Keyboard::oldFirmware;
    }

    std::unique_ptr<VarantoMK2UpdaterUpgradeLogic> logic;
    std::unique_ptr<WizardDriver> wizard;
};

TEST_F(UpdateRoadFaults, EachFaultEndsOnItsPageWithItsErrorNumber)
{
    struct Case {
        const char* name;
        std::function<void(Fault&)> inject;
        std::vector<Page> pages;
        int error;
        Keyboard after;
    };
    const Case cases[] = {
        {"no fault", [](Fault&) {}, kSucceeds, 1, Keyboard::newFirmware},
        {"not manifestation-tolerant: back by itself in application mode",
         [](Fault& f) { f.spec.dfuAttributes = kNotTolerant; }, kSucceeds, 1, Keyboard::newFirmware},
        // The loader shows descriptors of its own: its version and transfer size count in DFU mode only.
        {"loader with its own version and transfer size",
         [](Fault& f) {
             f.dfuMode().bcdDevice = kLoaderVersion;
             f.dfuMode().dfuTransferSize = 1024;
         },
         kSucceeds, 1, Keyboard::newFirmware},
        // Found in DFU mode, the keyboard is judged by its loader's version.
        {"found in DFU mode, loader version above the newest",
         [](Fault& f) {
             f.dfuMode().bcdDevice = kLoaderVersion;
             f.options.startsInDFUMode = true;
         },
         {Page::NoUpdateAvailable},
         0,
         Keyboard::inDFUMode},
        {"slow switch into DFU mode: found by the retry", [](Fault& f) { f.options.detachDelay = milliseconds(4000); },
         kSucceedsOnRetry, 1, Keyboard::newFirmware},
        {"slow return: found by the second scan 5 s later",
         [](Fault& f) { f.options.returnDelay = milliseconds(8000); }, kSucceeds, 1, Keyboard::newFirmware},
        {"slower return: not back for the second scan", [](Fault& f) { f.options.returnDelay = milliseconds(12000); },
         kFails, 1, Keyboard::newFirmware},
        {"never back from the switch into DFU mode", [](Fault& f) { f.faults().noReturnAtSwitch = 1; }, kNoUpdateMode,
         0, Keyboard::gone},
        {"never back from the return after the update", [](Fault& f) { f.faults().noReturnAtSwitch = 2; }, kFails, 1,
         Keyboard::gone},
        // The retry scans in normal mode, which finds the keyboard in DFU mode under any serial number.
        {"another serial number in DFU mode", [](Fault& f) { f.faults().otherSerialAtSwitch = 1; }, kSucceedsOnRetry, 1,
         Keyboard::newFirmware},
        // The manifested keyboard is never recognised: it was written, and the update failed.
        {"another serial number after manifestation",
         [](Fault& f) {
             f.spec.dfuAttributes = kNotTolerant;
             f.faults().otherSerialAtSwitch = 2;
         },
         kFails, -2, Keyboard::newFirmware},
        {"final empty download stalls", [](Fault& f) { f.faults().stallFinalDownload = true; }, kFails, -2,
         Keyboard::oldFirmware},
        {"short status reply after block 10", [](Fault& f) { f.faults().shortStatusAtBlock = 10; }, kFails, -2,
         Keyboard::oldFirmware},
        {"short status replies only while manifesting", [](Fault& f) { f.faults().shortStatusInManifestation = true; },
         kSucceeds, 1, Keyboard::newFirmware},
        {"bStatus errVERIFY in manifestation", [](Fault& f) { f.faults().manifestationError = DFU::errVERIFY; }, kFails,
         -2, Keyboard::oldFirmware},
        // The client takes appIDLE for done; the keyboard never manifested the image.
        {"first GETSTATE answers appIDLE", [](Fault& f) { f.faults().firstGetState = DFU::appIDLE; }, kFails, 1,
         Keyboard::oldFirmware},
        {"first GETSTATE answers dfuUPLOAD-IDLE", [](Fault& f) { f.faults().firstGetState = DFU::dfuUPLOAD_IDLE; },
         kFails, -2, Keyboard::oldFirmware},
        {"bState dfuIDLE after block 5",
         [](Fault& f) {
             f.faults().stateAtBlock = 5;
             f.faults().stateAfterBlock = DFU::dfuIDLE;
         },
         kFails, -2, Keyboard::oldFirmware},
        {"DETACH acknowledged and ignored", [](Fault& f) { f.faults().detach = SwitchFault::ignored; }, kNoUpdateMode,
         0, Keyboard::oldFirmware},
        {"vendor detach acknowledged and ignored",
         [](Fault& f) {
             f.spec.dfuAttributes = DFU::bitCanDnload | DFU::bitManifestationTolerant;
             f.faults().detach = SwitchFault::ignored;
         },
         kNoUpdateMode, 0, Keyboard::oldFirmware},
        {"DETACH fails on the host but the keyboard switches",
         [](Fault& f) { f.faults().detach = SwitchFault::failsButSwitches; }, kSucceedsOnRetry, 1,
         Keyboard::newFirmware},
        {"return request fails on the host but the keyboard returns",
         [](Fault& f) { f.faults().returnRequest = SwitchFault::failsButSwitches; }, kSucceeds, 1,
         Keyboard::newFirmware},
        // Still in DFU mode, it reports its loader's version.
        {"return request acknowledged and ignored", [](Fault& f) { f.faults().returnRequest = SwitchFault::ignored; },
         kFails, 1, Keyboard::inDFUMode},
        {"busy three times per block",
         [](Fault& f) {
             f.options.busyAnswers = 3;
             f.options.bwPollTimeout = 20;
         },
         kSucceeds, 1, Keyboard::newFirmware},
        {"busy for ever from block 3",
         [](Fault& f) {
             f.faults().endlessBusyAtBlock = 3;
             f.options.bwPollTimeout = 1000;
         },
         kFails, -2, Keyboard::oldFirmware},
        {"bwPollTimeout in every status reply", [](Fault& f) { f.options.statusPollTimeout = 250; }, kSucceeds, 1,
         Keyboard::newFirmware},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fault fault;
        c.inject(fault);
        const WizardDriver::Road road = runRoad(fault);
        EXPECT_EQ(road.pages, c.pages);
        EXPECT_EQ(road.error, c.error);
        EXPECT_EQ(keyboardAfterwards(), c.after);
        EXPECT_FALSE(wizard->callbacks().isUpdateRunning());
    }
}

TEST_F(UpdateRoadFaults, DemoKeyboardIsUpdatedToTheNewest)
{
    restart(busFromFile(VARANTO_SOURCE_DIR "/usx2/sim/demo.sim"));
    const WizardDriver::DeviceView before = wizard->scan();
    EXPECT_EQ(before.installedVersion, "0.5.8");
    EXPECT_EQ(before.newestVersion, "0.5.9");

    const WizardDriver::Road road = runRoad();
    EXPECT_EQ(road.pages, kSucceeds);
    EXPECT_EQ(road.error, 1);
    const WizardDriver::DeviceView after = wizard->scan();
    EXPECT_EQ(after.installedVersion, "0.5.9");
    EXPECT_EQ(after.info.serialNumber, "DEMO-SELA-0001");
}

TEST_F(UpdateRoadFaults, LateKeyboardShowsUpAfterItsDelay)
{
    restart(busFromFile(VARANTO_TEST_DATA_DIR "/late-keyboard.sim"));
    EXPECT_EQ(runRoad().pages, std::vector<Page>{Page::NoDeviceConnected});
    sleeper->sleepFor(milliseconds(2999));
    EXPECT_FALSE(wizard->scan().connected);

    sleeper->sleepFor(milliseconds(1)); // the user presses RESCAN once it is plugged in
    const WizardDriver::Road road = runRoad();
    EXPECT_EQ(road.pages, kSucceeds);
    EXPECT_EQ(wizard->scan().info.serialNumber, "LATE-TUMO");
}

} // namespace
