#pragma once

#include "usx2/usb/USBDevice.h"
#include "usx2/usb/linux/USBHost.h"
#include "usx2/usb/linux/USBHostDevice.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace CV {
namespace USX2 {

// The platform part of USBDevice on Linux: an open device of the process's
// USBHost, the configuration descriptor read from it, and the lock that
// guards the device. Class requests to an interface claim that interface
// first; claimed interfaces are released before the device is closed.
class USBDevice::OSImpl {
public:
    OSImpl() = default;
    virtual ~OSImpl();
    OSImpl(const OSImpl&) = delete;
    OSImpl& operator=(const OSImpl&) = delete;

    virtual bool connect(std::uint32_t service);
    virtual void disconnect();
    virtual bool getDeviceInfo(USBDeviceInfo& info) const;
    virtual bool getDriverVersion(std::string& version) const;
    virtual bool getDriverVersion(std::uint32_t& version) const;

    bool hasInterface() const { return m_pInterface != nullptr; }
    // Asks the host the open device came through (true when none is open).
    bool reachesRealDevice() const;
    // The first configuration descriptor, read once per connection; null when
    // it cannot be read.
    const std::vector<std::uint8_t>* getConfigurationDescriptor();
    USBDevice::Status deviceRequest(USBDevice::Request& request);

    std::recursive_mutex& mutex() const { return m_mutex; }

    // An open device of the current host for a handle (null: none).
    static std::unique_ptr<USBHostDevice> getUSBDeviceInterfaceFor(std::uint32_t service);
    static std::unique_ptr<USBHostDevice> getUSBDeviceInterfaceFor(USBHost& host, std::uint32_t service);
    static bool getDeviceInfo(USBHostDevice* interface, USBDeviceInfo& info, bool withStrings);
    static bool getDescriptorString(USBHostDevice* interface, std::uint8_t index, std::u16string& out);

private:
    void releaseInterface();
    USBDevice::Status claimForRequest(const USBSetupPacket& setup);

    std::uint32_t m_service = 0;
    std::unique_ptr<USBHostDevice> m_pInterface;
    std::shared_ptr<USBHost> m_pHost; // the host m_pInterface was opened through
    std::vector<std::uint8_t> m_configurationDescriptor;
    bool m_bConfigurationRead = false;
    std::vector<std::uint8_t> m_claimedInterfaces;
    mutable std::recursive_mutex m_mutex;
};

} // namespace USX2
} // namespace CV
