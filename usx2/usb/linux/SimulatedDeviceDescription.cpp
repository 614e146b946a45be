#include "usx2/usb/linux/SimulatedDeviceDescription.h"

#include "usx2/usb/VarantoUSBIds.h"

#include <boost/locale/encoding_utf.hpp>

namespace CV {
namespace USX2 {

namespace {
constexpr std::uint8_t kDeviceType = 1;
constexpr std::uint8_t kConfigurationType = 2;
constexpr std::uint8_t kStringType = 3;
constexpr std::uint8_t kInterfaceType = 4;
constexpr std::uint8_t kEndpointType = 5;
constexpr std::uint8_t kHIDType = 0x21;
constexpr std::uint8_t kHIDReportType = 0x22;
constexpr std::uint16_t kReportDescriptorLength = 63;

void appendWord(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendHIDInterface(std::vector<std::uint8_t>& out, std::uint8_t number)
{
    const std::uint8_t protocol = number == 0 ? 1 : 0; // the first one is a boot keyboard
    out.insert(out.end(),
               {9, kInterfaceType, number, 0, 1, 0x03, protocol ? std::uint8_t(1) : std::uint8_t(0), protocol, 0});
    out.insert(out.end(), {9, kHIDType, 0x11, 0x01, 0, 1, kHIDReportType});
    appendWord(out, kReportDescriptorLength);
    out.insert(out.end(), {7, kEndpointType, static_cast<std::uint8_t>(0x81 + number), 0x03, 8, 0, 10});
}

std::string modelName(std::uint16_t baseProductId)
{
    switch (baseProductId) {
    case Ids::kRovaMK2ProductId: return "Rova MK2";
    case Ids::kSelaMK2ProductId: return "Sela MK2";
    case Ids::kTumoMK2ProductId: return "Tumo MK2";
    default: return "MK2";
    }
}
} // namespace

SimulatedDeviceDescription SimulatedDeviceDescription::keyboard(std::uint16_t baseProductId,
                                                                const std::string& serialNumber,
                                                                std::uint16_t bcdDevice)
{
    SimulatedDeviceDescription spec;
    spec.vendorId = Ids::kVendorId;
    spec.productId = Ids::baseProductId(baseProductId);
    spec.bcdDevice = bcdDevice;
    spec.manufacturer = "Varanto";
    spec.product = "Varanto " + modelName(spec.productId);
    spec.serialNumber = serialNumber;
    spec.hidInterfaces = 2;
    return spec;
}

SimulatedDeviceDescription SimulatedDeviceDescription::inDFUMode() const
{
    SimulatedDeviceDescription spec = *this;
    spec.productId = Ids::dfuModeProductId(productId);
    spec.hidInterfaces = 0;
    spec.dfuInterface = true;
    spec.dfuProtocol = DFU::kDFUModeProtocol;
    return spec;
}

SimulatedDeviceDescription SimulatedDeviceDescription::inApplicationMode() const
{
    SimulatedDeviceDescription spec = *this;
    spec.productId = Ids::baseProductId(productId);
    if (spec.hidInterfaces == 0)
        spec.hidInterfaces = 2;
    spec.dfuProtocol = DFU::kRunTimeProtocol;
    return spec;
}

std::vector<std::uint8_t> SimulatedDeviceDescription::deviceDescriptor() const
{
    if (rawDeviceDescriptor)
        return *rawDeviceDescriptor;
    std::vector<std::uint8_t> out = {18, kDeviceType};
    appendWord(out, 0x0200); // bcdUSB
    out.insert(out.end(), {0, 0, 0, maxPacketSize0});
    appendWord(out, vendorId);
    appendWord(out, productId);
    appendWord(out, bcdDevice);
    out.insert(out.end(), {manufacturerIndex(), productIndex(), serialNumberIndex(), 1});
    return out;
}

std::vector<std::uint8_t> SimulatedDeviceDescription::configurationDescriptor() const
{
    if (rawConfigurationDescriptor)
        return *rawConfigurationDescriptor;
    const std::uint8_t interfaceCount = static_cast<std::uint8_t>(hidInterfaces + (dfuInterface ? 1 : 0));
    std::vector<std::uint8_t> out = {9, kConfigurationType, 0, 0, interfaceCount, 1, 0, 0xA0, 50};
    for (std::uint8_t number = 0; number < hidInterfaces; ++number)
        appendHIDInterface(out, number);
    if (dfuInterface) {
        out.insert(out.end(),
                   {9, kInterfaceType, dfuInterfaceNumber(), 0, 0, DFU::kInterfaceClass, DFU::kInterfaceSubClass,
                    dfuProtocol, 0});
        out.insert(out.end(), {9, DFU::kFunctionalDescriptorType, dfuAttributes});
        appendWord(out, dfuDetachTimeout);
        appendWord(out, dfuTransferSize);
        appendWord(out, bcdDFUVersion);
    }
    const auto total = static_cast<std::uint16_t>(out.size());
    out[2] = static_cast<std::uint8_t>(total & 0xFF);
    out[3] = static_cast<std::uint8_t>(total >> 8);
    return out;
}

std::optional<std::vector<std::uint8_t>> SimulatedDeviceDescription::stringDescriptor(std::uint8_t index) const
{
    auto raw = rawStrings.find(index);
    if (raw != rawStrings.end())
        return raw->second;
    std::u16string text;
    if (index == 0) {
        text.assign(languages.begin(), languages.end());
    } else {
        const std::string* source = nullptr;
        if (index == manufacturerIndex())
            source = &manufacturer;
        else if (index == productIndex())
            source = &product;
        else if (index == serialNumberIndex())
            source = &serialNumber;
        if (!source)
            return std::nullopt;
        text = boost::locale::conv::utf_to_utf<char16_t>(*source, boost::locale::conv::skip);
    }
    // A string descriptor holds at most 126 code units.
    if (text.size() > 126)
        text.resize(126);
    std::vector<std::uint8_t> out = {static_cast<std::uint8_t>(2 + 2 * text.size()), kStringType};
    for (char16_t unit : text)
        appendWord(out, static_cast<std::uint16_t>(unit));
    return out;
}

std::vector<std::uint8_t> SimulatedDeviceDescription::interfaceNumbers() const
{
    std::vector<std::uint8_t> numbers;
    const std::vector<std::uint8_t> configuration = configurationDescriptor();
    std::size_t at = 0;
    while (at + 2 < configuration.size() && configuration[at] >= 2) {
        if (configuration[at + 1] == kInterfaceType)
            numbers.push_back(configuration[at + 2]);
        at += configuration[at];
    }
    return numbers;
}

} // namespace USX2
} // namespace CV
