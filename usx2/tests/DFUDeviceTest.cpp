#include "usx2/dfu/DFUDevice.h"

#include "usx2/usb/VarantoUSBIds.h"
#include "usx2/usb/linux/SimulatedBus.h"
#include "usx2/usb/linux/SimulatedDFUKeyboard.h"
#include "usx2/util/Logging.h"
#include "usx2/util/SystemLog.h"
#include "usx2/util/VirtualSleeper.h"

#include "SimulatedBusFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace CV::USX2;
using std::chrono::milliseconds;

namespace {

constexpr std::uint32_t kImageSize = 378048;
constexpr std::uint16_t kOldVersion = 0x0058;
constexpr std::uint16_t kNewVersion = 0x0059;
constexpr const char* kSerial = "VMK2-0042";

constexpr std::uint8_t kCanDownload = DFU::bitCanDnload;
constexpr std::uint8_t kTolerant = DFU::bitManifestationTolerant;
constexpr std::uint8_t kWillDetach = DFU::bitWillDetach;

const std::vector<std::uint8_t>& firmware()
{
    static const std::vector<std::uint8_t> image = [] {
        std::vector<std::uint8_t> bytes(kImageSize);
        std::uint32_t x = 0x1234567;
        for (auto& b : bytes) {
            x = x * 1103515245 + 12345;
            b = static_cast<std::uint8_t>(x >> 16);
        }
        return bytes;
    }();
    return image;
}

SimulatedDeviceDescription selaKeyboard(std::uint8_t attributes, std::uint16_t transferSize = 4096)
{
    SimulatedDeviceDescription spec =
        SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, kSerial, kOldVersion);
    spec.dfuAttributes = attributes;
    spec.dfuTransferSize = transferSize;
    spec.dfuDetachTimeout = 1000;
    return spec;
}

SimulatedDFUKeyboard::Options keyboardOptions()
{
    SimulatedDFUKeyboard::Options options;
    options.expectedImage = firmware();
    options.newBcdDevice = kNewVersion;
    return options;
}

bool isDFURequest(const SimulatedRequestLogEntry& entry)
{
    return entry.setup.type() != USBSetupPacket::kTypeStandard;
}

// A keyboard whose DFU requests take time: `delay` runs before the keyboard
// answers each of them.
class SlowKeyboard : public SimulatedRequestHandler {
public:
    SlowKeyboard(std::shared_ptr<SimulatedDFUKeyboard> keyboard, std::function<void(const USBSetupPacket&)> delay)
        : m_keyboard(std::move(keyboard))
        , m_delay(std::move(delay))
    {
    }

    std::optional<SimulatedReply> handleRequest(SimulatedDevice& device, const USBSetupPacket& setup,
                                                std::uint8_t* data) override
    {
        if (setup.type() != USBSetupPacket::kTypeStandard)
            m_delay(setup);
        return m_keyboard->handleRequest(device, setup, data);
    }

private:
    std::shared_ptr<SimulatedDFUKeyboard> m_keyboard;
    std::function<void(const USBSetupPacket&)> m_delay;
};

// The simulated bus in virtual time, one keyboard on it and the client.
class DFUClientTest : public SimulatedBusFixture {
protected:
    void SetUp() override
    {
        useVirtualTime();
        device.setSleeper(*sleeper);
    }

    void TearDown() override { device.disconnect(); }

    // Starts again on an empty bus at time 0.
    void useFreshBus()
    {
        device.disconnect();
        sleeper = std::make_shared<VirtualSleeper>();
        replaceBus();
        device.setSleeper(*sleeper);
    }

    std::uint32_t attach(const SimulatedDeviceDescription& spec,
                         SimulatedDFUKeyboard::Options options = keyboardOptions())
    {
        keyboard = std::make_shared<SimulatedDFUKeyboard>(spec, std::move(options));
        return SimulatedDFUKeyboard::attach(*bus, keyboard);
    }

    // A keyboard that is already in DFU mode, connected.
    void connectInDFUMode(const SimulatedDeviceDescription& spec,
                          SimulatedDFUKeyboard::Options options = keyboardOptions())
    {
        ASSERT_TRUE(device.connect(USBDeviceOSHandle{attach(spec.inDFUMode(), std::move(options))}));
        ASSERT_EQ(device.getMode(), DFUDevice::eModeDFU);
        bus->clearRequestLog();
    }

    std::vector<SimulatedRequestLogEntry> dfuRequests() const
    {
        std::vector<SimulatedRequestLogEntry> out;
        for (const auto& entry : bus->requestLog())
            if (isDFURequest(entry))
                out.push_back(entry);
        return out;
    }

    std::vector<std::uint8_t> requestCodes() const
    {
        std::vector<std::uint8_t> out;
        for (const auto& entry : dfuRequests())
            out.push_back(entry.setup.bRequest);
        return out;
    }

    // Whether the keyboard is on the bus in application mode with this version.
    bool applicationModeKeyboardWithVersion(std::uint16_t version)
    {
        for (const auto& entry : bus->enumerate())
            if (entry.ids.productId == Ids::kSelaMK2ProductId && entry.ids.bcdDevice == version)
                return true;
        return false;
    }

    std::shared_ptr<SimulatedDFUKeyboard> keyboard;
    DFUDevice device;
};

} // namespace

TEST_F(DFUClientTest, DownloadBlocksFollowTheTransferSize)
{
    struct Case {
        std::uint16_t transferSize;
        std::uint16_t fullBlocks;
        std::uint16_t lastLength; // 0: no partial block
    } cases[] = {
        {64, 5907, 0},
        {1024, 369, 192},
        {4096, 92, 1216},
        {8191, 46, 1262},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.transferSize);
        connectInDFUMode(selaKeyboard(kCanDownload | kTolerant | kWillDetach, c.transferSize));
        DFU::GetStatus status;
        ASSERT_TRUE(device.writeImage(firmware().data(), kImageSize, status));

        std::vector<SimulatedRequestLogEntry> downloads;
        for (const auto& entry : dfuRequests())
            if (entry.setup.bRequest == DFU::DFU_DNLOAD)
                downloads.push_back(entry);
        const std::size_t dataBlocks = c.fullBlocks + (c.lastLength ? 1 : 0);
        ASSERT_EQ(downloads.size(), dataBlocks + 1);
        std::vector<std::uint8_t> received;
        for (std::size_t i = 0; i < downloads.size(); ++i) {
            const auto& setup = downloads[i].setup;
            EXPECT_EQ(setup.bmRequestType, 0x21);
            EXPECT_EQ(setup.wValue, i);
            EXPECT_EQ(setup.wIndex, device.getInterfaceNumber());
            const std::uint16_t expected = i < c.fullBlocks ? c.transferSize : (i < dataBlocks ? c.lastLength : 0);
            ASSERT_EQ(setup.wLength, expected) << "block " << i;
            received.insert(received.end(), downloads[i].data.begin(), downloads[i].data.end());
        }
        EXPECT_TRUE(received == firmware());
        device.disconnect();
    }
}

TEST_F(DFUClientTest, UnsupportedTransferSizeSendsNothing)
{
    std::vector<std::string> messages;
    const auto previousSink =
        SystemLog::setSink([&messages](SystemLog::Severity, const std::string& text) { messages.push_back(text); });
    for (const std::uint16_t size : {0, 8192}) {
        SCOPED_TRACE(size);
        messages.clear();
        connectInDFUMode(selaKeyboard(kCanDownload | kTolerant | kWillDetach, size));
        DFU::GetStatus status;
        EXPECT_FALSE(device.writeImage(firmware().data(), kImageSize, status));
        EXPECT_EQ(status.bStatus, DFU::errUNKNOWN);
        EXPECT_TRUE(bus->requestLog().empty());
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], "DFUDevice: Unsupported wTransferSize (" + std::to_string(size) + ")\n");
        device.disconnect();
    }
    SystemLog::setSink(previousSink);
}

TEST_F(DFUClientTest, LocalFailuresBeforeAnyRequest)
{
    DFU::GetStatus status;
    EXPECT_FALSE(device.writeImage(firmware().data(), kImageSize, status));
    EXPECT_EQ(status.bStatus, DFU::errWRITE); // not in DFU mode
    connectInDFUMode(selaKeyboard(kCanDownload | kTolerant | kWillDetach));
    EXPECT_FALSE(device.writeImage(nullptr, kImageSize, status));
    EXPECT_EQ(status.bStatus, DFU::errTARGET);
    EXPECT_FALSE(device.writeImage(firmware().data(), 0, status));
    EXPECT_EQ(status.bStatus, DFU::errTARGET);
    EXPECT_TRUE(bus->requestLog().empty());
}

TEST_F(DFUClientTest, LongPollTimeoutIsWaitedAsOneSecond)
{
    auto options = keyboardOptions();
    options.busyTime = milliseconds(2500);
    options.bwPollTimeout = 5000;
    connectInDFUMode(selaKeyboard(kCanDownload | kTolerant | kWillDetach, 4096), options);
    DFU::GetStatus status;
    ASSERT_TRUE(device.writeImage(firmware().data(), 4096, status));
    const auto sleeps = sleeper->sleeps();
    ASSERT_GE(sleeps.size(), 3u);
    EXPECT_EQ(sleeps[0], milliseconds(1000));
    EXPECT_EQ(sleeps[1], milliseconds(1000));
    EXPECT_EQ(sleeps[2], milliseconds(1000));
    EXPECT_TRUE(std::all_of(sleeps.begin(), sleeps.end(), [](milliseconds m) { return m <= milliseconds(1000); }));
}

TEST_F(DFUClientTest, ToleratedManifestationPollsTheState)
{
    auto options = keyboardOptions();
    options.manifestTime = milliseconds(1500);
    connectInDFUMode(selaKeyboard(kCanDownload | kTolerant | kWillDetach, 8191), options);
    DFU::GetStatus status;
    ASSERT_TRUE(device.writeImage(firmware().data(), kImageSize, status));
    EXPECT_EQ(status.bStatus, DFU::OK);
    EXPECT_EQ(status.bState, DFU::dfuIDLE);

    auto codes = requestCodes();
    const auto finalBlock =
        std::find_if(codes.rbegin(), codes.rend(), [](std::uint8_t code) { return code == DFU::DFU_DNLOAD; });
    const std::vector<std::uint8_t> tail(finalBlock.base(), codes.end());
    const std::vector<std::uint8_t> expected = {
        DFU::DFU_GETSTATE, // dfuMANIFEST-SYNC
        DFU::DFU_GETSTATUS, // starts manifestation: dfuMANIFEST
        DFU::DFU_GETSTATE, // after 1 s: still dfuMANIFEST
        DFU::DFU_GETSTATE, // after 2 s: dfuMANIFEST-SYNC
        DFU::DFU_GETSTATUS, // done: dfuIDLE
        DFU::DFU_GETSTATE, // after 3 s: dfuIDLE
        DFU::DFU_GETSTATUS,
    };
    EXPECT_EQ(tail, expected);

    ASSERT_TRUE(device.returnToAPPMode());
    EXPECT_EQ(requestCodes().back(), DFU::DFU_DETACH);
    sleeper->sleepFor(milliseconds(1000));
    EXPECT_TRUE(applicationModeKeyboardWithVersion(kNewVersion));
}

TEST_F(DFUClientTest, NotToleratedManifestationReconnectsInApplicationMode)
{
    auto options = keyboardOptions();
    options.manifestTime = milliseconds(4000);
    connectInDFUMode(selaKeyboard(kCanDownload | kWillDetach, 4096), options);
    DFU::GetStatus status;
    ASSERT_TRUE(device.writeImage(firmware().data(), kImageSize, status));
    EXPECT_EQ(status.bState, DFU::dfuMANIFEST_WAIT_RESET);
    EXPECT_EQ(status.bStatus, DFU::OK);
    EXPECT_TRUE(device.isConnected());
    EXPECT_EQ(device.getMode(), DFUDevice::eModeApplication);
    EXPECT_EQ(device.getDeviceInfo().bcdDevice, kNewVersion);
    EXPECT_EQ(sleeper->sleeps().back(), milliseconds(10000));

    bus->clearRequestLog();
    EXPECT_TRUE(device.returnToAPPMode());
    EXPECT_TRUE(dfuRequests().empty());
}

// Not manifestation-tolerant: each pass sleeps 10 s, gives up when the time
// waited before it exceeds the limit, and otherwise looks for the keyboard
// in application mode. A keyboard back 31 s into manifestation is found by
// the fourth look, at 40 s.
TEST_F(DFUClientTest, ManifestationWaitSleepsThenChecksTheLimitThenScans)
{
    struct Case {
        const char* name;
        std::uint16_t wDetachTimeOut;
        long manifestMs; // the keyboard is back 1 s after this; -1: never
        bool written;
        std::size_t periods; // 10-s sleeps
    } cases[] = {
        {"back after 4 s", 1000, 3000, true, 1},
        {"back after 31 s", 1000, 30000, true, 4},
        {"back after 39 s", 1000, 38000, true, 4},
        {"never back, 30-s limit", 1000, -1, false, 5},
        {"back after 49 s, 45-s limit", 45000, 48000, true, 5},
        {"never back, 45-s limit", 45000, -1, false, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useFreshBus();
        auto options = keyboardOptions();
        options.manifestTime = milliseconds(c.manifestMs < 0 ? 0 : c.manifestMs);
        options.faults.noReenumeration = c.manifestMs < 0;
        SimulatedDeviceDescription spec = selaKeyboard(kCanDownload | kWillDetach, 4096);
        spec.dfuDetachTimeout = c.wDetachTimeOut;
        connectInDFUMode(spec, options);

        DFU::GetStatus status;
        EXPECT_EQ(device.writeImage(firmware().data(), kImageSize, status), c.written);
        EXPECT_EQ(status.bStatus, c.written ? DFU::OK : DFU::errUNKNOWN);
        const auto sleeps = sleeper->sleeps();
        EXPECT_EQ(std::size_t(std::count(sleeps.begin(), sleeps.end(), DFUDevice::kManifestationPeriod)), c.periods);
        device.disconnect();
    }
}

// The busy-poll bound counts only the client's own sleeps; requests that take
// long themselves are bounded by the deadlines of the block and the image,
// in the sleeper's time, and end in errUNKNOWN.
TEST_F(DFUClientTest, SlowRequestsEndAtTheBlockAndImageDeadlines)
{
    struct Case {
        const char* name;
        std::uint8_t request; // the slow one
        milliseconds takes;
        int endlessBusyAtBlock;
        milliseconds endsBefore;
    } cases[] = {
        {"busy for ever, 4.9-s status requests", DFU::DFU_GETSTATUS, milliseconds(4900), 2,
         DFUDevice::kBlockDeadline + milliseconds(3 * 4900)},
        {"15-s blocks", DFU::DFU_DNLOAD, milliseconds(15000), SimulatedDFUFunction::none,
         DFUDevice::kImageDeadline + milliseconds(15000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useFreshBus();
        auto options = keyboardOptions();
        options.faults.endlessBusyAtBlock = c.endlessBusyAtBlock;
        keyboard = std::make_shared<SimulatedDFUKeyboard>(
            selaKeyboard(kCanDownload | kTolerant | kWillDetach, 4096).inDFUMode(), options);
        auto slow = std::make_shared<SlowKeyboard>(keyboard, [this, c](const USBSetupPacket& setup) {
            if (setup.bRequest == c.request)
                sleeper->sleepFor(c.takes);
        });
        ASSERT_TRUE(device.connect(USBDeviceOSHandle{bus->addDevice(keyboard->specFor(true), slow)}));

        DFU::GetStatus status;
        EXPECT_FALSE(device.writeImage(firmware().data(), kImageSize, status));
        EXPECT_EQ(status.bStatus, DFU::errUNKNOWN);
        EXPECT_LT(sleeper->now(), c.endsBefore);
        EXPECT_LT(keyboard->function().received().size(), kImageSize);
        device.disconnect();
    }
}

TEST_F(DFUClientTest, ManifestationLimitIsClampedMilliseconds)
{
    struct Case {
        std::uint16_t wDetachTimeOut;
        long limitMs;
    } cases[] = {{0, 30000}, {1000, 30000}, {45000, 45000}, {65535, 65535}};
    for (const Case& c : cases)
        EXPECT_EQ(DFUDevice::manifestationLimit(c.wDetachTimeOut), milliseconds(c.limitMs)) << c.wDetachTimeOut;
}

TEST_F(DFUClientTest, ModeSwitchRequestsFollowBitWillDetach)
{
    struct Case {
        std::uint8_t attributes;
        std::uint8_t into;
        std::uint8_t from;
    } cases[] = {
        {kCanDownload | kTolerant | kWillDetach, DFU::DFU_DETACH, DFU::DFU_DETACH},
        {kCanDownload | kTolerant, DFU::XMOS_DFU_RESETINTODFU, DFU::XMOS_DFU_RESETFROMDFU},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.attributes));
        useFreshBus();
        ASSERT_TRUE(device.connect(USBDeviceOSHandle{attach(selaKeyboard(c.attributes))}));
        ASSERT_EQ(device.getMode(), DFUDevice::eModeApplication);
        bus->clearRequestLog();

        ASSERT_TRUE(device.sendDFUDetach());
        EXPECT_EQ(dfuRequests().back().setup.bRequest, c.into);
        EXPECT_EQ(dfuRequests().back().setup.wValue, c.into == DFU::DFU_DETACH ? 1000 : 0);
        ASSERT_TRUE(device.reconnectInDFUMode());
        EXPECT_EQ(device.getMode(), DFUDevice::eModeDFU);
        EXPECT_EQ(device.getDeviceInfo().productId, Ids::dfuModeProductId(Ids::kSelaMK2ProductId));
        EXPECT_EQ(device.getDeviceInfo().serialNumber, kSerial);

        DFU::GetStatus status;
        ASSERT_TRUE(device.writeImage(firmware().data(), kImageSize, status));
        ASSERT_TRUE(device.returnToAPPMode());
        EXPECT_EQ(dfuRequests().back().setup.bRequest, c.from);
        device.disconnect();
        sleeper->sleepFor(milliseconds(1000));
        EXPECT_TRUE(applicationModeKeyboardWithVersion(kNewVersion));
    }
}

// The whole road as the upgrade logic drives it, with every fault the
// keyboard can show: the road always ends, within the bounds, with the
// expected outcome.
TEST_F(DFUClientTest, InjectedFaultsEndInCleanFailures)
{
    using Faults = SimulatedDFUFunction::Faults;
    enum Outcome { eDetachFails, eReconnectFails, eWriteFails, eReturnFails, eOldVersion, eUpdated };
    struct Case {
        const char* name;
        std::uint8_t attributes;
        void (*inject)(Faults&);
        Outcome outcome;
        std::uint8_t bStatus; // after a failed write
    };
    const std::uint8_t tolerant = kCanDownload | kTolerant | kWillDetach;
    const std::uint8_t notTolerant = kCanDownload | kWillDetach;
    const Case cases[] = {
        {"none", tolerant, [](Faults&) {}, eUpdated, 0},
        {"stall at block 7", tolerant, [](Faults& f) { f.stallAtBlock = 7; }, eWriteFails, 0},
        {"error status at block 7", tolerant, [](Faults& f) { f.errorAtBlock = 7; }, eWriteFails, DFU::errWRITE},
        {"endless dfuDNBUSY", tolerant, [](Faults& f) { f.endlessBusyAtBlock = 3; }, eWriteFails, DFU::errUNKNOWN},
        {"endless dfuMANIFEST", tolerant, [](Faults& f) { f.endlessManifest = true; }, eWriteFails, DFU::errUNKNOWN},
        {"endless dfuMANIFEST, not tolerant", notTolerant, [](Faults& f) { f.endlessManifest = true; }, eWriteFails,
         DFU::errUNKNOWN},
        {"short GETSTATUS", tolerant, [](Faults& f) { f.shortGetStatus = true; }, eWriteFails, 0},
        {"failing GETSTATE", tolerant, [](Faults& f) { f.failingGetState = true; }, eWriteFails, DFU::errUNKNOWN},
        {"no re-enumeration", tolerant, [](Faults& f) { f.noReenumeration = true; }, eReconnectFails, 0},
        {"late re-enumeration", tolerant, [](Faults& f) { f.lateReenumeration = milliseconds(5000); }, eReconnectFails,
         0},
        {"other serial after re-enumeration", tolerant, [](Faults& f) { f.otherSerialAfterReenumeration = true; },
         eReconnectFails, 0},
        {"DETACH stalled in DFU mode", tolerant, [](Faults& f) { f.detachStalledInDFUMode = true; }, eReturnFails, 0},
        {"old version after the update", tolerant, [](Faults& f) { f.oldVersionAfterUpdate = true; }, eOldVersion, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        useFreshBus();
        auto options = keyboardOptions();
        c.inject(options.faults);
        ASSERT_TRUE(device.connect(USBDeviceOSHandle{attach(selaKeyboard(c.attributes), options)}));

        Outcome outcome = eUpdated;
        DFU::GetStatus status;
        if (!device.sendDFUDetach()) {
            outcome = eDetachFails;
        } else if (!device.reconnectInDFUMode()) {
            outcome = eReconnectFails;
        } else if (!device.writeImage(firmware().data(), kImageSize, status)) {
            outcome = eWriteFails;
            device.sendDFUAbort();
            EXPECT_EQ(status.bStatus, c.bStatus);
        }
        if (outcome == eUpdated || outcome == eWriteFails) {
            const bool returned = device.returnToAPPMode();
            if (outcome == eUpdated && !returned)
                outcome = eReturnFails;
            device.disconnect();
            sleeper->sleepFor(milliseconds(5000));
            if (outcome == eUpdated && !applicationModeKeyboardWithVersion(kNewVersion))
                outcome = applicationModeKeyboardWithVersion(kOldVersion) ? eOldVersion : eReturnFails;
        }
        EXPECT_EQ(outcome, c.outcome);
        EXPECT_LT(sleeper->now(), milliseconds(130000));
    }
}

TEST(DFUDeviceInterface, ProtocolZeroCountsByInterfaceNumber)
{
    struct Case {
        std::uint8_t protocol;
        std::uint8_t interfaceNumber;
        std::uint8_t mode;
    } cases[] = {
        {0, 0, DFUDevice::eModeDFU}, {0, 1, DFUDevice::eModeApplication}, {1, 0, DFUDevice::eModeApplication},
        {2, 1, DFUDevice::eModeDFU}, {3, 0, DFUDevice::eModeNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.protocol) << "/" << int(c.interfaceNumber));
        auto bus = SimulatedBus::create();
        ScopedUSBHost host(bus);
        SimulatedDeviceDescription spec = selaKeyboard(kCanDownload | kWillDetach, 512);
        spec.rawConfigurationDescriptor = std::vector<std::uint8_t>{
            9,    2,          27,
            0,    1,          1,
            0,    0x80,       50, // configuration
            9,    4,          c.interfaceNumber,
            0,    0,          0xFE,
            1,    c.protocol, 0, // DFU interface
            9,    0x21,       0x0B,
            0xE8, 0x03,       0x00,
            0x02, 0x10,       0x01, // functional descriptor
        };
        {
            DFUDevice device;
            EXPECT_EQ(device.connect(USBDeviceOSHandle{bus->addDevice(spec)}), c.mode != DFUDevice::eModeNone);
            EXPECT_EQ(device.getMode(), c.mode);
            if (c.mode != DFUDevice::eModeNone) {
                EXPECT_EQ(device.getInterfaceNumber(), c.interfaceNumber);
                EXPECT_EQ(device.getAttributes(), 0x0B);
                EXPECT_EQ(device.getDetachTimeOut(), 1000);
                EXPECT_EQ(device.getTransferSize(), 512);
            }
        }
    }
}

TEST(DFUDeviceInterface, RequestsOnAnUnconnectedDeviceFail)
{
    DFUDevice device;
    EXPECT_FALSE(device.sendDFUDetach());
    EXPECT_FALSE(device.sendDFUAbort());
    EXPECT_FALSE(device.returnToAPPMode());
}

// With the report level at 1 and the category allowed, request failures are
// logged with the status and its text.
TEST_F(DFUClientTest, RequestFailureMessages)
{
    struct Case {
        const char* name;
        void (*inject)(SimulatedDFUFunction::Faults&);
        const char* message;
    } cases[] = {
        {"short GETSTATUS", [](SimulatedDFUFunction::Faults& f) { f.shortGetStatus = true; },
         "DFUDevice: DFU_GETSTATUS failed with status 0x0 (success)\n"},
        {"stalled block", [](SimulatedDFUFunction::Faults& f) { f.stallAtBlock = 0; },
         "DFUDevice: DFU_DNLOAD failed with status 0xe000404f (Pipe has stalled)\n"},
    };
    std::ostringstream log;
    std::ostream* const previousStream = Logging::destinationStream[1];
    const std::uint32_t previousLevel = Logging::detail::__reportLevelAsUInt;
    Logging::destinationStream[1] = &log;
    Logging::detail::__reportLevelAsUInt = 1;
    Logging::allowedCategories.insert("DFUDevice");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        log.str("");
        useFreshBus();
        auto options = keyboardOptions();
        c.inject(options.faults);
        connectInDFUMode(selaKeyboard(kCanDownload | kTolerant | kWillDetach), options);
        DFU::GetStatus status;
        EXPECT_FALSE(device.writeImage(firmware().data(), kImageSize, status));
        EXPECT_EQ(log.str(), c.message);
    }
    Logging::allowedCategories.erase("DFUDevice");
    Logging::detail::__reportLevelAsUInt = previousLevel;
    Logging::destinationStream[1] = previousStream;
}
