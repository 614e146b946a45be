#include "usx2/usb/linux/USBDeviceFactoryOSImpl.h"

#include "usx2/usb/FX2Device.h"
#include "usx2/usb/linux/AudioDriverService.h"
#include "usx2/usb/linux/HIDDeviceOSImpl.h"
#include "usx2/usb/linux/HIDRegistry.h"
#include "usx2/usb/linux/RunLoopHandOver.h"
#include "usx2/usb/linux/USBHost.h"

#include <algorithm>

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

bool USBDeviceFactory::OSImpl::initWithDeviceFilter(const USBDeviceFilter& filter, bool watch)
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
    // Listening first: a device that comes while the present ones are
    // listed is reported once, by the change that follows.
    if (watch)
        watchSource();
    onDeviceAdded(servicesOfClass());
    return true;
}

void USBDeviceFactory::OSImpl::deInit()
{
    ++m_scan;
    m_watch.reset();
    m_pWatching.reset();
    m_services.clear();
    m_hostIds.clear();
}

void USBDeviceFactory::OSImpl::watchSource()
{
    m_pWatching = std::make_shared<OSImpl*>(this);
    std::weak_ptr<OSImpl*> watching = m_pWatching;
    // Called on whatever thread the source learns of a change on.
    DeviceChangeSignal::Listener changed = [watching] {
        RunLoopHandOver::post([watching] {
            if (std::shared_ptr<OSImpl*> impl = watching.lock())
                (*impl)->onServicesChanged();
        });
    };
    if (m_filter.className == kHIDClass)
        m_watch = HIDRegistry::system().watchChanges(std::move(changed));
    else if (m_filter.className == kUSBClass)
        m_watch = USBHost::current()->watchChanges(std::move(changed));
}

// On the run loop: the services that went since the last listing are
// removed, those that came are added.
void USBDeviceFactory::OSImpl::onServicesChanged()
{
    const std::uint64_t scan = m_scan;
    std::vector<std::uint32_t> present = servicesOfClass();
    std::sort(present.begin(), present.end());
    std::vector<std::uint32_t> gone;
    for (const auto& entry : m_services) {
        if (!std::binary_search(present.begin(), present.end(), entry.first))
            gone.push_back(entry.first);
    }
    std::vector<std::uint32_t> came;
    for (const std::uint32_t service : present) {
        if (m_services.count(service) == 0)
            came.push_back(service);
    }
    for (const std::uint32_t service : gone)
        m_hostIds.erase(service);
    onDeviceRemoved(gone);
    if (scan == m_scan)
        onDeviceAdded(came);
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
    case eUSBDeviceType_AudioDriver: return FX2Device::getDeviceInfoForOSHandle(USBDeviceOSHandle{service}, ids, false);
    case eUSBDeviceType_HID: return HIDDevice::OSImpl::getHIDDeviceInfo(service, ids, false);
    }
    return false;
}

bool USBDeviceFactory::OSImpl::idsMatch(std::uint32_t service) const
{
    USBDeviceInfo ids;
    if (!readIds(service, ids))
        return false;
    return (m_filter.vendorId == 0 || m_filter.vendorId == ids.vendorId) &&
        (m_filter.productId == 0 || m_filter.productId == ids.productId);
}

// A callback may stop or restart the scan: the walk ends when it does.
void USBDeviceFactory::OSImpl::onDeviceAdded(const std::vector<std::uint32_t>& services)
{
    const std::uint64_t scan = m_scan;
    for (const std::uint32_t service : services) {
        m_services[service] = false;
        if (m_bCheckIds && !idsMatch(service))
            continue;
        m_services[service] = true;
        if (m_owner.addedCallback())
            m_owner.addedCallback()(USBDeviceOSHandle{service}, m_filter);
        if (scan != m_scan)
            return;
    }
}

// Only services this scan reported are reported removed. A HID service that
// went leaves the HID cache (USB host handles are numbers of another kind),
// so that a device coming back under the same service is read afresh.
void USBDeviceFactory::OSImpl::onDeviceRemoved(const std::vector<std::uint32_t>& services)
{
    const std::uint64_t scan = m_scan;
    for (const std::uint32_t service : services) {
        const auto found = m_services.find(service);
        if (found != m_services.end()) {
            const bool reported = found->second;
            m_services.erase(found);
            if (reported && m_owner.removedCallback()) {
                const USBDeviceFilter filter = m_filter;
                m_owner.removedCallback()(USBDeviceOSHandle{service}, filter);
            }
        }
        if (m_filter.type == eUSBDeviceType_HID)
            HIDDevice::OSImpl::forgetHIDDeviceInfo(service);
        if (scan != m_scan)
            return;
    }
}

} // namespace USX2
} // namespace CV
