#pragma once

#include "usx2/usb/USBDeviceInfo.h"
#include "usx2/usb/USBDeviceOSHandle.h"
#include "usx2/usb/USBDeviceType.h"

#include <cstdint>
#include <string>

namespace CV {
namespace USX2 {

// A match rule for devices: kind, GUID text (carried along, never matched),
// platform class name, vendor id and product id (0 matches any).
struct USBDeviceFilter {
    eUSBDeviceType type = eUSBDeviceType_USB;
    std::string guid;
    std::string className; // empty: cannot be scanned
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;

    USBDeviceFilter() = default;
    USBDeviceFilter(eUSBDeviceType kind, const char* guidText, const char* classNameText, std::uint16_t vendor,
                    std::uint16_t product);
    USBDeviceFilter(eUSBDeviceType kind, const std::string& guidText, const char* classNameText, std::uint16_t vendor,
                    std::uint16_t product);

    // The identity of a reported device, read in the way this filter's kind
    // asks for. Defined with the device factory.
    bool getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info, bool withStrings) const;
};

} // namespace USX2
} // namespace CV
