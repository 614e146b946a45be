#pragma once

#include "usx2/usb/USBDeviceFactory.h"
#include "usx2/usb/USBDeviceFilter.h"
#include "usx2/usb/linux/DeviceChangeSignal.h"

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace CV {
namespace USX2 {

// The platform part of the device factory on Linux. The services of a class
// are the devices of the process's USB host ("IOUSBDevice"), of the HID
// registry ("IOHIDDevice") or of the maker's audio driver (its class name);
// this platform has no other classes. A scan reports the services present
// when it starts. A watching scan also listens to its source (USB host, HID
// registry) for changes, hands each change to the run loop (RunLoopHandOver)
// and there lists the services again: those that came are reported as
// added, those that went as removed. Sources that cannot tell of changes
// (the audio driver, a host without hotplug) are not watched.
class USBDeviceFactory::OSImpl {
public:
    explicit OSImpl(USBDeviceFactory& owner);
    ~OSImpl();
    OSImpl(const OSImpl&) = delete;
    OSImpl& operator=(const OSImpl&) = delete;

    bool initWithDeviceFilter(const USBDeviceFilter& filter, bool watch);
    void deInit();

private:
    std::vector<std::uint32_t> servicesOfClass();
    void watchSource();
    bool readIds(std::uint32_t service, USBDeviceInfo& ids) const;
    bool idsMatch(std::uint32_t service) const;
    void onDeviceAdded(const std::vector<std::uint32_t>& services);
    void onDeviceRemoved(const std::vector<std::uint32_t>& services);
    void onServicesChanged();

    USBDeviceFactory& m_owner;
    USBDeviceFilter m_filter;
    bool m_bCheckIds = false;
    std::map<std::uint32_t, bool> m_services; // seen by this scan: reported or not
    std::map<std::uint32_t, USBDeviceInfo> m_hostIds; // ids the USB host gave without I/O
    DeviceChangeSignal::Token m_watch; // connected to the source while watching
    std::shared_ptr<OSImpl*> m_pWatching; // what handed-over changes reach; reset on stop
    std::uint64_t m_scan = 0; // counts starts and stops
};

} // namespace USX2
} // namespace CV
