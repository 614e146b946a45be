#include "usx2/usb/USBDevice.h"

#include "usx2/usb/USBStatusCodes.h"
#include "usx2/usb/linux/USBDeviceOSImpl.h"

#include <mutex>

namespace CV {
namespace USX2 {

USBDevice::USBDevice()
    : m_pOSImpl(createOSImpl())
{
}

USBDevice::~USBDevice()
{
    destroyOSImpl(m_pOSImpl);
}

USBDevice::OSImpl* USBDevice::createOSImpl()
{
    return new OSImpl();
}

void USBDevice::destroyOSImpl(OSImpl* impl)
{
    delete impl;
}

bool USBDevice::connect(const USBDeviceOSHandle& handle)
{
    std::lock_guard<std::recursive_mutex> lock(m_pOSImpl->mutex());
    if (m_pOSImpl->connect(handle.service)) {
        m_bConnected = true;
        m_handle = handle;
        // A failed read must not leave the texts of a device connected before.
        m_info = USBDeviceInfo();
        m_pOSImpl->getDeviceInfo(m_info);
        postConnect();
    }
    return m_bConnected;
}

void USBDevice::disconnect()
{
    std::lock_guard<std::recursive_mutex> lock(m_pOSImpl->mutex());
    m_handle = USBDeviceOSHandle();
    m_bConnected = false;
    m_pOSImpl->disconnect();
}

const USB::DescriptorHeader* USBDevice::getConfigurationDescriptor(unsigned& size)
{
    std::lock_guard<std::recursive_mutex> lock(m_pOSImpl->mutex());
    size = 0;
    if (!m_pOSImpl->hasInterface())
        return nullptr;
    const std::vector<std::uint8_t>* descriptor = m_pOSImpl->getConfigurationDescriptor();
    if (!descriptor)
        return nullptr;
    size = static_cast<unsigned>(descriptor->size());
    return reinterpret_cast<const USB::DescriptorHeader*>(descriptor->data());
}

USBDevice::Status USBDevice::controlTransfer(Request& request)
{
    std::lock_guard<std::recursive_mutex> lock(m_pOSImpl->mutex());
    if (!m_pOSImpl->hasInterface())
        return USBStatus::kNotConnected;
    return m_pOSImpl->deviceRequest(request);
}

bool USBDevice::reachesRealDevice() const
{
    std::lock_guard<std::recursive_mutex> lock(m_pOSImpl->mutex());
    return m_pOSImpl->reachesRealDevice();
}

void USBDevice::postConnect() { }

bool USBDevice::getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info, bool withStrings)
{
    std::unique_ptr<USBHostDevice> interface = OSImpl::getUSBDeviceInterfaceFor(handle.service);
    if (!interface)
        return false;
    return OSImpl::getDeviceInfo(interface.get(), info, withStrings);
}

} // namespace USX2
} // namespace CV
