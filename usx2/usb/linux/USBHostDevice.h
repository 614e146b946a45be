#pragma once

#include "usx2/usb/linux/USBSetupPacket.h"

#include <cstdint>
#include <vector>

namespace CV {
namespace USX2 {

// The ids of a device, known to the host without any bus traffic.
struct USBHostDeviceIds {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t bcdDevice = 0;
};

// A device opened through a USBHost. Closing (destruction) releases the
// interfaces it still claims. Every status is a USB layer status value
// (USBStatusCodes.h): 0 success; a device that has left the bus answers
// USBStatus::kNoDevice.
class USBHostDevice {
public:
    using Status = std::uint32_t;

    static constexpr unsigned kControlTimeoutMs = 5000;

    virtual ~USBHostDevice() = default;

    virtual USBHostDeviceIds ids() const = 0;

    // One control transfer on endpoint 0. `data` holds setup.wLength bytes
    // (it may be null when wLength is 0). `transferred` receives the bytes of
    // the data stage actually moved (written on success only).
    virtual Status controlTransfer(const USBSetupPacket& setup, std::uint8_t* data, std::uint32_t& transferred) = 0;

    // Claiming is idempotent; releasing an interface not claimed succeeds.
    virtual Status claimInterface(std::uint8_t interfaceNumber) = 0;
    virtual Status releaseInterface(std::uint8_t interfaceNumber) = 0;

    // The configuration descriptor `index` with all its subordinate
    // descriptors, read from the device as 9 bytes and then wTotalLength
    // bytes. `out` keeps only the bytes the device delivered (never more than
    // wTotalLength); a reply shorter than 9 bytes, not of type CONFIGURATION
    // or with wTotalLength below 9 is a failure.
    Status readConfigurationDescriptor(std::uint8_t index, std::vector<std::uint8_t>& out);
};

} // namespace USX2
} // namespace CV
