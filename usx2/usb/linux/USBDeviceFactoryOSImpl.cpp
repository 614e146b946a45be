#include "usx2/usb/linux/USBDeviceFactoryOSImpl.h"

#include "usx2/usb/FX2Device.h"
#include "usx2/usb/linux/AudioDriverService.h"
#include "usx2/usb/linux/HIDDeviceOSImpl.h"
#include "usx2/usb/linux/HIDRegistry.h"
#include "usx2/usb/linux/USBHost.h"

namespace CV {
namespace USX2 {

namespace {

constexpr const char* kUSBClass = "IOUSBDevice";
constexpr const char* kHIDClass = "IOHIDDevice";

} // namespace

USBDeviceFactory::OSImpl::OSImpl(USBDeviceFactory& owner)
    : m_owner(owner)
{
}

USBDeviceFactory::OSImpl::~OSImpl()
{
    deInit();
}

bool USBDeviceFactory::OSImpl::initWithDeviceFilter(const USBDeviceFilter& filter)
{
    if (filter.className.empty())
        return false;
    deInit();
    m_filter = filter;
    m_bCheckIds = filter.vendorId != 0 || filter.productId != 0;
    if (filter.className == kHIDClass)
        m_filter.type = eUSBDeviceType_HID;
    else if (filter.className == FX2Device::kDriverClassName)
        m_filter.type = eUSBDeviceType_AudioDriver;
    else if (filter.className != kUSBClass)
        m_bCheckIds = false;
    onDeviceAdded(servicesOfClass());
    return true;
}

void USBDeviceFactory::OSImpl::deInit()
{
    m_services.clear();
    m_hostIds.clear();
}

std::vector<std::uint32_t> USBDeviceFactory::OSImpl::servicesOfClass()
{
    if (m_filter.className == kHIDClass)
        return HIDRegistry::system().services();
    if (m_filter.className == FX2Device::kDriverClassName)
        return AudioDriverService::system().services();
    if (m_filter.className != kUSBClass)
        return {};
    std::vector<std::uint32_t> services;
    for (const USBHost::DeviceEntry& entry : USBHost::current()->enumerate()) {
        services.push_back(entry.handle);
        USBDeviceInfo& ids = m_hostIds[entry.handle];
        ids.vendorId = entry.ids.vendorId;
        ids.productId = entry.ids.productId;
        ids.bcdDevice = entry.ids.bcdDevice;
    }
    return services;
}

// The ids of a service by the filter's kind, without texts. USB devices take
// the ids that the host read from their device descriptors while listing
// them, so that a scan opens no device.
bool USBDeviceFactory::OSImpl::readIds(std::uint32_t service, USBDeviceInfo& ids) const
{
    switch (m_filter.type) {
    case eUSBDeviceType_USB:
    case eUSBDeviceType_DFU: {
        const auto found = m_hostIds.find(service);
        if (found == m_hostIds.end())
            return false;
        ids = found->second;
        return true;
    }
    case eUSBDeviceType_AudioDriver:
        return FX2Device::getDeviceInfoForOSHandle(USBDeviceOSHandle{service}, ids, false);
    case eUSBDeviceType_HID:
        return HIDDevice::OSImpl::getHIDDeviceInfo(service, ids, false);
    }
    return false;
}

bool USBDeviceFactory::OSImpl::idsMatch(std::uint32_t service) const
{
    USBDeviceInfo ids;
    if (!readIds(service, ids))
        return false;
    return (m_filter.vendorId == 0 || m_filter.vendorId == ids.vendorId)
        && (m_filter.productId == 0 || m_filter.productId == ids.productId);
}

void USBDeviceFactory::OSImpl::onDeviceAdded(const std::vector<std::uint32_t>& services)
{
    for (const std::uint32_t service : services) {
        m_services[service] = false;
        if (m_bCheckIds && !idsMatch(service))
            continue;
        m_services[service] = true;
        if (m_owner.addedCallback())
            m_owner.addedCallback()(USBDeviceOSHandle{service}, m_filter);
    }
}

} // namespace USX2
} // namespace CV
