#pragma once

#include "usx2/usb/USBDescriptor.h"
#include "usx2/usb/USBDeviceInfo.h"
#include "usx2/usb/USBDeviceOSHandle.h"

#include <cstdint>

namespace CV {
namespace USX2 {

// An open USB device: connects to a device that a scan reported, reads its
// identity, hands out its configuration descriptor and performs control
// transfers on endpoint 0. Subclasses hook in after each connect through
// postConnect(). Every operation holds the device's recursive mutex (kept by
// the platform part), so postConnect() may call back into the device.
class USBDevice {
public:
    using Status = std::uint32_t;

    // One control transfer.
    struct Request {
        std::uint8_t bmRequestType = 0;
        std::uint8_t bRequest = 0;
        std::uint16_t wValue = 0;
        std::uint16_t wIndex = 0;
        std::uint16_t wLength = 0;
        void* pData = nullptr; // wLength bytes; may be null when wLength is 0
        std::uint32_t wLenDone = 0; // bytes transferred; written only on success
    };

    class OSImpl;

    USBDevice();
    virtual ~USBDevice();
    USBDevice(const USBDevice&) = delete;
    USBDevice& operator=(const USBDevice&) = delete;

    // Opens the device (replacing an open connection), reads its identity
    // with strings and runs postConnect(). Returns the connected flag.
    bool connect(const USBDeviceOSHandle& handle);
    void disconnect();

    // The first configuration descriptor, owned by the platform part and valid
    // while the device stays connected; null with size 0 when there is none.
    const USB::DescriptorHeader* getConfigurationDescriptor(unsigned& size);

    virtual Status controlTransfer(Request& request);
    virtual void postConnect();

    // Whether the device was opened through a host of real hardware (true
    // when it is not connected: nothing tells otherwise).
    bool reachesRealDevice() const;

    bool isConnected() const { return m_bConnected; }
    const USBDeviceOSHandle& getHandle() const { return m_handle; }
    const USBDeviceInfo& getDeviceInfo() const { return m_info; }

    static bool getDeviceInfoForOSHandle(const USBDeviceOSHandle& handle, USBDeviceInfo& info, bool withStrings);
    static const char* statusAsString(Status status);

protected:
    OSImpl* m_pOSImpl;
    bool m_bConnected = false;
    USBDeviceOSHandle m_handle;
    USBDeviceInfo m_info;

private:
    static OSImpl* createOSImpl();
    static void destroyOSImpl(OSImpl* impl);
};

} // namespace USX2
} // namespace CV
