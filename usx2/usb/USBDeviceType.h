#pragma once

#include <cstdint>

namespace CV {
namespace USX2 {

// The kind of a device, which also selects how its identity is read.
enum eUSBDeviceType : std::uint32_t {
    eUSBDeviceType_USB = 0, // plain USB device: the USB device descriptor
    eUSBDeviceType_AudioDriver = 1, // device of the maker's USB audio driver: the driver's record
    eUSBDeviceType_HID = 2, // HID device: the HID properties
    eUSBDeviceType_DFU = 3, // USB device with a DFU interface: the USB device descriptor
};

} // namespace USX2
} // namespace CV
