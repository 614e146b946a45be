#pragma once

#include "usx2/usb/USBDeviceFilter.h"
#include "usx2/usb/USBDeviceInfo.h"
#include "usx2/usb/USBDeviceOSHandle.h"

#include <functional>

namespace CV {
namespace USX2 {

// Finds the devices that match a filter and reports each one to the added
// callback with its handle. A scan started with keep false is one-shot: the
// devices present now are reported synchronously, on the calling thread,
// before initWithDeviceFilter returns, and the scan stops again. With keep
// true the scan stays armed until deInit (or the factory goes): matching
// devices that arrive later are reported to the added callback, and reported
// devices that leave to the removed callback, both on the run loop of the
// thread that started the scan (this platform's one run loop, the main
// thread's). Live scans belong on the main thread.
class USBDeviceFactory {
public:
    using Callback = std::function<void(const USBDeviceOSHandle&, const USBDeviceFilter&)>;

    class OSImpl;

    USBDeviceFactory();
    virtual ~USBDeviceFactory();
    USBDeviceFactory(const USBDeviceFactory&) = delete;
    USBDeviceFactory& operator=(const USBDeviceFactory&) = delete;

    void setCallbacks(Callback added, Callback removed);

    // False for a filter without a class name. Stops a running scan first.
    bool initWithDeviceFilter(const USBDeviceFilter& filter, bool keep);
    void deInit();
    bool isInitialised() const { return m_bInitialised; }

    // The identity of a reported device, read in the way the filter's kind
    // asks for: the USB device descriptor (kinds 0 and 3), the maker's audio
    // driver (1) or the HID properties (2).
    static bool getDeviceInfoForOSHandleWithFilter(const USBDeviceOSHandle& handle, const USBDeviceFilter& filter,
                                                   USBDeviceInfo& info, bool withStrings);

    const Callback& addedCallback() const { return m_added; }
    const Callback& removedCallback() const { return m_removed; }

private:
    static OSImpl* createOSImpl(USBDeviceFactory& owner);
    static void destroyOSImpl(OSImpl* impl);

    OSImpl* m_pOSImpl;
    bool m_bInitialised = false;
    Callback m_added;
    Callback m_removed;
};

} // namespace USX2
} // namespace CV
