#pragma once

#include "usx2/usb/USBDeviceFactory.h"
#include "usx2/usb/USBDeviceFilter.h"

#include <cstdint>
#include <map>
#include <vector>

namespace CV {
namespace USX2 {

// The platform part of the device factory on Linux. The services of a class
// are the devices of the process's USB host ("IOUSBDevice"), of the HID
// registry ("IOHIDDevice") or of the maker's audio driver (its class name);
// this platform has no other classes. A scan reports the services present
// when it starts; arrivals and removals after that are not watched.
class USBDeviceFactory::OSImpl {
public:
    explicit OSImpl(USBDeviceFactory& owner);
    ~OSImpl();
    OSImpl(const OSImpl&) = delete;
    OSImpl& operator=(const OSImpl&) = delete;

    bool initWithDeviceFilter(const USBDeviceFilter& filter);
    void deInit();

private:
    std::vector<std::uint32_t> servicesOfClass();
    bool readIds(std::uint32_t service, USBDeviceInfo& ids) const;
    bool idsMatch(std::uint32_t service) const;
    void onDeviceAdded(const std::vector<std::uint32_t>& services);

    USBDeviceFactory& m_owner;
    USBDeviceFilter m_filter;
    bool m_bCheckIds = false;
    std::map<std::uint32_t, bool> m_services;  // seen by this scan: reported or not
    std::map<std::uint32_t, USBDeviceInfo> m_hostIds;  // ids the USB host gave without I/O
};

} // namespace USX2
} // namespace CV
