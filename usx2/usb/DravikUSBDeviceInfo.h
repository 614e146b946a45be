#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace CV {
namespace USX2 {

// The 110-byte record that the maker's audio driver returns for a device.
// Integers are little-endian; each text field is 33 bytes, read up to its
// first NUL and never beyond the field, so a field without NUL gives 33
// characters.
//
//   offset  size  field
//        0     2  vendor id
//        2     2  product id
//        4    33  serial number
//       37    33  product name
//       70    33  manufacturer
//      103     1  not used
//      104     2  version (the device's bcdDevice)
//      106     4  not used
struct DravikUSBDeviceInfo {
    static constexpr std::size_t kSize = 110;
    static constexpr std::size_t kTextSize = 33;
    static constexpr std::size_t kVendorIdOffset = 0;
    static constexpr std::size_t kProductIdOffset = 2;
    static constexpr std::size_t kSerialNumberOffset = 4;
    static constexpr std::size_t kProductNameOffset = 37;
    static constexpr std::size_t kManufacturerOffset = 70;
    static constexpr std::size_t kVersionOffset = 104;

    std::array<std::uint8_t, kSize> bytes{};

    std::uint16_t vendorId() const { return word(kVendorIdOffset); }
    std::uint16_t productId() const { return word(kProductIdOffset); }
    std::uint16_t version() const { return word(kVersionOffset); }
    void setVersion(std::uint16_t version);

    std::string serialNumber() const { return text(kSerialNumberOffset); }
    std::string productName() const { return text(kProductNameOffset); }
    std::string manufacturer() const { return text(kManufacturerOffset); }

private:
    std::uint16_t word(std::size_t offset) const;
    std::string text(std::size_t offset) const;
};

} // namespace USX2
} // namespace CV
