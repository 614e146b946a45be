#include "usx2/usb/linux/SimulatedBus.h"
#include "usx2/usb/USBDescriptor.h"
#include "usx2/usb/USBStatusCodes.h"
#include "usx2/usb/VarantoUSBIds.h"
#include "usx2/usb/linux/SimulatedDeviceFile.h"
#include "usx2/util/VirtualSleeper.h"

#include "SimulatedBusFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace CV {
namespace USX2 {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Transfer {
    USBHost::Status status;
    Bytes data;
};

Transfer send(USBHostDevice& device, USBSetupPacket setup, Bytes out = {})
{
    Bytes buffer = out.empty() ? Bytes(setup.wLength, 0xEE) : out;
    std::uint32_t transferred = 0;
    const USBHost::Status status = device.controlTransfer(setup, buffer.empty() ? nullptr : buffer.data(), transferred);
    buffer.resize(status == USBStatus::kSuccess ? transferred : 0);
    return {status, buffer};
}

std::unique_ptr<USBHostDevice> openDevice(SimulatedBus& bus, std::uint32_t handle)
{
    USBHost::Status status = 1;
    std::unique_ptr<USBHostDevice> device = bus.open(handle, status);
    EXPECT_EQ(status, device ? USBStatus::kSuccess : USBStatus::kNoDevice);
    return device;
}

TEST(SimulatedDevice, AnswersStandardRequestsLikeAUSBDevice)
{
    const SimulatedDeviceDescription spec = SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "AB");
    const Bytes device18 = spec.deviceDescriptor();
    const std::uint8_t dfu = spec.dfuInterfaceNumber();
    const struct {
        const char* name;
        USBSetupPacket setup;
        USBHost::Status status;
        Bytes reply;
    } cases[] = {
        {"deviceDescriptor", {0x80, 6, 0x0100, 0, 64}, 0, device18},
        {"deviceDescriptorCutToWLength", {0x80, 6, 0x0100, 0, 8}, 0, Bytes(device18.begin(), device18.begin() + 8)},
        {"languages", {0x80, 6, 0x0300, 0, 255}, 0, {4, 3, 0x09, 0x04}},
        {"serialAnyLanguage", {0x80, 6, 0x0303, 0, 255}, 0, {6, 3, 'A', 0, 'B', 0}},
        {"missingString", {0x80, 6, 0x0309, 0x0409, 255}, USBStatus::kPipeStalled, {}},
        {"secondConfiguration", {0x80, 6, 0x0201, 0, 255}, USBStatus::kPipeStalled, {}},
        {"deviceQualifier", {0x80, 6, 0x0600, 0, 10}, USBStatus::kPipeStalled, {}},
        {"getDescriptorHostToDevice", {0x00, 6, 0x0100, 0, 0}, USBStatus::kPipeStalled, {}},
        {"deviceStatus", {0x80, 0, 0, 0, 2}, 0, {0, 0}},
        {"statusOfMissingInterface", {0x81, 0, 0, 7, 2}, USBStatus::kPipeStalled, {}},
        {"configuration", {0x80, 8, 0, 0, 1}, 0, {1}},
        {"setConfiguration1", {0x00, 9, 1, 0, 0}, 0, {}},
        {"setConfiguration2", {0x00, 9, 2, 0, 0}, USBStatus::kPipeStalled, {}},
        {"getInterface", {0x81, 10, 0, dfu, 1}, 0, {0}},
        {"setAlternateSetting1", {0x01, 11, 1, dfu, 0}, USBStatus::kPipeStalled, {}},
        {"setAddress", {0x00, 5, 3, 0, 0}, USBStatus::kPipeStalled, {}},
        {"clearEndpointZeroHalt", {0x02, 1, 0, 0x80, 0}, 0, {}},
        {"classRequestWithoutHandler", {0xA1, 3, 0, dfu, 6}, USBStatus::kPipeStalled, {}},
        {"vendorRequestWithoutHandler", {0x40, 0xF2, 0, 0, 0}, USBStatus::kPipeStalled, {}},
    };
    std::shared_ptr<SimulatedBus> bus = SimulatedBus::create();
    std::unique_ptr<USBHostDevice> device = openDevice(*bus, bus->addDevice(spec));
    ASSERT_TRUE(device);
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const Transfer result = send(*device, row.setup);
        EXPECT_EQ(result.status, row.status);
        EXPECT_EQ(result.data, row.reply);
    }
}

TEST(SimulatedDevice, KeyboardConfigurationCarriesTheDFUFunctionalDescriptor)
{
    for (const SimulatedDeviceDescription& spec :
         {SimulatedDeviceDescription::keyboard(Ids::kRovaMK2ProductId, "R"),
          SimulatedDeviceDescription::keyboard(Ids::kRovaMK2ProductId, "R").inDFUMode()}) {
        const Bytes configuration = spec.configurationDescriptor();
        ASSERT_EQ(configuration[2] | configuration[3] << 8, static_cast<int>(configuration.size()));
        unsigned remaining = static_cast<unsigned>(configuration.size());
        const auto* header = reinterpret_cast<const USB::DescriptorHeader*>(configuration.data());
        const std::uint8_t* dfuInterface = nullptr;
        const std::uint8_t* functional = nullptr;
        for (; header; header = USB::Descriptor::getNext(header, remaining)) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(header);
            if (header->bDescriptorType == 4 && bytes[5] == 0xFE)
                dfuInterface = bytes;
            else if (dfuInterface && !functional && header->bDescriptorType == 0x21)
                functional = bytes;
        }
        ASSERT_NE(dfuInterface, nullptr);
        ASSERT_NE(functional, nullptr);
        EXPECT_EQ(dfuInterface[2], spec.dfuInterfaceNumber());
        EXPECT_EQ(dfuInterface[7], spec.dfuProtocol);
        EXPECT_EQ(functional[2], spec.dfuAttributes);
        EXPECT_EQ(functional[5] | functional[6] << 8, spec.dfuTransferSize);
    }
    const SimulatedDeviceDescription dfuMode =
        SimulatedDeviceDescription::keyboard(Ids::kRovaMK2ProductId, "R").inDFUMode();
    EXPECT_EQ(dfuMode.productId, Ids::kRovaMK2ProductId + 2);
    EXPECT_EQ(dfuMode.dfuInterfaceNumber(), 0);
    EXPECT_EQ(dfuMode.dfuProtocol, 2);
    EXPECT_EQ(dfuMode.inApplicationMode().productId, Ids::kRovaMK2ProductId);
}

// Answers one vendor request itself and records what it saw.
class EchoHandler : public SimulatedRequestHandler {
public:
    std::optional<SimulatedReply> handleRequest(SimulatedDevice&, const USBSetupPacket& setup,
                                                std::uint8_t* data) override
    {
        if (setup.bRequest == 0x42 && setup.isDeviceToHost()) {
            for (int i = 0; i < 100 && i < setup.wLength; ++i)
                data[i] = static_cast<std::uint8_t>(i);
            return SimulatedReply::done(100); // more than asked for: the bus cuts it
        }
        if (setup.bRequest == 0x43) {
            received.assign(data, data + setup.wLength);
            return SimulatedReply::done(0);
        }
        if (setup.bRequest == 6)
            ++descriptorRequests;
        return std::nullopt;
    }
    Bytes received;
    int descriptorRequests = 0;
};

TEST(SimulatedDevice, HandlerIsAskedFirstAndRepliesFollowUSBLengthRules)
{
    std::shared_ptr<SimulatedBus> bus = SimulatedBus::create();
    auto handler = std::make_shared<EchoHandler>();
    const std::uint32_t handle =
        bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S"), handler);
    std::unique_ptr<USBHostDevice> device = openDevice(*bus, handle);
    ASSERT_TRUE(device);

    const Transfer in = send(*device, {0xC0, 0x42, 0, 0, 4});
    EXPECT_EQ(in.data, (Bytes{0, 1, 2, 3}));
    const Transfer out = send(*device, {0x40, 0x43, 0, 0, 3}, {7, 8, 9});
    EXPECT_EQ(out.status, USBStatus::kSuccess);
    EXPECT_EQ(out.data.size(), 3u); // an OUT stage moves all its bytes
    EXPECT_EQ(handler->received, (Bytes{7, 8, 9}));
    EXPECT_EQ(send(*device, {0x80, 6, 0x0100, 0, 18}).status, USBStatus::kSuccess);
    EXPECT_EQ(handler->descriptorRequests, 1);

    std::uint32_t transferred = 5;
    EXPECT_EQ(device->controlTransfer({0xC0, 0x42, 0, 0, 4}, nullptr, transferred), USBStatus::kBadArgument);
    EXPECT_EQ(transferred, 5u);

    const std::vector<SimulatedRequestLogEntry> log = bus->requestLog();
    ASSERT_EQ(log.size(), 3u); // the bad argument never reached the bus
    EXPECT_EQ(log[0].handle, handle);
    EXPECT_EQ(log[0].setup.bRequest, 0x42);
    EXPECT_EQ(log[0].length, 4u);
    EXPECT_EQ(log[1].data, (Bytes{7, 8, 9}));
    EXPECT_LE(log[0].time, log[1].time);
    EXPECT_LE(log[1].time, log[2].time);
}

// An update at transfer size 1 sends hundreds of thousands of requests: the
// bus keeps the most recent ones only.
TEST(SimulatedBus, RequestLogKeepsTheMostRecentRequestsOnly)
{
    std::shared_ptr<SimulatedBus> bus = SimulatedBus::create();
    const std::uint32_t handle = bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S"),
                                                std::make_shared<EchoHandler>());
    std::unique_ptr<USBHostDevice> device = openDevice(*bus, handle);
    ASSERT_TRUE(device);
    const std::size_t sent = SimulatedBus::kRequestLogLimit + 3;
    for (std::size_t block = 0; block < sent; ++block)
        ASSERT_EQ(send(*device, {0x40, 0x43, static_cast<std::uint16_t>(block), 0, 1}, {7}).status,
                  USBStatus::kSuccess);

    const std::vector<SimulatedRequestLogEntry> log = bus->requestLog();
    ASSERT_EQ(log.size(), SimulatedBus::kRequestLogLimit);
    EXPECT_EQ(log.front().setup.wValue, 3u);
    EXPECT_EQ(log.back().setup.wValue, static_cast<std::uint16_t>(sent - 1));
}

// Requests of the largest size reach the byte limit long before the count:
// the oldest go first, whole, and clearing the log starts it afresh.
TEST(SimulatedBus, RequestLogKeepsItsDataWithinItsByteLimit)
{
    std::shared_ptr<SimulatedBus> bus = SimulatedBus::create();
    const std::uint32_t handle = bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S"),
                                                std::make_shared<EchoHandler>());
    std::unique_ptr<USBHostDevice> device = openDevice(*bus, handle);
    ASSERT_TRUE(device);
    const std::uint16_t largest = 0xFFFF;
    const std::size_t fits = SimulatedBus::kRequestLogByteLimit / largest;
    auto sendLargest = [&](std::size_t count) {
        for (std::size_t block = 0; block < count; ++block)
            ASSERT_EQ(
                send(*device, {0x40, 0x43, static_cast<std::uint16_t>(block), 0, largest}, Bytes(largest, 7)).status,
                USBStatus::kSuccess);
    };
    auto loggedBytes = [](const std::vector<SimulatedRequestLogEntry>& log) {
        std::size_t bytes = 0;
        for (const SimulatedRequestLogEntry& entry : log)
            bytes += entry.data.size();
        return bytes;
    };

    const std::size_t sent = fits + 5;
    sendLargest(sent);
    std::vector<SimulatedRequestLogEntry> log = bus->requestLog();
    ASSERT_EQ(log.size(), fits);
    EXPECT_LE(loggedBytes(log), SimulatedBus::kRequestLogByteLimit);
    EXPECT_EQ(log.front().setup.wValue, sent - fits);
    EXPECT_EQ(log.back().setup.wValue, sent - 1);
    EXPECT_EQ(log.back().data.size(), largest);

    bus->clearRequestLog();
    sendLargest(fits);
    log = bus->requestLog();
    EXPECT_EQ(log.size(), fits);
    EXPECT_EQ(log.front().setup.wValue, 0u);
}

TEST(SimulatedBus, DevicesArriveLeaveAndReenumerateUnderNewHandles)
{
    std::shared_ptr<SimulatedBus> bus = SimulatedBus::create();
    auto time = std::make_shared<VirtualSleeper>();
    bus->setClock(time);
    const SimulatedDeviceDescription spec = SimulatedDeviceDescription::keyboard(Ids::kTumoMK2ProductId, "T");
    const std::uint32_t first = bus->addDevice(spec);
    std::unique_ptr<USBHostDevice> open = openDevice(*bus, first);
    ASSERT_TRUE(open);

    const std::uint32_t second = bus->reenumerate(first, spec.inDFUMode(), std::chrono::milliseconds(40));
    EXPECT_NE(second, first);
    EXPECT_EQ(send(*open, {0x80, 6, 0x0100, 0, 18}).status, USBStatus::kNoDevice);
    EXPECT_EQ(open->claimInterface(0), USBStatus::kNoDevice);
    EXPECT_TRUE(bus->enumerate().empty()); // gone, and not back yet
    EXPECT_FALSE(openDevice(*bus, second));
    EXPECT_EQ(bus->reenumerate(first, spec, std::chrono::milliseconds(0)), 0u);

    time->sleepFor(std::chrono::milliseconds(39));
    EXPECT_TRUE(bus->enumerate().empty());
    time->sleepFor(std::chrono::milliseconds(1));
    const std::vector<USBHost::DeviceEntry> present = bus->enumerate();
    ASSERT_EQ(present.size(), 1u);
    EXPECT_EQ(present[0].handle, second);
    EXPECT_EQ(present[0].ids.productId, Ids::dfuModeProductId(Ids::kTumoMK2ProductId));
    ASSERT_TRUE(openDevice(*bus, second));

    EXPECT_TRUE(bus->removeDevice(second));
    EXPECT_FALSE(bus->removeDevice(second));
    const std::uint32_t third = bus->addDevice(spec);
    EXPECT_NE(third, first);
    EXPECT_NE(third, second);
}

TEST(SimulatedBus, WaitsForALateDeviceUntilItArrives)
{
    std::shared_ptr<SimulatedBus> bus = SimulatedBus::create();
    const auto start = std::chrono::steady_clock::now();
    const std::uint32_t late = bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kRovaMK2ProductId, "R"),
                                              nullptr, std::chrono::milliseconds(50));
    ASSERT_TRUE(bus->waitUntilPresent(late, std::chrono::seconds(20)));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(50));
    EXPECT_EQ(bus->enumerate().size(), 1u);

    const std::uint32_t never = bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kRovaMK2ProductId, "N"),
                                               nullptr, std::chrono::hours(1));
    std::thread remover([&bus, never] { bus->removeDevice(never); });
    EXPECT_FALSE(bus->waitUntilPresent(never, std::chrono::seconds(20))); // woken by the removal
    remover.join();
    EXPECT_FALSE(bus->waitUntilPresent(99, std::chrono::seconds(20)));
}

TEST(SimulatedDeviceFile, ParsesDevicesAndReportsMistakesByLine)
{
    const struct {
        const char* name;
        const char* text;
        bool ok;
        const char* error;
    } cases[] = {
        {"empty", "# nothing\n\n", true, ""},
        {"model", "[device]\nmodel = Sela\nserial = X1 # comment\n", true, ""},
        {"unknownModel", "[device]\nmodel = alto\n", false, "line 2: unknown model \"alto\" (rova, sela or tumo)"},
        {"keyBeforeSection", "serial = X\n", false, "line 1: a key before the first [device]"},
        {"noEquals", "[device]\nserial\n", false, "line 2: expected \"key = value\" or [device]"},
        {"numberTooBig", "[device]\ndfuTransferSize = 70000\n", false,
         "line 2: \"70000\" is not a valid number for dfutransfersize"},
        {"negative", "[device]\nbcdDevice = -1\n", false, "line 2: \"-1\" is not a valid number for bcddevice"},
        {"unknownKey", "[device]\ncolour = red\n", false, "line 2: unknown key \"colour\""},
        {"badMode", "[device]\nmode = sleep\n", false, "line 2: mode is application or dfu"},
        {"faults",
         "[device]\nmodel = rova\nstallAtBlock = 0\nnoReturnAtSwitch = 2\ndetach = failsButSwitches\n"
         "shortStatus = manifestation\nfirstGetState = 9\narrivesAfter = 2s\nbusyTime = 15ms\n",
         true, ""},
        {"blockNotANumber", "[device]\nstallAtBlock = soon\n", false,
         "line 2: \"soon\" is not a valid value for stallatblock"},
        {"blockTooBig", "[device]\nerrorAtBlock = 65536\n", false,
         "line 2: \"65536\" is not a valid value for erroratblock"},
        {"switchZero", "[device]\nnoReturnAtSwitch = 0\n", false,
         "line 2: \"0\" is not a valid value for noreturnatswitch"},
        {"stateTooBig", "[device]\nfirstGetState = 256\n", false,
         "line 2: \"256\" is not a valid value for firstgetstate"},
        {"pollTimeoutTooBig", "[device]\npollTimeout = 0x1000000\n", false,
         "line 2: \"0x1000000\" is not a valid value for polltimeout"},
        {"badDuration", "[device]\narrivesAfter = 3 weeks\n", false,
         "line 2: \"3 weeks\" is not a valid value for arrivesafter"},
        {"badSwitchFault", "[device]\ndetach = sometimes\n", false,
         "line 2: detach is none, ignored or failsButSwitches"},
        {"badShortStatus", "[device]\nshortStatus = often\n", false,
         "line 2: shortStatus is manifestation, always or never"},
        {"badLoaderNumber", "[device]\ndfuMode.bcdDevice = x\n", false,
         "line 2: \"x\" is not a valid value for dfumode.bcddevice"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        std::vector<SimulatedDeviceDescription> devices;
        std::string error;
        EXPECT_EQ(SimulatedDeviceFile::parse(row.text, devices, error), row.ok);
        EXPECT_EQ(error, row.error);
    }
}

TEST(SimulatedDeviceFile, NumbersAreDecimalOrHexadecimalAfter0x)
{
    const struct {
        const char* value;
        bool ok;
        unsigned bcdDevice;
    } cases[] = {
        {"0100", true, 100},   {"08", true, 8},        {"0", true, 0},
        {"00", true, 0},       {"65535", true, 65535}, {"0x0100", true, 0x100},
        {"0X1f", true, 0x1F},  {"0x08", true, 8},      {"65536", false, 0},
        {"0x10000", false, 0}, {"0x", false, 0},       {"0x-1", false, 0},
        {"+5", false, 0},      {"-0", false, 0},       {"08x", false, 0},
        {"1e3", false, 0},     {"0b11", false, 0},     {"99999999999999999999999", false, 0},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.value);
        std::vector<SimulatedDeviceDescription> devices;
        std::string error;
        ASSERT_EQ(SimulatedDeviceFile::parse(std::string("[device]\nbcdDevice = ") + row.value + "\n", devices, error),
                  row.ok)
            << error;
        if (row.ok) {
            ASSERT_EQ(devices.size(), 1u);
            EXPECT_EQ(devices[0].bcdDevice, row.bcdDevice);
        }
    }
    // Durations read their number the same way.
    std::vector<SimulatedDeviceFile::Entry> entries;
    std::string error;
    ASSERT_TRUE(SimulatedDeviceFile::parse("[device]\narrivesAfter = 010ms\n", entries, error)) << error;
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].arrivesAfter, std::chrono::milliseconds(10));
}

TEST(SimulatedDeviceFile, KeyboardsFileDescribesKeyboardsFromTheIds)
{
    std::string error;
    std::shared_ptr<SimulatedBus> bus = SimulatedBus::fromFile(VARANTO_TEST_DATA_DIR "/keyboards.sim", error);
    ASSERT_TRUE(bus) << error;
    const std::vector<USBHost::DeviceEntry> devices = bus->enumerate();
    ASSERT_EQ(devices.size(), 2u);
    EXPECT_EQ(devices[0].ids.vendorId, Ids::kVendorId);
    EXPECT_EQ(devices[0].ids.productId, Ids::kSelaMK2ProductId);
    EXPECT_EQ(devices[0].ids.bcdDevice, 0x0102);
    EXPECT_EQ(devices[1].ids.productId, Ids::dfuModeProductId(Ids::kTumoMK2ProductId));
    const SimulatedDeviceDescription& tumo = bus->device(devices[1].handle)->spec();
    EXPECT_EQ(tumo.dfuProtocol, 2);
    EXPECT_EQ(tumo.dfuTransferSize, 1024);
    EXPECT_EQ(tumo.dfuAttributes, 0x05);
    EXPECT_EQ(tumo.serialNumber, "SIM-TUMO-0002");
    // A keyboard with a DFU interface answers the DFU requests.
    std::uint8_t state = 0xFF;
    std::uint32_t transferred = 0;
    USBSetupPacket getState;
    getState.bmRequestType = 0xA1;
    getState.bRequest = 0x05;
    getState.wLength = 1;
    EXPECT_EQ(bus->transfer(devices[1].handle, getState, &state, transferred), 0u);
    EXPECT_EQ(state, 2); // dfuIDLE

    EXPECT_FALSE(SimulatedBus::fromFile(VARANTO_TEST_DATA_DIR "/missing.sim", error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST(SimulatedDeviceFile, KeyboardKeysReachTheKeyboard)
{
    std::vector<SimulatedDeviceFile::Entry> entries;
    std::string error;
    ASSERT_TRUE(SimulatedDeviceFile::read(VARANTO_TEST_DATA_DIR "/late-loader.sim", entries, error)) << error;
    ASSERT_EQ(entries.size(), 1u);
    const SimulatedDeviceFile::Entry& entry = entries[0];
    EXPECT_EQ(entry.spec.productId, Ids::dfuModeProductId(Ids::kSelaMK2ProductId));
    EXPECT_EQ(entry.spec.bcdDevice, 0x0100); // it shows its loader first
    EXPECT_EQ(entry.spec.product, "Loader");
    EXPECT_EQ(entry.spec.dfuTransferSize, 1024);
    EXPECT_EQ(entry.applicationMode.productId, Ids::kSelaMK2ProductId);
    EXPECT_EQ(entry.applicationMode.bcdDevice, 0x0058);
    EXPECT_EQ(entry.applicationMode.dfuTransferSize, 2048);
    EXPECT_EQ(entry.arrivesAfter, std::chrono::milliseconds(1500));
    const SimulatedDFUKeyboard::Options& keyboard = entry.keyboard;
    EXPECT_TRUE(keyboard.startsInDFUMode);
    EXPECT_EQ(keyboard.detachDelay, std::chrono::milliseconds(2000));
    EXPECT_EQ(keyboard.returnDelay, std::chrono::milliseconds(250));
    EXPECT_EQ(keyboard.busyAnswers, 2u);
    EXPECT_EQ(keyboard.bwPollTimeout, 30u);
    EXPECT_EQ(keyboard.statusPollTimeout, 7u);
    EXPECT_EQ(keyboard.otherSerialNumber, "ELSE");
    const SimulatedDFUFunction::Faults& faults = keyboard.faults;
    EXPECT_EQ(faults.errorAtBlock, 4);
    EXPECT_EQ(faults.errorStatus, 6);
    EXPECT_EQ(faults.stateAtBlock, 3);
    EXPECT_EQ(faults.stateAfterBlock, 8);
    EXPECT_EQ(faults.otherSerialAtSwitch, 1);
    EXPECT_EQ(faults.returnRequest, SimulatedDFUFunction::SwitchFault::ignored);
    EXPECT_TRUE(faults.shortGetStatus);
    EXPECT_FALSE(faults.shortStatusInManifestation);

    // On the bus it arrives late, in DFU mode, with its loader's descriptors.
    auto time = std::make_shared<VirtualSleeper>();
    std::shared_ptr<SimulatedBus> bus = SimulatedBus::fromFile(VARANTO_TEST_DATA_DIR "/late-loader.sim", error, time);
    ASSERT_TRUE(bus) << error;
    time->sleepFor(std::chrono::milliseconds(1499));
    EXPECT_TRUE(bus->enumerate().empty());
    time->sleepFor(std::chrono::milliseconds(1));
    const std::vector<USBHost::DeviceEntry> present = bus->enumerate();
    ASSERT_EQ(present.size(), 1u);
    EXPECT_EQ(present[0].ids.productId, Ids::dfuModeProductId(Ids::kSelaMK2ProductId));
    EXPECT_EQ(present[0].ids.bcdDevice, 0x0100);
    EXPECT_EQ(bus->device(present[0].handle)->spec().product, "Loader");
}

TEST(USBHost, MalformedSimulationFileLeavesTheBusEmptyWithOneLineNamingTheKey)
{
    ScopedUSBHost none(nullptr);
    ::setenv(USBHost::kSimulationVariable, VARANTO_TEST_DATA_DIR "/malformed-fault.sim", 1);
    ::testing::internal::CaptureStderr();
    const std::shared_ptr<USBHost> chosen = USBHost::current();
    const std::string message = ::testing::internal::GetCapturedStderr();
    ::unsetenv(USBHost::kSimulationVariable);
    ASSERT_NE(std::dynamic_pointer_cast<SimulatedBus>(chosen), nullptr);
    EXPECT_TRUE(chosen->enumerate().empty());
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_NE(message.find("line 3: \"soon\" is not a valid value for stallatblock"), std::string::npos) << message;
}

TEST(USBHost, EnvironmentVariableSelectsTheSimulatedBus)
{
    ScopedUSBHost none(nullptr);
    ::setenv(USBHost::kSimulationVariable, VARANTO_TEST_DATA_DIR "/keyboards.sim", 1);
    const std::shared_ptr<USBHost> chosen = USBHost::current();
    ::unsetenv(USBHost::kSimulationVariable);
    EXPECT_NE(std::dynamic_pointer_cast<SimulatedBus>(chosen), nullptr);
    EXPECT_EQ(chosen->enumerate().size(), 2u);
    EXPECT_EQ(USBHost::current(), chosen); // chosen once
}

} // namespace
} // namespace USX2
} // namespace CV
