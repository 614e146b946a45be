#include "usx2/dfu/DFUDevice.h"
#include "usx2/usb/USBDeviceDB.h"
#include "usx2/usb/USBDeviceFactory.h"
#include "usx2/usb/VarantoUSBIds.h"
#include "usx2/usb/linux/SimulatedBus.h"
#include "usx2/usb/linux/SimulatedDFUKeyboard.h"

#include "SimulatedBusFixture.h"

#include <gtest/gtest.h>

#include <thread>
#include <tuple>
#include <vector>

using namespace CV::USX2;
using std::chrono::milliseconds;

namespace {

// bmRequestType, bRequest, wValue, wIndex, wLength
using RequestSetup = std::tuple<int, int, int, int, int>;

std::vector<std::uint8_t> smallImage()
{
    std::vector<std::uint8_t> image(3 * 512 + 100);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i ^ (i >> 8));
    return image;
}

} // namespace

// One whole update in real time, as the upgrade logic drives the client:
// detach, find the keyboard again in DFU mode, download, manifest, return.
// The keyboard's requests are exactly the DFU 1.1 sequence.
using DFUUpdateRoad = SimulatedBusFixture;

TEST_F(DFUUpdateRoad, WholeUpdateInRealTime)
{
    SimulatedDeviceDescription spec = SimulatedDeviceDescription::keyboard(Ids::kTumoMK2ProductId, "TUMO-77", 0x0058);
    spec.dfuAttributes = DFU::bitCanDnload | DFU::bitManifestationTolerant | DFU::bitWillDetach;
    spec.dfuTransferSize = 512;
    spec.dfuDetachTimeout = 1000;
    SimulatedDFUKeyboard::Options options;
    options.expectedImage = smallImage();
    options.newBcdDevice = 0x0059;
    options.reenumerationDelay = milliseconds(300);
    auto keyboard = std::make_shared<SimulatedDFUKeyboard>(spec, options);
    const std::uint32_t applicationHandle = SimulatedDFUKeyboard::attach(*bus, keyboard);

    {
        DFUDevice device;
        ASSERT_TRUE(device.connect(USBDeviceOSHandle{applicationHandle}));
        const int applicationInterface = device.getInterfaceNumber();
        ASSERT_TRUE(device.sendDFUDetach());
        ASSERT_TRUE(device.reconnectInDFUMode());
        ASSERT_NE(device.getHandle().service, applicationHandle);
        ASSERT_NE(device.getTransferSize(), 0);
        DFU::GetStatus status;
        const auto image = smallImage();
        ASSERT_TRUE(device.writeImage(image.data(), static_cast<std::uint32_t>(image.size()), status));
        ASSERT_TRUE(device.returnToAPPMode());
        device.disconnect();

        std::vector<RequestSetup> requests;
        for (const auto& entry : bus->requestLog()) {
            if (entry.setup.type() == USBSetupPacket::kTypeStandard)
                continue;
            EXPECT_EQ(entry.status, 0u);
            const auto& s = entry.setup;
            requests.emplace_back(s.bmRequestType, s.bRequest, s.wValue, s.wIndex, s.wLength);
        }
        const std::vector<RequestSetup> expected = {
            {0x21, 0x00, 1000, applicationInterface, 0}, // DFU_DETACH with wDetachTimeOut
            {0x21, 0x01, 0, 0, 512}, // DFU_DNLOAD block 0
            {0xA1, 0x03, 0, 0, 6}, // DFU_GETSTATUS: dfuDNLOAD-IDLE
            {0x21, 0x01, 1, 0, 512},
            {0xA1, 0x03, 0, 0, 6},
            {0x21, 0x01, 2, 0, 512},
            {0xA1, 0x03, 0, 0, 6},
            {0x21, 0x01, 3, 0, 100},
            {0xA1, 0x03, 0, 0, 6},
            {0x21, 0x01, 4, 0, 0}, // final empty block: dfuMANIFEST-SYNC
            {0xA1, 0x05, 0, 0, 1}, // DFU_GETSTATE: dfuMANIFEST-SYNC
            {0xA1, 0x03, 0, 0, 6}, // manifestation starts: dfuMANIFEST
            {0xA1, 0x05, 0, 0, 1}, // after 1 s: dfuMANIFEST-SYNC
            {0xA1, 0x03, 0, 0, 6}, // dfuIDLE
            {0xA1, 0x05, 0, 0, 1}, // after 1 s: dfuIDLE
            {0xA1, 0x03, 0, 0, 6}, // status OK
            {0x21, 0x00, 1000, 0, 0}, // DFU_DETACH back to application mode
        };
        EXPECT_EQ(requests, expected);
    }

    ASSERT_TRUE(bus->waitForArrivals(milliseconds(20000))); // back in application mode
    std::vector<std::uint32_t> found;
    USBDeviceFactory factory;
    factory.setCallbacks(
        [&found](const USBDeviceOSHandle& handle, const USBDeviceFilter&) { found.push_back(handle.service); },
        nullptr);
    ASSERT_TRUE(factory.initWithDeviceFilter(USBDeviceDB::VarantoTumoMK2DFU, false));
    ASSERT_EQ(found.size(), 1u);
    USBDeviceInfo info;
    ASSERT_TRUE(USBDevice::getDeviceInfoForOSHandle(USBDeviceOSHandle{found[0]}, info, true));
    EXPECT_EQ(info.productId, Ids::kTumoMK2ProductId);
    EXPECT_EQ(info.bcdDevice, 0x0059);
    EXPECT_EQ(info.serialNumber, "TUMO-77");
}
