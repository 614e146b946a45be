#include "usx2/usb/USBDeviceFactory.h"
#include "usx2/dfu/DFUDevice.h"
#include "usx2/usb/USBDeviceDB.h"
#include "usx2/usb/VarantoUSBIds.h"
#include "usx2/usb/linux/SimulatedBus.h"

#include "SimulatedBusFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace CV::USX2;

namespace {

// A bus with a Sela keyboard in application mode, a Rova keyboard in DFU
// mode and a device of another vendor.
class DeviceFactoryTest : public SimulatedBusFixture {
protected:
    void SetUp() override
    {
        sela = bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "SELA-1"));
        rovaInDFUMode =
            bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kRovaMK2ProductId, "ROVA-1").inDFUMode());
        SimulatedDeviceDescription other;
        other.vendorId = 0x1234;
        other.productId = 0x0001;
        other.dfuInterface = false;
        foreign = bus->addDevice(other);
    }

    std::vector<std::uint32_t> scan(const USBDeviceFilter& filter, bool* started = nullptr)
    {
        std::vector<std::uint32_t> reported;
        USBDeviceFactory factory;
        factory.setCallbacks([&reported](const USBDeviceOSHandle& handle,
                                         const USBDeviceFilter&) { reported.push_back(handle.service); },
                             nullptr);
        const bool result = factory.initWithDeviceFilter(filter, false);
        if (started)
            *started = result;
        factory.deInit();
        return reported;
    }

    std::uint32_t sela = 0;
    std::uint32_t rovaInDFUMode = 0;
    std::uint32_t foreign = 0;
};

} // namespace

TEST_F(DeviceFactoryTest, OneShotScansReportTheMatchingDevices)
{
    USBDeviceFilter rovaDFUMode = USBDeviceDB::VarantoRovaMK2DFU;
    rovaDFUMode.productId = Ids::dfuModeProductId(Ids::kRovaMK2ProductId);
    USBDeviceFilter otherVendor = USBDeviceDB::USBDevices;
    otherVendor.vendorId = 0x1234;
    struct Case {
        const char* name;
        USBDeviceFilter filter;
        std::vector<std::uint32_t> reported;
    } cases[] = {
        {"every USB device", USBDeviceDB::USBDevices, {sela, rovaInDFUMode, foreign}},
        {"the maker's USB devices", USBDeviceDB::CVUSBDevices, {sela, rovaInDFUMode}},
        {"Sela in application mode", USBDeviceDB::VarantoSelaMK2DFU, {sela}},
        {"Rova in DFU mode", rovaDFUMode, {rovaInDFUMode}},
        {"another vendor", otherVendor, {foreign}},
        {"HID devices (none on this platform)", USBDeviceDB::HIDDevices, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool started = false;
        EXPECT_EQ(scan(c.filter, &started), c.reported);
        EXPECT_TRUE(started);
    }
}

TEST_F(DeviceFactoryTest, FilterWithoutClassNameStartsNothing)
{
    USBDeviceFilter filter = USBDeviceDB::CVUSBDevices;
    filter.className.clear();
    bool started = true;
    EXPECT_TRUE(scan(filter, &started).empty());
    EXPECT_FALSE(started);
}

TEST_F(DeviceFactoryTest, DevicesThatLeftAreNotReported)
{
    bus->removeDevice(sela);
    EXPECT_EQ(scan(USBDeviceDB::CVUSBDevices), std::vector<std::uint32_t>{rovaInDFUMode});
}

TEST_F(DeviceFactoryTest, IdentityByFilterKind)
{
    struct Case {
        eUSBDeviceType kind;
        bool read;
    } cases[] = {
        {eUSBDeviceType_USB, true},
        {eUSBDeviceType_DFU, true},
        {eUSBDeviceType_AudioDriver, false}, // no such driver here
        {eUSBDeviceType_HID, false}, // no HID registry here
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        USBDeviceFilter filter = USBDeviceDB::CVUSBDevices;
        filter.type = c.kind;
        USBDeviceInfo info;
        EXPECT_EQ(filter.getDeviceInfoForOSHandle(USBDeviceOSHandle{rovaInDFUMode}, info, true), c.read);
        if (c.read) {
            EXPECT_EQ(info.productId, Ids::dfuModeProductId(Ids::kRovaMK2ProductId));
            EXPECT_EQ(info.serialNumber, "ROVA-1");
        }
    }
}

TEST_F(DeviceFactoryTest, ReconnectTakesTheFirstKeyboardWithTheSerialNumber)
{
    const std::uint32_t second =
        bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kRovaMK2ProductId, "ROVA-2").inDFUMode());
    const std::uint32_t third =
        bus->addDevice(SimulatedDeviceDescription::keyboard(Ids::kRovaMK2ProductId, "ROVA-2").inDFUMode());
    struct Case {
        const char* serialNumber;
        std::uint32_t connectedTo; // 0: none
    } cases[] = {
        {"ROVA-2", second},
        {"", rovaInDFUMode},
        {"ROVA-9", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.serialNumber);
        DFUDevice device;
        for (const std::uint32_t handle : {rovaInDFUMode, second, third})
            reconnect(USBDeviceOSHandle{handle}, USBDeviceDB::VarantoRovaMK2DFU, &device, c.serialNumber);
        EXPECT_EQ(device.isConnected(), c.connectedTo != 0);
        EXPECT_EQ(device.getHandle().service, c.connectedTo);
    }
}
