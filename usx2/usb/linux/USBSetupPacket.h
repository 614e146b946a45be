#pragma once

#include <cstdint>

namespace CV {
namespace USX2 {

// The eight bytes of a control request's setup stage.
struct USBSetupPacket {
    std::uint8_t bmRequestType = 0;
    std::uint8_t bRequest = 0;
    std::uint16_t wValue = 0;
    std::uint16_t wIndex = 0;
    std::uint16_t wLength = 0;

    bool isDeviceToHost() const { return (bmRequestType & 0x80) != 0; }
    std::uint8_t type() const { return bmRequestType & 0x60; } // 0x00 standard, 0x20 class, 0x40 vendor
    std::uint8_t recipient() const { return bmRequestType & 0x1F; } // 0 device, 1 interface, 2 endpoint

    static constexpr std::uint8_t kTypeStandard = 0x00;
    static constexpr std::uint8_t kTypeClass = 0x20;
    static constexpr std::uint8_t kTypeVendor = 0x40;
    static constexpr std::uint8_t kRecipientDevice = 0;
    static constexpr std::uint8_t kRecipientInterface = 1;
    static constexpr std::uint8_t kRecipientEndpoint = 2;
};

} // namespace USX2
} // namespace CV
