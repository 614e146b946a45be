#include "usx2/usb/linux/USBDeviceOSImpl.h"

#include "usx2/usb/USBStatusCodes.h"

#include <boost/locale/encoding_utf.hpp>

#include <algorithm>
#include <array>
#include <cstdio>

namespace CV {
namespace USX2 {

namespace {
constexpr std::uint8_t kGetDescriptor = 6;
constexpr std::uint8_t kDeviceToHostStandardDevice = 0x80;
constexpr std::uint16_t kDeviceDescriptor = 0x0100;
constexpr std::uint16_t kStringDescriptor = 0x0300;
constexpr std::uint8_t kStringDescriptorType = 3;
constexpr unsigned kDeviceDescriptorLength = 18;
constexpr std::size_t kDeviceDescriptorBufferSize = 256;
constexpr std::size_t kStringDescriptorBufferSize = 512;
constexpr std::size_t kManufacturerIndexOffset = 14;
constexpr std::size_t kProductIndexOffset = 15;
constexpr std::size_t kSerialNumberIndexOffset = 16;

std::string toUTF8(const std::u16string& text)
{
    return boost::locale::conv::utf_to_utf<char>(text, boost::locale::conv::skip);
}

USBDevice::Status getDescriptor(USBHostDevice* interface, std::uint16_t value, std::uint8_t* buffer, std::size_t size,
                                std::uint32_t& transferred)
{
    USBSetupPacket setup;
    setup.bmRequestType = kDeviceToHostStandardDevice;
    setup.bRequest = kGetDescriptor;
    setup.wValue = value;
    setup.wIndex = 0;
    setup.wLength = static_cast<std::uint16_t>(size);
    transferred = 0;
    return interface->controlTransfer(setup, buffer, transferred);
}

// The length of the descriptor at the start of a reply: its bLength, but never
// more than the bytes the device delivered.
unsigned receivedLength(const std::uint8_t* buffer, std::uint32_t transferred)
{
    if (transferred == 0)
        return 0;
    return std::min<unsigned>(buffer[0], transferred);
}

void readStringField(USBHostDevice* interface, std::uint8_t index, std::string& field)
{
    std::u16string text;
    if (index != 0 && USBDevice::OSImpl::getDescriptorString(interface, index, text))
        field = toUTF8(text);
    else
        field.clear();
}
} // namespace

USBDevice::OSImpl::~OSImpl()
{
    disconnect();
}

std::unique_ptr<USBHostDevice> USBDevice::OSImpl::getUSBDeviceInterfaceFor(std::uint32_t service)
{
    return getUSBDeviceInterfaceFor(*USBHost::current(), service);
}

std::unique_ptr<USBHostDevice> USBDevice::OSImpl::getUSBDeviceInterfaceFor(USBHost& host, std::uint32_t service)
{
    if (service == 0)
        return nullptr;
    USBHost::Status status = USBStatus::kSuccess;
    std::unique_ptr<USBHostDevice> interface = host.open(service, status);
    if (!interface) {
        std::printf("Couldn't create a USB device interface (%08x)\n", status);
        std::fflush(stdout);
    }
    return interface;
}

bool USBDevice::OSImpl::connect(std::uint32_t service)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::shared_ptr<USBHost> host = USBHost::current();
    std::unique_ptr<USBHostDevice> interface = getUSBDeviceInterfaceFor(*host, service);
    if (!interface)
        return false;
    releaseInterface();
    m_service = service;
    m_pInterface = std::move(interface);
    m_pHost = std::move(host);
    return true;
}

bool USBDevice::OSImpl::reachesRealDevice() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return !m_pHost || m_pHost->reachesRealDevices();
}

void USBDevice::OSImpl::disconnect()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    releaseInterface();
}

void USBDevice::OSImpl::releaseInterface()
{
    if (m_pInterface) {
        for (std::uint8_t interfaceNumber : m_claimedInterfaces)
            m_pInterface->releaseInterface(interfaceNumber);
    }
    m_claimedInterfaces.clear();
    m_pInterface.reset();
    m_pHost.reset();
    m_service = 0;
    m_configurationDescriptor.clear();
    m_bConfigurationRead = false;
}

bool USBDevice::OSImpl::getDeviceInfo(USBDeviceInfo& info) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return getDeviceInfo(m_pInterface.get(), info, true);
}

bool USBDevice::OSImpl::getDriverVersion(std::string&) const
{
    return false;
}

bool USBDevice::OSImpl::getDriverVersion(std::uint32_t&) const
{
    return false;
}

const std::vector<std::uint8_t>* USBDevice::OSImpl::getConfigurationDescriptor()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_pInterface)
        return nullptr;
    if (!m_bConfigurationRead) {
        if (m_pInterface->readConfigurationDescriptor(0, m_configurationDescriptor) != USBStatus::kSuccess)
            return nullptr;
        m_bConfigurationRead = true;
    }
    return &m_configurationDescriptor;
}

USBDevice::Status USBDevice::OSImpl::claimForRequest(const USBSetupPacket& setup)
{
    if (setup.type() != USBSetupPacket::kTypeClass || setup.recipient() != USBSetupPacket::kRecipientInterface)
        return USBStatus::kSuccess;
    const auto interfaceNumber = static_cast<std::uint8_t>(setup.wIndex & 0xFF);
    if (std::find(m_claimedInterfaces.begin(), m_claimedInterfaces.end(), interfaceNumber) != m_claimedInterfaces.end())
        return USBStatus::kSuccess;
    const Status status = m_pInterface->claimInterface(interfaceNumber);
    if (status == USBStatus::kSuccess)
        m_claimedInterfaces.push_back(interfaceNumber);
    return status;
}

USBDevice::Status USBDevice::OSImpl::deviceRequest(USBDevice::Request& request)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_pInterface)
        return USBStatus::kNotConnected;
    USBSetupPacket setup;
    setup.bmRequestType = request.bmRequestType;
    setup.bRequest = request.bRequest;
    setup.wValue = request.wValue;
    setup.wIndex = request.wIndex;
    setup.wLength = request.wLength;
    if (setup.wLength != 0 && !request.pData)
        return USBStatus::kBadArgument;
    const Status claimed = claimForRequest(setup);
    if (claimed != USBStatus::kSuccess)
        return claimed;
    std::uint32_t transferred = 0;
    const Status status = m_pInterface->controlTransfer(setup, static_cast<std::uint8_t*>(request.pData), transferred);
    if (status == USBStatus::kSuccess)
        request.wLenDone = transferred;
    return status;
}

bool USBDevice::OSImpl::getDeviceInfo(USBHostDevice* interface, USBDeviceInfo& info, bool withStrings)
{
    if (!interface)
        return false;
    const USBHostDeviceIds ids = interface->ids();
    info.vendorId = ids.vendorId;
    info.productId = ids.productId;
    info.bcdDevice = ids.bcdDevice;
    if (!withStrings)
        return true;

    std::array<std::uint8_t, kDeviceDescriptorBufferSize> descriptor{};
    std::uint32_t transferred = 0;
    const Status status =
        getDescriptor(interface, kDeviceDescriptor, descriptor.data(), descriptor.size(), transferred);
    if (status != USBStatus::kSuccess) {
        std::printf("getDeviceDescriptor() failed with status 0x%x (%s)\n", status, USBDevice::statusAsString(status));
        std::fflush(stdout);
        return false;
    }
    if (receivedLength(descriptor.data(), transferred) < kDeviceDescriptorLength)
        return false;

    readStringField(interface, descriptor[kManufacturerIndexOffset], info.manufacturer);
    readStringField(interface, descriptor[kProductIndexOffset], info.product);
    readStringField(interface, descriptor[kSerialNumberIndexOffset], info.serialNumber);
    return true;
}

bool USBDevice::OSImpl::getDescriptorString(USBHostDevice* interface, std::uint8_t index, std::u16string& out)
{
    if (!interface)
        return false;
    std::array<std::uint8_t, kStringDescriptorBufferSize> buffer{};
    std::uint32_t transferred = 0;
    const Status status = getDescriptor(interface, static_cast<std::uint16_t>(kStringDescriptor | index), buffer.data(),
                                        buffer.size(), transferred);
    if (status != USBStatus::kSuccess || transferred < 2 || buffer[1] != kStringDescriptorType)
        return false;
    const unsigned length = receivedLength(buffer.data(), transferred);
    if (length <= 1)
        return false;
    out.clear();
    const unsigned codeUnits = (length - 2) / 2;
    for (unsigned i = 0; i < codeUnits; ++i) {
        const std::size_t at = 2 + 2 * i;
        out.push_back(static_cast<char16_t>(buffer[at] | (buffer[at + 1] << 8)));
    }
    return true;
}

} // namespace USX2
} // namespace CV
