#pragma once

#include <cstdint>
#include <string>

namespace CV {
namespace USX2 {

// The identity of a USB device.
struct USBDeviceInfo {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t bcdDevice = 0; // the keyboards report their firmware version here
    std::string manufacturer; // UTF-8
    std::string product; // UTF-8
    std::string serialNumber; // UTF-8
};

} // namespace USX2
} // namespace CV
