#include "usx2/usb/USBDescriptor.h"
#include "usx2/usb/USBStatusCodes.h"
#include "usx2/usb/VarantoUSBIds.h"
#include "usx2/usb/linux/SimulatedBus.h"
#include "usx2/usb/linux/SimulatedDeviceFile.h"

#include <gtest/gtest.h>

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
    const SimulatedDeviceDescription dfuMode = SimulatedDeviceDescription::keyboard(Ids::kRovaMK2ProductId, "R").inDFUMode();
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
            return SimulatedReply::done(100);  // more than asked for: the bus cuts it
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
    const std::uint32_t handle = bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S"), handler);
    std::unique_ptr<USBHostDevice> device = openDevice(*bus, handle);
    ASSERT_TRUE(device);

    const Transfer in = send(*device, {0xC0, 0x42, 0, 0, 4});
    EXPECT_EQ(in.data, (Bytes{0, 1, 2, 3}));
    const Transfer out = send(*device, {0x40, 0x43, 0, 0, 3}, {7, 8, 9});
    EXPECT_EQ(out.status, USBStatus::kSuccess);
    EXPECT_EQ(out.data.size(), 3u);  // an OUT stage moves all its bytes
    EXPECT_EQ(handler->received, (Bytes{7, 8, 9}));
    EXPECT_EQ(send(*device, {0x80, 6, 0x0100, 0, 18}).status, USBStatus::kSuccess);
    EXPECT_EQ(handler->descriptorRequests, 1);

    std::uint32_t transferred = 5;
    EXPECT_EQ(device->controlTransfer({0xC0, 0x42, 0, 0, 4}, nullptr, transferred), USBStatus::kBadArgument);
    EXPECT_EQ(transferred, 5u);

    const std::vector<SimulatedRequestLogEntry> log = bus->requestLog();
    ASSERT_EQ(log.size(), 3u);  // the bad argument never reached the bus
    EXPECT_EQ(log[0].handle, handle);
    EXPECT_EQ(log[0].setup.bRequest, 0x42);
    EXPECT_EQ(log[0].length, 4u);
    EXPECT_EQ(log[1].data, (Bytes{7, 8, 9}));
    EXPECT_LE(log[0].time, log[1].time);
    EXPECT_LE(log[1].time, log[2].time);
}

TEST(SimulatedBus, DevicesArriveLeaveAndReenumerateUnderNewHandles)
{
    std::shared_ptr<SimulatedBus> bus = SimulatedBus::create();
    const SimulatedDeviceDescription spec = SimulatedDeviceDescription::keyboard(Ids::kTumoMK2ProductId, "T");
    const std::uint32_t first = bus->addDevice(spec);
    std::unique_ptr<USBHostDevice> open = openDevice(*bus, first);
    ASSERT_TRUE(open);

    const std::uint32_t second = bus->reenumerate(first, spec.inDFUMode(), std::chrono::milliseconds(40));
    EXPECT_NE(second, first);
    EXPECT_EQ(send(*open, {0x80, 6, 0x0100, 0, 18}).status, USBStatus::kNoDevice);
    EXPECT_EQ(open->claimInterface(0), USBStatus::kNoDevice);
    EXPECT_TRUE(bus->enumerate().empty());  // gone, and not back yet
    EXPECT_FALSE(openDevice(*bus, second));
    EXPECT_EQ(bus->reenumerate(first, spec, std::chrono::milliseconds(0)), 0u);

    std::this_thread::sleep_for(std::chrono::milliseconds(60));
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
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        std::vector<SimulatedDeviceDescription> devices;
        std::string error;
        EXPECT_EQ(SimulatedDeviceFile::parse(row.text, devices, error), row.ok);
        EXPECT_EQ(error, row.error);
    }
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
    EXPECT_EQ(state, 2);  // dfuIDLE

    EXPECT_FALSE(SimulatedBus::fromFile(VARANTO_TEST_DATA_DIR "/missing.sim", error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST(USBHost, EnvironmentVariableSelectsTheSimulatedBus)
{
    const std::shared_ptr<USBHost> previous = USBHost::setCurrent(nullptr);
    ::setenv(USBHost::kSimulationVariable, VARANTO_TEST_DATA_DIR "/keyboards.sim", 1);
    const std::shared_ptr<USBHost> chosen = USBHost::current();
    ::unsetenv(USBHost::kSimulationVariable);
    EXPECT_NE(std::dynamic_pointer_cast<SimulatedBus>(chosen), nullptr);
    EXPECT_EQ(chosen->enumerate().size(), 2u);
    EXPECT_EQ(USBHost::current(), chosen);  // chosen once
    USBHost::setCurrent(previous);
}

} // namespace
} // namespace USX2
} // namespace CV
