#include "UpdaterCallbacks.h"
#include "WizardDriver.h"

#include "updater/upgrade/DeviceFW.h"
#include "updater/upgrade/FirmwareImages.h"
#include "updater/upgrade/VarantoMK2UpdaterUpgradeLogic.h"
#include "usx2/dfu/DFUDevice.h"
#include "usx2/tests/SimulatedBusFixture.h"
#include "usx2/usb/VarantoUSBIds.h"
#include "usx2/usb/linux/SimulatedBus.h"
#include "usx2/usb/linux/SimulatedDFUKeyboard.h"
#include "usx2/util/SystemLog.h"
#include "usx2/util/VirtualSleeper.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace CV::USX2;
using CV::VarantoMK2UpdaterUpgradeLogic;
using CV::test::UpdaterCallbacks;
using CV::test::WizardDriver;
using Logic = VarantoMK2UpdaterUpgradeLogic;
using std::chrono::milliseconds;

constexpr std::uint8_t kTolerantKeyboard = DFU::bitCanDnload | DFU::bitManifestationTolerant | DFU::bitWillDetach;
constexpr std::uint16_t kOldVersion = 0x0058;
constexpr std::uint16_t kNewestVersion = 0x0059;
constexpr milliseconds kTick{1};
constexpr milliseconds kPollLimit{20000};

std::vector<std::uint8_t> mainImage(std::uint16_t productId)
{
    const CV::FW::DeviceFW* row = CV::FW::findDeviceFW(productId);
    return std::vector<std::uint8_t>(row->main.data, row->main.data + row->main.size);
}

SimulatedDeviceDescription keyboardSpec(std::uint16_t baseId, const std::string& serial,
                                        std::uint16_t bcdDevice = kOldVersion, std::uint16_t transferSize = 4096)
{
    SimulatedDeviceDescription spec = SimulatedDeviceDescription::keyboard(baseId, serial, bcdDevice);
    spec.dfuAttributes = kTolerantKeyboard;
    spec.dfuTransferSize = transferSize;
    return spec;
}

SimulatedDFUKeyboard::Options keyboardOptions(std::uint16_t baseId)
{
    SimulatedDFUKeyboard::Options options;
    options.expectedImage = mainImage(baseId);
    options.newBcdDevice = kNewestVersion;
    return options;
}

std::vector<std::uint8_t> dfuRequestCodes(const SimulatedBus& bus)
{
    std::vector<std::uint8_t> codes;
    for (const SimulatedRequestLogEntry& entry : bus.requestLog()) {
        if (entry.setup.type() != USBSetupPacket::kTypeStandard)
            codes.push_back(entry.setup.bRequest);
    }
    return codes;
}

bool contains(const std::vector<std::uint8_t>& codes, std::uint8_t code)
{
    return std::find(codes.begin(), codes.end(), code) != codes.end();
}

// A simulated bus in virtual time as the process's USB host, the logic with
// its seven callbacks, and the wizard that drives them.
class UpgradeLogicTest : public SimulatedBusFixture {
protected:
    void SetUp() override
    {
        useVirtualTime();
        makeLogic(boost::chrono::milliseconds(0));
    }

    void TearDown() override
    {
        wizard.reset();
        logic.reset();
    }

    // Starts again with a new logic on a new empty bus.
    void restartWithNewBus()
    {
        wizard.reset();
        logic.reset();
        replaceBus();
        makeLogic(boost::chrono::milliseconds(0));
    }

    void makeLogic(boost::chrono::milliseconds finalPause, Sleeper* dfuSleeper = nullptr)
    {
        wizard.reset();
        logic.reset();
        logic = std::make_unique<Logic>(dfuSleeper ? *dfuSleeper : *sleeper, finalPause);
        wizard = std::make_unique<WizardDriver>(UpdaterCallbacks::bindTo(logic.get()));
    }

    std::shared_ptr<SimulatedDFUKeyboard> attach(const SimulatedDeviceDescription& spec,
                                                 SimulatedDFUKeyboard::Options options)
    {
        auto keyboard = std::make_shared<SimulatedDFUKeyboard>(spec, std::move(options));
        SimulatedDFUKeyboard::attach(*bus, keyboard);
        return keyboard;
    }

    std::shared_ptr<SimulatedDFUKeyboard> attachSela(const std::string& serial = "SELA-0001",
                                                     std::uint16_t transferSize = 4096)
    {
        return attach(keyboardSpec(Ids::kSelaMK2ProductId, serial, kOldVersion, transferSize),
                      keyboardOptions(Ids::kSelaMK2ProductId));
    }

    // Scans, shows an available update and switches the keyboard into update mode.
    void bringIntoUpdateMode()
    {
        const WizardDriver::DeviceView view = wizard->scan();
        ASSERT_TRUE(view.connected);
        ASSERT_TRUE(view.updateAvailable);
        ASSERT_TRUE(wizard->enterUpdateMode());
        ASSERT_EQ(logic->device().getMode(), DFUDevice::eModeDFU);
    }

    std::unique_ptr<Logic> logic;
    std::unique_ptr<WizardDriver> wizard;
};

TEST_F(UpgradeLogicTest, NoKeyboardOffersNoUpdateAndStartsNoWorker)
{
    WizardDriver::DeviceView view;
    view.info.bcdDevice = 0x1234;
    view.connected = wizard->callbacks().connectInNormalMode();
    wizard->callbacks().getDeviceInfo(view.info, view.installedVersion, view.newestVersion, view.updateAvailable);

    EXPECT_FALSE(view.connected);
    EXPECT_EQ(view.newestVersion, "0.5.9");
    EXPECT_EQ(view.installedVersion, "-");
    EXPECT_EQ(view.info.bcdDevice, 0);
    EXPECT_FALSE(view.updateAvailable);
    EXPECT_FALSE(wizard->enterUpdateMode());

    int result = 7;
    EXPECT_FALSE(wizard->callbacks().performUpdate(result));
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(wizard->callbacks().isUpdateRunning());
}

TEST_F(UpgradeLogicTest, InstalledVersionAgainstTheNewest)
{
    struct Case {
        std::uint16_t baseId;
        std::uint16_t bcdDevice;
        const char* installed;
        bool updateAvailable;
    } const cases[] = {
        {Ids::kSelaMK2ProductId, 0x0058, "0.5.8", true},     {Ids::kSelaMK2ProductId, 0x0059, "0.5.9", false},
        {Ids::kRovaMK2ProductId, 0x0000, "0.0.0", true},     {Ids::kTumoMK2ProductId, 0x0100, "1.0.0", false},
        {Ids::kTumoMK2ProductId, 0x12AF, "18.10.15", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installed);
        restartWithNewBus();
        attach(keyboardSpec(c.baseId, "K-1", c.bcdDevice), keyboardOptions(c.baseId));

        const WizardDriver::DeviceView view = wizard->scan();
        EXPECT_TRUE(view.connected);
        EXPECT_EQ(view.info.productId, c.baseId);
        EXPECT_EQ(view.info.serialNumber, "K-1");
        EXPECT_EQ(view.info.bcdDevice, c.bcdDevice);
        EXPECT_EQ(view.installedVersion, c.installed);
        EXPECT_EQ(view.newestVersion, "0.5.9");
        EXPECT_EQ(view.updateAvailable, c.updateAvailable);
    }
}

TEST_F(UpgradeLogicTest, DevicesThatAreNoTargetKeyboardAreIgnored)
{
    SimulatedDeviceDescription otherVendor = keyboardSpec(Ids::kSelaMK2ProductId, "A");
    otherVendor.vendorId = static_cast<std::uint16_t>(Ids::kVendorId + 1);
    SimulatedDeviceDescription unknownModel =
        keyboardSpec(static_cast<std::uint16_t>(Ids::kTumoMK2ProductId + 0x10), "B");
    SimulatedDeviceDescription noDFUInterface = keyboardSpec(Ids::kRovaMK2ProductId, "C");
    noDFUInterface.dfuInterface = false;
    for (const SimulatedDeviceDescription& spec : {otherVendor, unknownModel, noDFUInterface})
        bus->addDevice(spec);

    WizardDriver::DeviceView view = wizard->scan();
    EXPECT_FALSE(view.connected);
    EXPECT_FALSE(view.updateAvailable);
}

TEST_F(UpgradeLogicTest, TheKeyboardReportedLastIsUsed)
{
    attachSela("FIRST");
    attach(keyboardSpec(Ids::kTumoMK2ProductId, "SECOND", 0x0059), keyboardOptions(Ids::kTumoMK2ProductId));

    const WizardDriver::DeviceView view = wizard->scan();
    EXPECT_TRUE(view.connected);
    EXPECT_EQ(view.info.serialNumber, "SECOND");
    EXPECT_EQ(view.info.productId, Ids::kTumoMK2ProductId);
    EXPECT_FALSE(view.updateAvailable);
}

TEST_F(UpgradeLogicTest, KeyboardFoundInDFUModeIsUpdatedWithoutADetach)
{
    auto keyboard =
        attach(keyboardSpec(Ids::kRovaMK2ProductId, "ROVA-DFU").inDFUMode(), keyboardOptions(Ids::kRovaMK2ProductId));

    const WizardDriver::DeviceView view = wizard->scan();
    ASSERT_TRUE(view.connected);
    EXPECT_EQ(view.info.productId, Ids::dfuModeProductId(Ids::kRovaMK2ProductId));
    EXPECT_TRUE(view.updateAvailable);
    bus->clearRequestLog();
    ASSERT_TRUE(wizard->enterUpdateMode());
    EXPECT_TRUE(dfuRequestCodes(*bus).empty());

    ASSERT_TRUE(wizard->startUpdate());
    EXPECT_EQ(wizard->pollResult(kTick, kPollLimit), 1);
    EXPECT_EQ(keyboard->function().received(), mainImage(Ids::kRovaMK2ProductId));
}

// Transfer sizes the client cannot send (1..8191 can be) are refused on
// every road into update mode, and by the update itself, with the message;
// nothing is written.
TEST_F(UpgradeLogicTest, UnsupportedTransferSizeIsRefusedBeforeTheUpdate)
{
    std::vector<std::string> logged;
    SystemLog::Sink previousSink =
        SystemLog::setSink([&logged](SystemLog::Severity, const std::string& message) { logged.push_back(message); });
    for (const std::uint16_t size : {0, 8192, 65535}) {
        for (const bool foundInDFUMode : {false, true}) {
            SCOPED_TRACE(testing::Message() << size << (foundInDFUMode ? " found in DFU mode" : ""));
            restartWithNewBus();
            const SimulatedDeviceDescription spec = keyboardSpec(Ids::kSelaMK2ProductId, "S", kOldVersion, size);
            auto keyboard = attach(foundInDFUMode ? spec.inDFUMode() : spec, keyboardOptions(Ids::kSelaMK2ProductId));
            ASSERT_TRUE(wizard->scan().updateAvailable);
            logged.clear();

            EXPECT_FALSE(wizard->enterUpdateMode());
            EXPECT_FALSE(wizard->callbacks().connectInUpdateMode());
            EXPECT_FALSE(wizard->startUpdate());
            EXPECT_EQ(wizard->result(), -1);
            EXPECT_FALSE(contains(dfuRequestCodes(*bus), DFU::DFU_DNLOAD));
            ASSERT_FALSE(logged.empty());
            for (const std::string& message : logged)
                EXPECT_EQ(message, "DFUDevice: Unsupported wTransferSize (" + std::to_string(size) + ")\n");
        }
    }
    SystemLog::setSink(previousSink);
}

TEST_F(UpgradeLogicTest, KeyboardThatReturnsLateIsFoundByTheRetry)
{
    SimulatedDFUKeyboard::Options options = keyboardOptions(Ids::kSelaMK2ProductId);
    options.faults.lateReenumeration = milliseconds(4000);
    auto keyboard = attach(keyboardSpec(Ids::kSelaMK2ProductId, "LATE"), options);
    ASSERT_TRUE(wizard->scan().updateAvailable);

    EXPECT_FALSE(wizard->enterUpdateMode());
    EXPECT_FALSE(logic->device().isConnected());
    sleeper->sleepFor(milliseconds(5000)); // the user reads the page and presses the action button again
    ASSERT_TRUE(wizard->retryUpdateMode());
    EXPECT_EQ(logic->device().getMode(), DFUDevice::eModeDFU);
    EXPECT_EQ(logic->device().getDeviceInfo().serialNumber, "LATE");

    ASSERT_TRUE(wizard->startUpdate());
    EXPECT_EQ(wizard->pollResult(kTick, kPollLimit), 1);
    EXPECT_EQ(keyboard->function().received(), mainImage(Ids::kSelaMK2ProductId));
}

TEST_F(UpgradeLogicTest, FailedWritesEndInAbortAndResultMinusTwo)
{
    struct Case {
        const char* name;
        std::uint16_t transferSize;
        int stallAtBlock;
        int errorAtBlock;
    } const cases[] = {
        {"stall at block 7", 4096, 7, SimulatedDFUFunction::none},
        {"error status at block 0", 4096, SimulatedDFUFunction::none, 0},
        {"error status at the last block", 4096, SimulatedDFUFunction::none, 92},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restartWithNewBus();
        SimulatedDFUKeyboard::Options options = keyboardOptions(Ids::kSelaMK2ProductId);
        options.faults.stallAtBlock = c.stallAtBlock;
        options.faults.errorAtBlock = c.errorAtBlock;
        auto keyboard = attach(keyboardSpec(Ids::kSelaMK2ProductId, "S", kOldVersion, c.transferSize), options);

        bringIntoUpdateMode();
        bus->clearRequestLog();
        ASSERT_TRUE(wizard->startUpdate());
        EXPECT_EQ(wizard->pollResult(kTick, kPollLimit), -2);
        EXPECT_TRUE(contains(dfuRequestCodes(*bus), DFU::DFU_ABORT));
        EXPECT_FALSE(logic->device().isConnected());
        EXPECT_FALSE(wizard->callbacks().isUpdateRunning());
    }
}

TEST_F(UpgradeLogicTest, WholeRoadWritesTheMainImageAndShowsTheNewVersion)
{
    auto keyboard = attachSela();
    bringIntoUpdateMode();

    ASSERT_TRUE(wizard->startUpdate());
    EXPECT_EQ(wizard->pollResult(kTick, kPollLimit), 1);
    EXPECT_FALSE(logic->device().isConnected());
    EXPECT_EQ(keyboard->function().received(), mainImage(Ids::kSelaMK2ProductId));

    sleeper->sleepFor(milliseconds(5000)); // the worker's final pause, in the keyboard's time
    const WizardDriver::DeviceView after = wizard->scan();
    ASSERT_TRUE(after.connected);
    EXPECT_EQ(after.info.productId, Ids::kSelaMK2ProductId);
    EXPECT_EQ(after.installedVersion, "0.5.9");
    EXPECT_FALSE(after.updateAvailable);
    EXPECT_FALSE(wizard->callbacks().isUpdateRunning());
}

TEST_F(UpgradeLogicTest, KeyboardThatNeedsNoUpdateIsOnlyReturnedToNormalMode)
{
    auto keyboard = attach(keyboardSpec(Ids::kSelaMK2ProductId, "UP-TO-DATE", kNewestVersion),
                           keyboardOptions(Ids::kSelaMK2ProductId));
    ASSERT_FALSE(wizard->scan().updateAvailable);
    ASSERT_TRUE(wizard->enterUpdateMode());
    bus->clearRequestLog();

    ASSERT_TRUE(wizard->startUpdate());
    EXPECT_EQ(wizard->pollResult(kTick, kPollLimit), 1);
    EXPECT_FALSE(contains(dfuRequestCodes(*bus), DFU::DFU_DNLOAD));
    EXPECT_TRUE(keyboard->function().received().empty());
    EXPECT_FALSE(logic->device().isConnected());
}

TEST_F(UpgradeLogicTest, CloseRequestWithoutWorkerWaitsItsTimeAndDoesNotThrow)
{
    EXPECT_FALSE(wizard->callbacks().isUpdateRunning());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_NO_THROW(wizard->callbacks().applicationCloseRequest());
    EXPECT_GE(std::chrono::steady_clock::now() - start, milliseconds(450));
    EXPECT_FALSE(wizard->callbacks().isUpdateRunning());
}

TEST_F(UpgradeLogicTest, InterruptDuringTheFinalPauseLeavesTheResultAtZero)
{
    makeLogic(boost::chrono::milliseconds(600000));
    auto keyboard = attachSela();
    bringIntoUpdateMode();
    bus->clearRequestLog();
    ASSERT_TRUE(wizard->startUpdate());

    // Wait until the keyboard was sent back to normal mode: the worker then
    // disconnects it and starts its final pause.
    const auto deadline = std::chrono::steady_clock::now() + kPollLimit;
    while (!contains(dfuRequestCodes(*bus), DFU::DFU_DETACH) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(kTick);
    ASSERT_TRUE(contains(dfuRequestCodes(*bus), DFU::DFU_DETACH));
    EXPECT_TRUE(wizard->callbacks().isUpdateRunning());

    EXPECT_TRUE(wizard->quit());
    EXPECT_TRUE(logic->waitForWorker(boost::chrono::milliseconds(10000)));
    EXPECT_EQ(wizard->result(), 0);
    EXPECT_FALSE(logic->device().isConnected());
    EXPECT_EQ(keyboard->function().received(), mainImage(Ids::kSelaMK2ProductId));
}

// The DFU waits of the keyboard, in virtual time, except the first wait of a
// manifestation, which holds the worker until the test opens the gate.
class GatedSleeper : public Sleeper {
public:
    explicit GatedSleeper(Sleeper& time)
        : m_time(time)
    {
    }

    void sleepFor(Duration duration) override
    {
        if (duration == DFUDevice::kTolerantManifestationPeriod) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_reached = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_open; });
        }
        m_time.sleepFor(duration);
    }

    Duration now() const override { return m_time.now(); }

    bool waitUntilReached(milliseconds limit)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, limit, [this] { return m_reached; });
    }

    void open()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    Sleeper& m_time;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_reached = false;
    bool m_open = false;
};

TEST_F(UpgradeLogicTest, CallerMayGoOnceShutDownHasWaitedAndTheLogicOutlivesItsWorker)
{
    GatedSleeper gate(*sleeper);
    makeLogic(boost::chrono::milliseconds(0), &gate);
    auto keyboard = attachSela("SLOW");
    bringIntoUpdateMode();

    auto callerResult = std::make_unique<int>(0);
    ASSERT_TRUE(wizard->callbacks().performUpdate(*callerResult));
    ASSERT_TRUE(gate.waitUntilReached(kPollLimit));

    EXPECT_TRUE(wizard->callbacks().isUpdateRunning());
    int second = 5;
    EXPECT_FALSE(wizard->callbacks().performUpdate(second)) << "a second worker while the first writes";
    EXPECT_EQ(second, -1);

    // Shut-down waits for the worker, which is still inside the download,
    // and the wizard that owns the result integer goes away.
    EXPECT_FALSE(logic->waitForWorker(boost::chrono::milliseconds(50)));
    EXPECT_EQ(*callerResult, 0);
    callerResult.reset();
    gate.open(); // the worker finishes and stores its result into its own cell only
    EXPECT_TRUE(logic->waitForWorker(boost::chrono::milliseconds(20000)));
    EXPECT_EQ(keyboard->function().received(), mainImage(Ids::kSelaMK2ProductId));
}

TEST_F(UpgradeLogicTest, DestroyingTheLogicWaitsForAWorkerInsideTheDownload)
{
    GatedSleeper gate(*sleeper);
    makeLogic(boost::chrono::milliseconds(0), &gate);
    auto keyboard = attachSela();
    bringIntoUpdateMode();
    ASSERT_TRUE(wizard->startUpdate());
    ASSERT_TRUE(gate.waitUntilReached(kPollLimit));

    // The user confirms the quit; the download cannot be interrupted.
    EXPECT_TRUE(wizard->quit());
    std::thread opener([&gate] {
        std::this_thread::sleep_for(milliseconds(100));
        gate.open();
    });
    wizard.reset();
    logic.reset();
    opener.join();
    EXPECT_EQ(keyboard->function().received(), mainImage(Ids::kSelaMK2ProductId));
}

// Whether stand-ins may be written is asked of the host the keyboard was
// opened through, whichever host the process uses when the update starts.
TEST_F(UpgradeLogicTest, StandInFirmwareIsNeverWrittenToARealKeyboard)
{
    if (CV::FW::carriesProductFirmware())
        GTEST_SKIP() << "built with the product's images";

    // A host of real hardware, as the libusb host is, with simulated keyboards behind it.
    struct RealHost : USBHost {
        std::shared_ptr<SimulatedBus> bus;
        std::vector<DeviceEntry> enumerate() override { return bus->enumerate(); }
        std::unique_ptr<USBHostDevice> open(std::uint32_t handle, Status& status) override
        {
            return bus->open(handle, status);
        }
    };
    struct Case {
        bool openedThroughRealHost;
        bool realHostWhenTheUpdateStarts;
        bool written;
    } const cases[] = {{true, true, false}, {true, false, false}, {false, true, true}, {false, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.openedThroughRealHost << c.realHostWhenTheUpdateStarts);
        restartWithNewBus();
        auto realHost = std::make_shared<RealHost>();
        realHost->bus = bus;
        const auto selectHost = [&](bool real) {
            useHost(real ? std::shared_ptr<USBHost>(realHost) : std::shared_ptr<USBHost>(bus));
        };
        std::vector<std::string> logged;
        SystemLog::Sink previousSink = SystemLog::setSink(
            [&logged](SystemLog::Severity, const std::string& message) { logged.push_back(message); });

        selectHost(c.openedThroughRealHost);
        auto keyboard = attachSela();
        bringIntoUpdateMode();
        bus->clearRequestLog();
        selectHost(c.realHostWhenTheUpdateStarts);
        ASSERT_TRUE(wizard->startUpdate());
        EXPECT_EQ(wizard->pollResult(kTick, kPollLimit), c.written ? 1 : -1);
        SystemLog::setSink(previousSink);

        EXPECT_EQ(contains(dfuRequestCodes(*bus), DFU::DFU_DNLOAD), c.written);
        EXPECT_EQ(keyboard->function().received().empty(), !c.written);
        EXPECT_FALSE(logic->device().isConnected());
        if (!c.written) {
            ASSERT_EQ(logged.size(), 1u);
            EXPECT_NE(logged[0].find("carries no product firmware"), std::string::npos) << logged[0];
        }
    }
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VARANTO_SKIP_ADDRESS_LIMIT 1
#else
rlim_t currentAddressSpace()
{
    std::ifstream statm("/proc/self/statm");
    rlim_t pages = 0;
    statm >> pages;
    return pages * static_cast<rlim_t>(sysconf(_SC_PAGESIZE));
}
#endif

TEST_F(UpgradeLogicTest, WorkerThatCannotStartRaisesTheResourceError)
{
#ifdef VARANTO_SKIP_ADDRESS_LIMIT
    GTEST_SKIP() << "the sanitizers need address space of their own";
#else
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto keyboard = attachSela();
    bringIntoUpdateMode();
    rlimit addressSpaceNearlyFull{0, 0};
    getrlimit(RLIMIT_AS, &addressSpaceNearlyFull);
    addressSpaceNearlyFull.rlim_cur = currentAddressSpace() + 512 * 1024;
    EXPECT_EXIT(
        {
            // No room left for another thread's stack.
            setrlimit(RLIMIT_AS, &addressSpaceNearlyFull);
            int result = 9;
            try {
                wizard->callbacks().performUpdate(result);
            } catch (const boost::thread_resource_error& error) {
                _exit(result == 0 && !wizard->callbacks().isUpdateRunning() ? error.code().value() : 100);
            }
            _exit(101);
        },
        ::testing::ExitedWithCode(11), "");
#endif
}

} // namespace

namespace {

using UpgradeLogicRealTime = SimulatedBusFixture;

TEST_F(UpgradeLogicRealTime, WholeRoadOnASimulatedKeyboard)
{
    auto keyboard = std::make_shared<SimulatedDFUKeyboard>(keyboardSpec(Ids::kTumoMK2ProductId, "TUMO-RT"),
                                                           keyboardOptions(Ids::kTumoMK2ProductId));
    SimulatedDFUKeyboard::attach(*bus, keyboard);
    {
        Logic logic;
        WizardDriver wizard(UpdaterCallbacks::bindTo(&logic));
        const WizardDriver::DeviceView before = wizard.scan();
        ASSERT_TRUE(before.updateAvailable);
        EXPECT_EQ(before.installedVersion, "0.5.8");
        ASSERT_TRUE(wizard.enterUpdateMode());
        ASSERT_TRUE(wizard.startUpdate());
        EXPECT_EQ(wizard.pollResult(milliseconds(40), milliseconds(120000)), 1);

        const WizardDriver::DeviceView after = wizard.scan();
        EXPECT_TRUE(after.connected);
        EXPECT_EQ(after.installedVersion, "0.5.9");
        EXPECT_FALSE(after.updateAvailable);
        EXPECT_TRUE(wizard.quit());
    }
    EXPECT_EQ(keyboard->function().received(), mainImage(Ids::kTumoMK2ProductId));
}

// A keyboard that takes its time, in real time, over every block it is sent.
class SlowBlocks : public SimulatedRequestHandler {
public:
    SlowBlocks(std::shared_ptr<SimulatedDFUKeyboard> keyboard, milliseconds perBlock)
        : m_keyboard(std::move(keyboard))
        , m_perBlock(perBlock)
    {
    }

    std::optional<SimulatedReply> handleRequest(SimulatedDevice& device, const USBSetupPacket& setup,
                                                std::uint8_t* data) override
    {
        if (setup.type() == USBSetupPacket::kTypeClass && setup.bRequest == DFU::DFU_DNLOAD && setup.wLength != 0) {
            ++m_blocks;
            std::this_thread::sleep_for(m_perBlock);
        }
        return m_keyboard->handleRequest(device, setup, data);
    }

    int blocks() const { return m_blocks; }

private:
    std::shared_ptr<SimulatedDFUKeyboard> m_keyboard;
    milliseconds m_perBlock;
    std::atomic<int> m_blocks{0};
};

// The user quits while the worker writes: the write is never cut inside a
// block; destroying the logic waits for the worker, at most until the
// worker's deadline, and the worker ends by itself at its image deadline
// when the write takes longer.
TEST_F(UpgradeLogicRealTime, QuitDuringAWriteOnASlowKeyboardEndsWithinTheDeadline)
{
    struct Case {
        const char* name;
        milliseconds perBlock;
        milliseconds imageDeadline;
        bool wholeImage;
    } const cases[] = {
        {"write ends in time", milliseconds(10), DFUDevice::kImageDeadline, true},
        {"write ends at its deadline", milliseconds(50), milliseconds(700), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        replaceBus();
        auto keyboard = std::make_shared<SimulatedDFUKeyboard>(
            keyboardSpec(Ids::kTumoMK2ProductId, "TUMO-SLOW").inDFUMode(), keyboardOptions(Ids::kTumoMK2ProductId));
        auto slow = std::make_shared<SlowBlocks>(keyboard, c.perBlock);
        bus->addDevice(keyboard->specFor(true), slow);

        auto logic = std::make_unique<Logic>(Sleeper::system(), boost::chrono::milliseconds(600000));
        logic->device().setDeadlines(DFUDevice::kBlockDeadline, c.imageDeadline);
        WizardDriver wizard(UpdaterCallbacks::bindTo(logic.get()));
        ASSERT_TRUE(wizard.scan().updateAvailable);
        ASSERT_TRUE(wizard.enterUpdateMode());
        bus->clearRequestLog();
        // The worker's deadline without its final pause, which the quit interrupts.
        const auto bound = logic->workerDeadlineFromNow() - boost::chrono::milliseconds(600000);
        ASSERT_TRUE(wizard.startUpdate());
        const auto started = std::chrono::steady_clock::now();
        while (slow->blocks() < 3 && std::chrono::steady_clock::now() - started < kPollLimit)
            std::this_thread::sleep_for(kTick);

        EXPECT_TRUE(wizard.quit());
        logic.reset();
        EXPECT_LT(boost::chrono::steady_clock::now(), bound);
        EXPECT_EQ(wizard.result(), 0) << "the caller was let go";

        const std::vector<std::uint8_t>& received = keyboard->function().received();
        EXPECT_EQ(received == mainImage(Ids::kTumoMK2ProductId), c.wholeImage);
        EXPECT_TRUE(received.size() % 4096 == 0 || c.wholeImage) << "a block cut short: " << received.size();
        EXPECT_EQ(contains(dfuRequestCodes(*bus), DFU::DFU_ABORT), !c.wholeImage);
        EXPECT_EQ(dfuRequestCodes(*bus).back(), DFU::DFU_DETACH);
    }
}

} // namespace
