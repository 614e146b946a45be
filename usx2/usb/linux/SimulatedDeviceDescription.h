#pragma once

#include "usx2/dfu/DFUProtocol.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace CV {
namespace USX2 {

// What a simulated device presents on the bus: its ids and strings and the
// layout of its one configuration, from which its descriptors are built. The
// raw fields replace a built descriptor byte for byte, so a test can present
// malformed descriptors.
//
// The configuration of a keyboard in application mode: `hidInterfaces` HID
// interfaces (numbers 0..n-1, each with a HID descriptor and an interrupt IN
// endpoint), then, when `dfuInterface` is set, the DFU interface (class 0xFE,
// subclass 1, protocol `dfuProtocol`, number n) followed by its DFU functional
// descriptor (bmAttributes, wDetachTimeOut, wTransferSize, bcdDFUVersion).
// In DFU mode (inDFUMode()) only the DFU interface is left, as interface 0
// with protocol 2, and the product id is the base id + 2.
struct SimulatedDeviceDescription {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t bcdDevice = 0x0100;
    std::string manufacturer; // empty: string index 0
    std::string product;
    std::string serialNumber;
    std::uint8_t maxPacketSize0 = 64;
    std::vector<std::uint16_t> languages = {0x0409};

    std::uint8_t hidInterfaces = 1;
    bool dfuInterface = true;
    std::uint8_t dfuProtocol = 1; // 1 run-time (application mode), 2 DFU mode
    std::uint8_t dfuAttributes = DFU::bitCanDnload | DFU::bitManifestationTolerant | DFU::bitWillDetach;
    std::uint16_t dfuDetachTimeout = 1000;
    std::uint16_t dfuTransferSize = 2048;
    std::uint16_t bcdDFUVersion = DFU::kVersion;
    std::uint16_t updatedBcdDevice = 0; // version after a firmware download (0: unchanged)

    std::optional<std::vector<std::uint8_t>> rawDeviceDescriptor;
    std::optional<std::vector<std::uint8_t>> rawConfigurationDescriptor;
    std::map<std::uint8_t, std::vector<std::uint8_t>> rawStrings; // by string index

    // A keyboard of the model with the given base product id, in application
    // mode, with the maker's vendor id and texts.
    static SimulatedDeviceDescription keyboard(std::uint16_t baseProductId, const std::string& serialNumber,
                                               std::uint16_t bcdDevice = 0x0100);
    SimulatedDeviceDescription inDFUMode() const;
    SimulatedDeviceDescription inApplicationMode() const;

    std::uint8_t manufacturerIndex() const { return manufacturer.empty() ? 0 : 1; }
    std::uint8_t productIndex() const { return product.empty() ? 0 : 2; }
    std::uint8_t serialNumberIndex() const { return serialNumber.empty() ? 0 : 3; }
    std::uint8_t dfuInterfaceNumber() const { return hidInterfaces; }

    std::vector<std::uint8_t> deviceDescriptor() const;
    std::vector<std::uint8_t> configurationDescriptor() const;
    // Index 0 is the table of language ids; an index without a string: none.
    std::optional<std::vector<std::uint8_t>> stringDescriptor(std::uint8_t index) const;
    // Interface numbers of the configuration (from the raw descriptor when set).
    std::vector<std::uint8_t> interfaceNumbers() const;
};

} // namespace USX2
} // namespace CV
