#include "usx2/usb/DravikUSBDeviceInfo.h"

#include <algorithm>

namespace CV {
namespace USX2 {

void DravikUSBDeviceInfo::setVersion(std::uint16_t version)
{
    bytes[kVersionOffset] = static_cast<std::uint8_t>(version);
    bytes[kVersionOffset + 1] = static_cast<std::uint8_t>(version >> 8);
}

std::uint16_t DravikUSBDeviceInfo::word(std::size_t offset) const
{
    return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

std::string DravikUSBDeviceInfo::text(std::size_t offset) const
{
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
    const auto end = std::find(begin, begin + kTextSize, std::uint8_t(0));
    return std::string(begin, end);
}

} // namespace USX2
} // namespace CV
