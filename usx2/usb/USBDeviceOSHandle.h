#pragma once

#include <cstdint>

namespace CV {
namespace USX2 {

// The platform's handle of a device found by a scan: a number that the active
// USB host backend gives each device it sees. A number is never given to a
// second device, so a handle of a device that has gone stays invalid; 0 is no
// device.
struct USBDeviceOSHandle {
    std::uint32_t service = 0;

    bool operator==(const USBDeviceOSHandle& other) const { return service == other.service; }
    bool operator!=(const USBDeviceOSHandle& other) const { return service != other.service; }
};

} // namespace USX2
} // namespace CV
