#include "usx2/usb/linux/LibusbHost.h"
#include "usx2/usb/USBStatusCodes.h"
#include "usx2/usb/VarantoUSBIds.h"

#include <gtest/gtest.h>
#include <libusb.h>

#include <set>
#include <sys/stat.h>

namespace CV {
namespace USX2 {
namespace {

TEST(LibusbHost, MapsLibusbErrorsOntoLayerStatuses)
{
    const struct {
        int error;
        USBHost::Status status;
    } cases[] = {
        {LIBUSB_SUCCESS, 0},
        {LIBUSB_ERROR_PIPE, 0xE000404F},
        {LIBUSB_ERROR_TIMEOUT, 0xE0004051},
        {LIBUSB_ERROR_NO_DEVICE, 0xE00002C0},
        {LIBUSB_ERROR_ACCESS, 0xE00002C1},
        {LIBUSB_ERROR_BUSY, 0xE00002D5},
        {LIBUSB_ERROR_OVERFLOW, 0xE00002E8},
        {LIBUSB_ERROR_IO, 0xE00002CA},
        {LIBUSB_ERROR_INVALID_PARAM, 0xE00002C2},
        {LIBUSB_ERROR_NO_MEM, 0xE00002BD},
        {LIBUSB_ERROR_NOT_SUPPORTED, 0xE00002C7},
        {LIBUSB_ERROR_INTERRUPTED, 0xE00002EB},
        {LIBUSB_ERROR_NOT_FOUND, 0xE00002F0},
        {LIBUSB_ERROR_OTHER, 0xE00002BC},
        {-1234, 0xE00002BC},
    };
    for (const auto& row : cases)
        EXPECT_EQ(LibusbHost::statusFromLibusb(row.error), row.status) << row.error;
}

TEST(LibusbHost, EnumeratesWithoutErrorAndKeepsHandlesStable)
{
    LibusbHost host;
    const std::vector<USBHost::DeviceEntry> first = host.enumerate();
    std::set<std::uint32_t> handles;
    for (const USBHost::DeviceEntry& entry : first) {
        EXPECT_NE(entry.handle, 0u);
        EXPECT_TRUE(handles.insert(entry.handle).second);
    }
    struct stat busFolder;
    if (::stat("/dev/bus/usb", &busFolder) != 0) {
        EXPECT_TRUE(first.empty()); // no USB on this machine
    }
    // Devices still present keep their handles.
    std::set<std::uint32_t> again;
    for (const USBHost::DeviceEntry& entry : host.enumerate())
        again.insert(entry.handle);
    EXPECT_EQ(again, handles);

    USBHost::Status status = 0;
    EXPECT_EQ(host.open(0, status), nullptr);
    EXPECT_EQ(status, USBStatus::kNoDevice);
}

TEST(LibusbHost, AKeyboardThatCannotBeOpenedNamesTheUdevRule)
{
    const std::string rule = "/opt/x/Resources/udev/70-varanto-mk2.rules";
    char keyboard[16];
    std::snprintf(keyboard, sizeof keyboard, "%04x:%04x", Ids::kVendorId,
                  Ids::dfuModeProductId(Ids::kTumoMK2ProductId));
    const struct {
        USBHostDeviceIds ids;
        std::string line;
    } cases[] = {
        {{Ids::kVendorId, Ids::dfuModeProductId(Ids::kTumoMK2ProductId), 0x100},
         std::string("Varanto MK2 keyboard ") + keyboard +
             " found, but this user may not open it: install the udev rule " + rule +
             " into /etc/udev/rules.d/ and re-plug the keyboard\n"},
        {{static_cast<std::uint16_t>(Ids::kVendorId + 1), Ids::kSelaMK2ProductId, 0x100}, ""},
        {{Ids::kVendorId, 0x0001, 0x100}, ""},
    };
    for (const auto& row : cases)
        EXPECT_EQ(LibusbHost::noAccessLine(row.ids, rule), row.line) << row.ids.productId;
}

// Where libusb reports hotplug support, a watch registers for its callbacks
// and runs its event thread, which ends with the host.
TEST(LibusbHost, WatchesThroughHotplugWhereLibusbCan)
{
    libusb_context* probe = nullptr;
    const bool libusbStarts = libusb_init(&probe) == LIBUSB_SUCCESS;
    if (libusbStarts)
        libusb_exit(probe);
    const bool canWatch = libusbStarts && libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG);
    {
        LibusbHost host;
        DeviceChangeSignal::Token first = host.watchChanges([] {});
        DeviceChangeSignal::Token second = host.watchChanges([] {});
        EXPECT_EQ(first != nullptr, canWatch);
        EXPECT_EQ(second != nullptr, canWatch);
    }
    if (!canWatch)
        GTEST_SKIP() << "libusb cannot watch for devices here";
}

} // namespace
} // namespace USX2
} // namespace CV
