#pragma once

#include "usx2/usb/HIDDevice.h"
#include "usx2/usb/USBDeviceInfo.h"
#include "usx2/usb/linux/HIDRegistry.h"

#include <cstdint>
#include <map>
#include <mutex>

namespace CV {
namespace USX2 {

// The identities of HID devices read so far, by service, and their lock.
extern std::map<std::uint32_t, USBDeviceInfo> s_mapHIDDeviceInfos;
extern std::mutex s_csHIDDeviceInfos;

class HIDDevice::OSImpl {
public:
    // The identity of a HID device: from the cache, else from the registry
    // properties (then cached). A property that is missing or of the wrong
    // type leaves its field of `info` as it was. The bool is not used.
    static bool getHIDDeviceInfo(std::uint32_t service, USBDeviceInfo& info, bool);
    static bool getHIDDeviceInfo(std::uint32_t service, USBDeviceInfo& info, bool, HIDRegistry& registry);

    // Drops the cached identity of a service that has gone.
    static void forgetHIDDeviceInfo(std::uint32_t service);
};

} // namespace USX2
} // namespace CV
