// Fuzz target: a device whose descriptors are arbitrary bytes, on a simulated
// bus, met the way the updater meets a keyboard: the identity read (with
// strings, and by each filter kind), a one-shot scan, the configuration walk
// of the DFU client's connect, and the DFU road that the descriptors lead to
// (detach and reconnect, or a short download), all in virtual time. Nothing
// may read outside what the device sent, crash or wait for ever.
//
// Input: sections of a 16-bit little-endian length and that many bytes: the
// device descriptor, the configuration descriptor, then string descriptors
// 0 (languages), 1, 2 and 3. A section cut short by the end of the input
// takes what is there.
#include "usx2/dfu/DFUDevice.h"
#include "usx2/usb/USBDevice.h"
#include "usx2/usb/USBDeviceDB.h"
#include "usx2/usb/USBDeviceFactory.h"
#include "usx2/usb/VarantoUSBIds.h"
#include "usx2/usb/linux/SimulatedBus.h"
#include "usx2/usb/linux/SimulatedDFUKeyboard.h"
#include "usx2/util/VirtualSleeper.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

using namespace CV::USX2;

namespace {

class Sections {
public:
    Sections(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }

    bool more() const { return m_at < m_size; }

    std::vector<std::uint8_t> next()
    {
        std::size_t length = 0;
        if (m_at + 2 <= m_size)
            length = m_data[m_at] | m_data[m_at + 1] << 8;
        m_at = m_at + 2 < m_size ? m_at + 2 : m_size;
        if (length > m_size - m_at)
            length = m_size - m_at;
        std::vector<std::uint8_t> bytes(m_data + m_at, m_data + m_at + length);
        m_at += length;
        return bytes;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

void readIdentities(std::uint32_t handle)
{
    USBDeviceInfo info;
    USBDevice::getDeviceInfoForOSHandle(USBDeviceOSHandle{handle}, info, true);
    for (const USBDeviceFilter* filter :
         {&USBDeviceDB::CVUSBDevices, &USBDeviceDB::CVHIDDevices, &USBDeviceDB::VarantoSelaMK2DFU}) {
        USBDeviceFactory::getDeviceInfoForOSHandleWithFilter(USBDeviceOSHandle{handle}, *filter, info, true);
        USBDeviceFactory::getDeviceInfoForOSHandleWithFilter(USBDeviceOSHandle{handle}, *filter, info, false);
    }
}

void scanOnce()
{
    USBDeviceFactory factory;
    factory.setCallbacks(
        [](const USBDeviceOSHandle& handle, const USBDeviceFilter& filter) {
            USBDeviceInfo info;
            USBDeviceFactory::getDeviceInfoForOSHandleWithFilter(handle, filter, info, true);
        },
        nullptr);
    factory.initWithDeviceFilter(USBDeviceDB::USBDevices, false);
    factory.deInit();
}

void followTheDFURoad(std::uint32_t handle, Sleeper& sleeper)
{
    DFUDevice device;
    device.setSleeper(sleeper);
    if (!device.connect(USBDeviceOSHandle{handle}))
        return;
    if (device.getMode() == DFUDevice::eModeApplication) {
        if (device.sendDFUDetach())
            device.reconnectInDFUMode();
    }
    if (device.getMode() == DFUDevice::eModeDFU && device.hasSupportedTransferSize()) {
        static const std::vector<std::uint8_t> image(3000, 0x5A);
        DFU::GetStatus status;
        if (!device.writeImage(image.data(), static_cast<std::uint32_t>(image.size()), status))
            device.sendDFUAbort();
    }
    device.returnToAPPMode();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Sections sections(data, size);
    SimulatedDeviceDescription spec = SimulatedDeviceDescription::keyboard(Ids::kSelaMK2ProductId, "FUZZ", 0x0058);
    spec.rawDeviceDescriptor = sections.next();
    spec.rawConfigurationDescriptor = sections.next();
    for (std::uint8_t index = 0; index < 4 && sections.more(); ++index)
        spec.rawStrings[index] = sections.next();

    auto sleeper = std::make_shared<VirtualSleeper>();
    std::shared_ptr<SimulatedBus> bus = SimulatedBus::create();
    bus->setClock(sleeper);
    USBHost::setCurrent(bus);
    SimulatedDFUKeyboard::Options options;
    options.reenumerationDelay = std::chrono::milliseconds(0);
    // A DFU keyboard answers the DFU requests; the raw descriptors decide
    // what the host makes of it.
    auto keyboard = std::make_shared<SimulatedDFUKeyboard>(spec, options);
    const std::uint32_t handle = bus->addDevice(spec, keyboard);

    readIdentities(handle);
    scanOnce();
    followTheDFURoad(handle, *sleeper);
    USBHost::setCurrent(nullptr);
    return 0;
}
