#include "usx2/usb/USBDeviceFactory.h"

#include "usx2/usb/FX2Device.h"
#include "usx2/usb/USBDevice.h"
#include "usx2/usb/linux/HIDDeviceOSImpl.h"
#include "usx2/usb/linux/USBDeviceFactoryOSImpl.h"

#include <utility>

namespace CV {
namespace USX2 {

USBDeviceFactory::USBDeviceFactory()
    : m_pOSImpl(createOSImpl(*this))
{
}

USBDeviceFactory::~USBDeviceFactory()
{
    destroyOSImpl(m_pOSImpl);
}

USBDeviceFactory::OSImpl* USBDeviceFactory::createOSImpl(USBDeviceFactory& owner)
{
    return new OSImpl(owner);
}

void USBDeviceFactory::destroyOSImpl(OSImpl* impl)
{
    delete impl;
}

void USBDeviceFactory::setCallbacks(Callback added, Callback removed)
{
    m_added = std::move(added);
    m_removed = std::move(removed);
}

bool USBDeviceFactory::initWithDeviceFilter(const USBDeviceFilter& filter, bool keep)
{
    if (filter.className.empty())
        return false;
    if (m_bInitialised)
        deInit();
    const bool started = m_pOSImpl->initWithDeviceFilter(filter, keep);
    m_bInitialised = started;
    if (!keep)
        m_pOSImpl->deInit();
    return started;
}

void USBDeviceFactory::deInit()
{
    m_bInitialised = false;
    m_pOSImpl->deInit();
}

bool USBDeviceFactory::getDeviceInfoForOSHandleWithFilter(const USBDeviceOSHandle& handle,
                                                          const USBDeviceFilter& filter, USBDeviceInfo& info,
                                                          bool withStrings)
{
    switch (filter.type) {
    case eUSBDeviceType_USB:
    case eUSBDeviceType_DFU: return USBDevice::getDeviceInfoForOSHandle(handle, info, withStrings);
    case eUSBDeviceType_AudioDriver: return FX2Device::getDeviceInfoForOSHandle(handle, info, withStrings);
    case eUSBDeviceType_HID: return HIDDevice::OSImpl::getHIDDeviceInfo(handle.service, info, false);
    }
    return false;
}

bool USBDeviceFilter::getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info,
                                               bool withStrings) const
{
    return USBDeviceFactory::getDeviceInfoForOSHandleWithFilter(handle, *this, info, withStrings);
}

} // namespace USX2
} // namespace CV
