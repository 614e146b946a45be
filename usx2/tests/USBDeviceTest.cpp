#include "usx2/usb/USBDevice.h"
#include "usx2/usb/USBStatusCodes.h"
#include "usx2/usb/VarantoUSBIds.h"

#include "SimulatedBusFixture.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace CV {
namespace USX2 {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(StatusAsString, GivesTheTextOfEveryListedValueAndUnknownOtherwise)
{
    const struct {
        USBDevice::Status status;
        const char* text;
    } cases[] = {
        {0, "success"},
        {0x0BADBABE, "device not connected"},
        {0xE0000001, "kIOReturnInvalid: should never be seen"},
        {0xE00002BC, "general error"},
        {0xE00002CA, "General I/O error"},
        {0xE00002CB, "unknown"}, // a gap in the table
        {0xE00002DC, "unknown"},
        {0xE00002F0, "data was not found"},
        {0xE000400E, "Transaction not sent"},
        {0xE000400F, "Transaction not sent"},
        {0xE000404F, "Pipe has stalled"},
        {0xE0004061, "Pipe ref not recognized"},
        {0xE0004062, "unknown"},
        {0xFFFFFFFF, "(Minus One: -1)"},
        {1, "unknown"},
    };
    for (const auto& row : cases)
        EXPECT_STREQ(USBDevice::statusAsString(row.status), row.text) << std::hex << row.status;
}

// getNext over a buffer: where the walk goes from `start`, with what remains
// and what it prints.
TEST(DescriptorGetNext, WalksWithinTheBufferAndRejectsBadLengths)
{
    const struct {
        const char* name;
        Bytes buffer;
        unsigned start;
        unsigned remaining;
        int next; // offset of the result, -1 for null
        unsigned remainingAfter;
        const char* message;
    } cases[] = {
        {"next", {2, 1, 3, 4, 0}, 0, 5, 2, 3, ""},
        {"endsExactly", {2, 1, 3, 4, 0}, 2, 3, -1, 0, ""},
        {"nextLongerThanRest",
         {2, 1, 4, 4, 0},
         0,
         5,
         -1,
         0,
         "invalid descriptor size: pNext->bLength = 4, uRemainingSize = 3\n"},
        {"oneTrailingByte",
         {2, 1, 1},
         0,
         3,
         -1,
         0,
         "invalid descriptor size: pNext->bLength = 1, uRemainingSize = 1\n"},
        {"nextOfLengthZero",
         {2, 1, 0, 0},
         0,
         4,
         -1,
         0,
         "invalid descriptor size: pNext->bLength = 0, uRemainingSize = 2\n"},
        {"startOfLengthZero",
         {0, 1, 2, 1},
         0,
         4,
         -1,
         4,
         "invalid descriptor size: pStart->bLength = 0, uRemainingSize = 4\n"},
        {"startOfLengthOne",
         {1, 1, 2, 1},
         0,
         4,
         -1,
         4,
         "invalid descriptor size: pStart->bLength = 1, uRemainingSize = 4\n"},
        {"startLongerThanRest",
         {9, 2, 0},
         0,
         3,
         -1,
         3,
         "invalid descriptor size: pStart->bLength = 9, uRemainingSize = 3\n"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const auto* start = reinterpret_cast<const USB::DescriptorHeader*>(row.buffer.data() + row.start);
        unsigned remaining = row.remaining;
        ::testing::internal::CaptureStdout();
        const USB::DescriptorHeader* next = USB::Descriptor::getNext(start, remaining);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), row.message);
        const auto* expected =
            row.next < 0 ? nullptr : reinterpret_cast<const USB::DescriptorHeader*>(row.buffer.data() + row.next);
        EXPECT_EQ(next, expected);
        EXPECT_EQ(remaining, row.remainingAfter);
    }
    unsigned remaining = 7;
    EXPECT_EQ(USB::Descriptor::getNext(nullptr, remaining), nullptr);
    EXPECT_EQ(remaining, 7u);
}

// A string descriptor of the given bytes under index 3 (the serial number).
SimulatedDeviceDescription keyboardWithSerialDescriptor(Bytes descriptor)
{
    SimulatedDeviceDescription spec = SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "unused");
    spec.rawStrings[3] = std::move(descriptor);
    return spec;
}

using USBDeviceOnBus = SimulatedBusFixture;

TEST_F(USBDeviceOnBus, ConnectsAndReadsTheIdentityWithStrings)
{
    const std::uint32_t handle =
        bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kTumoMK2ProductId, "SN-\xC3\xA9-42", 0x0203));
    USBDevice device;
    ASSERT_TRUE(device.connect({handle}));
    EXPECT_TRUE(device.isConnected());
    EXPECT_EQ(device.getHandle().service, handle);
    const USBDeviceInfo& info = device.getDeviceInfo();
    EXPECT_EQ(info.vendorId, Ids::kVendorId);
    EXPECT_EQ(info.productId, Ids::kTumoMK2ProductId);
    EXPECT_EQ(info.bcdDevice, 0x0203);
    EXPECT_EQ(info.manufacturer, "Varanto");
    EXPECT_EQ(info.product, "Varanto Tumo MK2");
    EXPECT_EQ(info.serialNumber, "SN-\xC3\xA9-42");

    device.disconnect();
    EXPECT_FALSE(device.isConnected());
    EXPECT_EQ(device.getHandle().service, 0u);
    EXPECT_EQ(device.getDeviceInfo().serialNumber, "SN-\xC3\xA9-42"); // kept until the next connect
}

TEST_F(USBDeviceOnBus, StringDescriptorEdgeCases)
{
    const struct {
        const char* name;
        Bytes descriptor;
        const char* serialNumber;
    } cases[] = {
        {"lengthTwoIsEmpty", {2, 3}, ""},
        {"lengthThreeIsEmpty", {3, 3, 'x'}, ""},
        {"lengthOneFails", {1, 3, 'a', 0}, ""},
        {"wrongTypeFails", {6, 2, 'a', 0, 'b', 0}, ""},
        {"oddLengthDropsTheHalfUnit", {7, 3, 'a', 0, 'b', 0, 'c'}, "ab"},
        {"lengthBeyondTheReplyIsCut", {40, 3, 'a', 0, 'b', 0}, "ab"},
        {"loneSurrogateIsSkipped", {6, 3, 'a', 0, 0x00, 0xD8}, "a"},
        {"nonASCII", {4, 3, 0xAC, 0x20}, "\xE2\x82\xAC"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        USBDeviceInfo info;
        info.serialNumber = "stale";
        const std::uint32_t handle = bus->addDevice(keyboardWithSerialDescriptor(row.descriptor));
        EXPECT_TRUE(USBDevice::getDeviceInfoForOSHandle({handle}, info, true));
        EXPECT_EQ(info.serialNumber, row.serialNumber);
        EXPECT_EQ(info.manufacturer, "Varanto");
    }
}

TEST_F(USBDeviceOnBus, StringIndexZeroEmptiesTheFieldWithoutARequest)
{
    SimulatedDeviceDescription spec = SimulatedDeviceDescription::keyboard(Ids::kRovaMK2ProductId, "");
    spec.manufacturer.clear();
    const std::uint32_t handle = bus->addDevice(spec);
    USBDeviceInfo info;
    info.manufacturer = "stale";
    info.serialNumber = "stale";
    ASSERT_TRUE(USBDevice::getDeviceInfoForOSHandle({handle}, info, true));
    EXPECT_EQ(info.manufacturer, "");
    EXPECT_EQ(info.serialNumber, "");
    EXPECT_EQ(info.product, "Varanto Rova MK2");
    for (const SimulatedRequestLogEntry& entry : bus->requestLog())
        EXPECT_NE(entry.setup.wValue, 0x0300) << "no request for string index 0";
}

TEST_F(USBDeviceOnBus, ShortOrFailedDeviceDescriptorFailsTheIdentityRead)
{
    Bytes full = SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S").deviceDescriptor();
    Bytes lengthSeventeen = full;
    lengthSeventeen[0] = 17;
    Bytes claimsMoreThanSent(full.begin(), full.begin() + 12); // bLength 18, 12 bytes delivered
    const struct {
        const char* name;
        Bytes descriptor;
    } cases[] = {{"bLength17", lengthSeventeen}, {"replyShorterThanBLength", claimsMoreThanSent}, {"empty", {}}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        SimulatedDeviceDescription spec = SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S");
        spec.rawDeviceDescriptor = row.descriptor;
        const std::uint32_t handle = bus->addDevice(spec);
        USBDeviceInfo info;
        EXPECT_TRUE(USBDevice::getDeviceInfoForOSHandle({handle}, info, false));
        EXPECT_FALSE(USBDevice::getDeviceInfoForOSHandle({handle}, info, true));
    }
}

// A device that stalls GET_DESCRIPTOR for the device descriptor.
class StallDeviceDescriptor : public SimulatedRequestHandler {
public:
    std::optional<SimulatedReply> handleRequest(SimulatedDevice&, const USBSetupPacket& setup, std::uint8_t*) override
    {
        if (setup.bRequest == 6 && setup.wValue == 0x0100)
            return SimulatedReply::stall();
        return std::nullopt;
    }
};

TEST_F(USBDeviceOnBus, FailedIdentityReadOnConnectKeepsNoTextsOfTheDeviceBefore)
{
    const std::uint32_t first = bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "FIRST"));
    const std::uint32_t second = bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kRovaMK2ProductId, "SECOND"),
                                                std::make_shared<StallDeviceDescriptor>());
    USBDevice device;
    ASSERT_TRUE(device.connect({first}));
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(device.connect({second}));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "getDeviceDescriptor() failed with status 0xe000404f (Pipe has stalled)\n");
    EXPECT_EQ(device.getDeviceInfo().productId, Ids::kRovaMK2ProductId);
    EXPECT_EQ(device.getDeviceInfo().serialNumber, "");
    EXPECT_EQ(device.getDeviceInfo().manufacturer, "");
}

TEST_F(USBDeviceOnBus, ControlTransferWritesTheCountOnlyOnSuccess)
{
    USBDevice device;
    std::uint8_t buffer[64] = {};
    USBDevice::Request request;
    request.bmRequestType = 0x80;
    request.bRequest = 6;
    request.wValue = 0x0100;
    request.wLength = sizeof buffer;
    request.pData = buffer;
    request.wLenDone = 77;
    EXPECT_EQ(device.controlTransfer(request), USBStatus::kNotConnected);
    EXPECT_EQ(request.wLenDone, 77u);

    ASSERT_TRUE(device.connect({bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S"))}));
    EXPECT_EQ(device.controlTransfer(request), USBStatus::kSuccess);
    EXPECT_EQ(request.wLenDone, 18u);
    EXPECT_EQ(buffer[1], 1);

    USBDevice::Request vendor; // nothing answers this vendor request: STALL
    vendor.bmRequestType = 0x40;
    vendor.bRequest = 0x55;
    vendor.wLenDone = 77;
    EXPECT_EQ(device.controlTransfer(vendor), USBStatus::kPipeStalled);
    EXPECT_EQ(vendor.wLenDone, 77u);
}

TEST_F(USBDeviceOnBus, ADeviceThatLeftAnswersNoDevice)
{
    const std::uint32_t handle = bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S"));
    USBDevice device;
    ASSERT_TRUE(device.connect({handle}));
    bus->removeDevice(handle);
    USBDevice::Request request;
    request.bmRequestType = 0x00;
    request.bRequest = 9;
    request.wValue = 1;
    EXPECT_EQ(device.controlTransfer(request), USBStatus::kNoDevice);

    USBDevice other;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(other.connect({handle}));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Couldn't create a USB device interface (e00002c0)\n");
    EXPECT_FALSE(other.isConnected());
}

TEST_F(USBDeviceOnBus, ClassRequestsClaimTheirInterface)
{
    const std::uint32_t handle = bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S"));
    USBDevice device;
    ASSERT_TRUE(device.connect({handle}));
    USBDevice::Request request;
    request.bmRequestType = 0x21; // class, interface
    request.wIndex = 9; // no such interface
    EXPECT_EQ(device.controlTransfer(request), USBStatus::kNotFound);
    EXPECT_TRUE(bus->requestLog().empty() || bus->requestLog().back().setup.bmRequestType != 0x21);
    request.wIndex = SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S").dfuInterfaceNumber();
    EXPECT_EQ(device.controlTransfer(request), USBStatus::kPipeStalled); // claimed; nothing answers it
}

TEST_F(USBDeviceOnBus, ConfigurationDescriptorIsReadOncePerConnection)
{
    const SimulatedDeviceDescription spec = SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S");
    USBDevice device;
    unsigned size = 99;
    EXPECT_EQ(device.getConfigurationDescriptor(size), nullptr);
    EXPECT_EQ(size, 0u);

    ASSERT_TRUE(device.connect({bus->addDevice(spec)}));
    bus->clearRequestLog();
    const auto* descriptor = device.getConfigurationDescriptor(size);
    ASSERT_NE(descriptor, nullptr);
    const Bytes expected = spec.configurationDescriptor();
    ASSERT_EQ(size, expected.size());
    EXPECT_EQ(Bytes(reinterpret_cast<const std::uint8_t*>(descriptor),
                    reinterpret_cast<const std::uint8_t*>(descriptor) + size),
              expected);
    EXPECT_EQ(device.getConfigurationDescriptor(size), descriptor);
    const std::vector<SimulatedRequestLogEntry> log = bus->requestLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].setup.wLength, 9);
    EXPECT_EQ(log[1].setup.wLength, expected.size());
}

// Malformed configuration descriptors: what the device gives is used only up
// to the bytes it delivered, and walking it stays inside the buffer (the
// sanitizer build checks every read).
TEST_F(USBDeviceOnBus, MalformedConfigurationDescriptorsStayInsideTheBuffer)
{
    const struct {
        const char* name;
        Bytes descriptor;
        unsigned size; // 0: no descriptor
    } cases[] = {
        {"totalLengthBeyondReply", {9, 2, 200, 0, 1, 1, 0, 0x80, 50, 9, 4, 0, 0, 0, 0xFE, 1, 1, 0}, 18},
        {"trailingOneByte", {9, 2, 10, 0, 1, 1, 0, 0x80, 50, 1}, 10},
        {"innerLengthZero", {9, 2, 13, 0, 1, 1, 0, 0x80, 50, 0, 4, 0, 0}, 13},
        {"innerLengthPastEnd", {9, 2, 12, 0, 1, 1, 0, 0x80, 50, 0xFF, 4, 0}, 12},
        {"totalLengthBelowHeader", {9, 2, 5, 0, 1, 1, 0, 0x80, 50}, 0},
        {"replyShorterThanHeader", {9, 2, 9, 0}, 0},
        {"wrongType", {9, 4, 9, 0, 1, 1, 0, 0x80, 50}, 0},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        SimulatedDeviceDescription spec = SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S");
        spec.rawConfigurationDescriptor = row.descriptor;
        USBDevice device;
        ASSERT_TRUE(device.connect({bus->addDevice(spec)}));
        unsigned size = 0;
        const USB::DescriptorHeader* header = device.getConfigurationDescriptor(size);
        ASSERT_EQ(size, row.size);
        if (row.size == 0) {
            EXPECT_EQ(header, nullptr);
            continue;
        }
        ::testing::internal::CaptureStdout();
        unsigned walked = 0;
        for (unsigned remaining = size; header; header = USB::Descriptor::getNext(header, remaining)) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(header);
            for (unsigned i = 0; i < header->bLength && i < remaining; ++i)
                walked += bytes[i] != 0xEE;
        }
        ::testing::internal::GetCapturedStdout();
        EXPECT_LE(walked, size);
    }
}

// A subclass that uses the device from postConnect, under the connect's lock.
class ProbingDevice : public USBDevice {
public:
    void postConnect() override
    {
        ++postConnects;
        unsigned size = 0;
        configurationSize = getConfigurationDescriptor(size) ? size : 0;
    }
    int postConnects = 0;
    unsigned configurationSize = 0;
};

TEST_F(USBDeviceOnBus, PostConnectRunsAfterEachConnectAndMayUseTheDevice)
{
    const SimulatedDeviceDescription spec = SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S");
    ProbingDevice device;
    ASSERT_TRUE(device.connect({bus->addDevice(spec)}));
    ASSERT_TRUE(device.connect({bus->addDevice(spec.inDFUMode())}));
    EXPECT_EQ(device.postConnects, 2);
    EXPECT_EQ(device.configurationSize, spec.inDFUMode().configurationDescriptor().size());
    EXPECT_EQ(device.getDeviceInfo().productId, Ids::dfuModeProductId(Ids::kSelaMK2ProductId));
}

// Holds a vendor request until released, so another thread can try to close
// the device in the middle of the transfer.
class HoldingHandler : public SimulatedRequestHandler {
public:
    std::optional<SimulatedReply> handleRequest(SimulatedDevice&, const USBSetupPacket& setup, std::uint8_t*) override
    {
        if (setup.bRequest != 0x77)
            return std::nullopt;
        inside = true;
        while (!release)
            std::this_thread::yield();
        closedDuringTransfer = closed.load();
        return SimulatedReply::done();
    }
    std::atomic<bool> inside{false};
    std::atomic<bool> release{false};
    std::atomic<bool> closed{false};
    bool closedDuringTransfer = false;
};

TEST_F(USBDeviceOnBus, DisconnectWaitsForATransferInProgress)
{
    auto handler = std::make_shared<HoldingHandler>();
    USBDevice device;
    ASSERT_TRUE(
        device.connect({bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "S"), handler)}));
    USBDevice::Status status = 1;
    std::thread transfer([&] {
        USBDevice::Request request;
        request.bmRequestType = 0x40;
        request.bRequest = 0x77;
        status = device.controlTransfer(request);
    });
    while (!handler->inside)
        std::this_thread::yield();
    std::thread closer([&] {
        device.disconnect();
        handler->closed = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    handler->release = true;
    transfer.join();
    closer.join();
    EXPECT_EQ(status, USBStatus::kSuccess);
    EXPECT_FALSE(handler->closedDuringTransfer);
    EXPECT_FALSE(device.isConnected());
}

} // namespace
} // namespace USX2
} // namespace CV
