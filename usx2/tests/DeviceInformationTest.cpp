#include "usx2/usb/DravikUSBDeviceInfo.h"
#include "usx2/usb/linux/FX2DeviceOSImpl.h"
#include "usx2/usb/linux/HIDDeviceOSImpl.h"
#include "usx2/util/VirtualSleeper.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace CV::USX2;
using std::chrono::milliseconds;

namespace {

// A HID registry with one service whose properties are given, counting reads.
class FakeHIDRegistry : public HIDRegistry {
public:
    std::vector<std::uint32_t> services() override { return {service}; }
    std::optional<Properties> properties(std::uint32_t asked) override
    {
        ++reads;
        if (asked != service || !available)
            return std::nullopt;
        return props;
    }

    std::uint32_t service = 0;
    bool available = true;
    Properties props;
    int reads = 0;
};

// An audio driver that answers GetDeviceInfo with a list of prepared
// records (an error code of non-zero instead of a record).
class FakeAudioDriver : public AudioDriverService {
public:
    struct Answer {
        std::uint32_t error;
        std::uint16_t version;
    };

    std::vector<std::uint32_t> services() override { return {7}; }
    std::uint32_t open(std::uint32_t service) override { return opens ? service + 100 : 0; }
    void close(std::uint32_t connection) override { closed.push_back(connection); }
    std::uint32_t callGetDeviceInfo(std::uint32_t, DravikUSBDeviceInfo& out) override
    {
        const Answer answer = answers.at(calls++);
        if (answer.error != 0)
            return answer.error;
        out = record;
        out.setVersion(answer.version);
        return 0;
    }

    bool opens = true;
    std::vector<Answer> answers;
    DravikUSBDeviceInfo record;
    unsigned calls = 0;
    std::vector<std::uint32_t> closed;
};

void putText(DravikUSBDeviceInfo& record, std::size_t offset, const std::string& text)
{
    std::memcpy(record.bytes.data() + offset, text.data(), text.size());
}

DravikUSBDeviceInfo sampleRecord()
{
    DravikUSBDeviceInfo record;
    record.bytes[0] = 0xA7;
    record.bytes[1] = 0xF5;
    record.bytes[2] = 0x20;
    record.bytes[3] = 0x5A;
    putText(record, DravikUSBDeviceInfo::kSerialNumberOffset, std::string(33, 'S')); // no NUL
    putText(record, DravikUSBDeviceInfo::kProductNameOffset, "Audio MK2");
    putText(record, DravikUSBDeviceInfo::kManufacturerOffset, std::string(33, 'M')); // no NUL
    record.bytes[103] = 'X'; // the unused byte after the last text
    return record;
}

} // namespace

TEST(HIDDeviceInfo, RegistryIsReadOnceAndCached)
{
    FakeHIDRegistry registry;
    registry.service = 0x48490001;
    registry.props = {{"VendorID", std::int64_t(0x1F5A7)}, // read as 16 bits
                      {"ProductID", std::int64_t(0x5A20)},
                      {"VersionNumber", std::string("0x0059")}, // wrong type: left as it was
                      {"Manufacturer", std::string("Varanto")},
                      {"Product", std::int64_t(3)}, // wrong type
                      {"SerialNumber", std::string("VMK2-7")}};
    USBDeviceInfo info;
    info.bcdDevice = 0x1234;
    info.product = "kept";
    ASSERT_TRUE(HIDDevice::OSImpl::getHIDDeviceInfo(registry.service, info, false, registry));
    EXPECT_EQ(info.vendorId, 0xF5A7);
    EXPECT_EQ(info.productId, 0x5A20);
    EXPECT_EQ(info.bcdDevice, 0x1234);
    EXPECT_EQ(info.manufacturer, "Varanto");
    EXPECT_EQ(info.product, "kept");
    EXPECT_EQ(info.serialNumber, "VMK2-7");

    USBDeviceInfo again;
    ASSERT_TRUE(HIDDevice::OSImpl::getHIDDeviceInfo(registry.service, again, false, registry));
    EXPECT_EQ(registry.reads, 1);
    EXPECT_EQ(again.serialNumber, "VMK2-7");
    EXPECT_EQ(again.bcdDevice, 0x1234);

    HIDDevice::OSImpl::forgetHIDDeviceInfo(registry.service);
    registry.available = false;
    EXPECT_FALSE(HIDDevice::OSImpl::getHIDDeviceInfo(registry.service, again, false, registry));
    EXPECT_EQ(registry.reads, 2);
}

TEST(DravikUSBDeviceInfo, TextFieldsStopAtTheirEnd)
{
    const DravikUSBDeviceInfo record = sampleRecord();
    EXPECT_EQ(record.vendorId(), 0xF5A7);
    EXPECT_EQ(record.productId(), 0x5A20);
    EXPECT_EQ(record.serialNumber(), std::string(33, 'S'));
    EXPECT_EQ(record.productName(), "Audio MK2");
    EXPECT_EQ(record.manufacturer(), std::string(33, 'M'));
}

TEST(FX2DeviceInfo, NotReadyRecordsAreAskedAgain)
{
    constexpr std::uint32_t kError = 0xE00002BC;
    struct Case {
        const char* name;
        std::vector<FakeAudioDriver::Answer> answers;
        bool result;
        std::uint16_t version;
        std::vector<milliseconds> sleeps;
    } cases[] = {
        {"ready at once", {{0, 0x0102}}, true, 0x0102, {}},
        {"ready on the second retry",
         {{0, 0}, {0, 0}, {0, 0x0102}},
         true,
         0x0102,
         {milliseconds(100), milliseconds(200)}},
        {"never ready",
         {{0, 0}, {0, 0}, {0, 0}, {0, 0}},
         true,
         0,
         {milliseconds(100), milliseconds(200), milliseconds(300)}},
        {"error at once", {{kError, 0}}, false, 0, {}},
        {"error on a retry", {{0, 0}, {kError, 0}}, false, 0, {milliseconds(100)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeAudioDriver driver;
        driver.answers = c.answers;
        driver.record = sampleRecord();
        VirtualSleeper sleeper;
        USBDeviceInfo info;
        info.serialNumber = "before";
        EXPECT_EQ(FX2Device::OSImpl::getDeviceInfoForOSHandle(USBDeviceOSHandle{7}, info, true, driver, sleeper),
                  c.result);
        EXPECT_EQ(driver.calls, c.answers.size());
        EXPECT_EQ(sleeper.sleeps(), c.sleeps);
        EXPECT_EQ(driver.closed, std::vector<std::uint32_t>{107});
        if (c.result) {
            EXPECT_EQ(info.vendorId, 0xF5A7);
            EXPECT_EQ(info.bcdDevice, c.version);
            EXPECT_EQ(info.serialNumber, std::string(33, 'S'));
            EXPECT_EQ(info.product, "Audio MK2");
        } else {
            EXPECT_EQ(info.serialNumber, "before");
        }
    }
}

TEST(FX2DeviceInfo, IdsWithoutTextsAndUnopenableDriver)
{
    FakeAudioDriver driver;
    driver.answers = {{0, 0x0300}};
    driver.record = sampleRecord();
    VirtualSleeper sleeper;
    USBDeviceInfo info;
    info.product = "kept";
    ASSERT_TRUE(FX2Device::OSImpl::getDeviceInfoForOSHandle(USBDeviceOSHandle{7}, info, false, driver, sleeper));
    EXPECT_EQ(info.bcdDevice, 0x0300);
    EXPECT_EQ(info.product, "kept");

    driver.opens = false;
    EXPECT_FALSE(FX2Device::OSImpl::getDeviceInfoForOSHandle(USBDeviceOSHandle{7}, info, true, driver, sleeper));
    // This platform has no such driver.
    EXPECT_FALSE(FX2Device::getDeviceInfoForOSHandle(USBDeviceOSHandle{7}, info, true));
}
