#include "usx2/usb/linux/USBHostDevice.h"

#include "usx2/usb/USBStatusCodes.h"

#include <algorithm>

namespace CV {
namespace USX2 {

namespace {
constexpr std::uint8_t kConfigurationDescriptorType = 2;
constexpr std::uint16_t kConfigurationHeaderLength = 9;

USBHostDevice::Status getConfiguration(USBHostDevice& device, std::uint8_t index, std::vector<std::uint8_t>& buffer,
                                       std::uint32_t& transferred)
{
    USBSetupPacket setup;
    setup.bmRequestType = 0x80;
    setup.bRequest = 6; // GET_DESCRIPTOR
    setup.wValue = static_cast<std::uint16_t>((kConfigurationDescriptorType << 8) | index);
    setup.wLength = static_cast<std::uint16_t>(buffer.size());
    transferred = 0;
    return device.controlTransfer(setup, buffer.data(), transferred);
}
} // namespace

USBHostDevice::Status USBHostDevice::readConfigurationDescriptor(std::uint8_t index, std::vector<std::uint8_t>& out)
{
    out.clear();
    std::vector<std::uint8_t> header(kConfigurationHeaderLength, 0);
    std::uint32_t transferred = 0;
    Status status = getConfiguration(*this, index, header, transferred);
    if (status != USBStatus::kSuccess)
        return status;
    if (transferred < kConfigurationHeaderLength || header[1] != kConfigurationDescriptorType)
        return USBStatus::kIOError;
    const std::uint16_t totalLength = static_cast<std::uint16_t>(header[2] | (header[3] << 8));
    if (totalLength < kConfigurationHeaderLength)
        return USBStatus::kIOError;

    std::vector<std::uint8_t> whole(totalLength, 0);
    status = getConfiguration(*this, index, whole, transferred);
    if (status != USBStatus::kSuccess)
        return status;
    if (transferred < kConfigurationHeaderLength || whole[1] != kConfigurationDescriptorType)
        return USBStatus::kIOError;
    // Keep only what the device delivered, in a buffer of exactly that size.
    const std::size_t received = std::min<std::size_t>(transferred, totalLength);
    out.assign(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(received));
    out.shrink_to_fit();
    return USBStatus::kSuccess;
}

} // namespace USX2
} // namespace CV
