#include "usx2/usb/linux/SimulatedDFUKeyboard.h"

#include "usx2/usb/linux/SimulatedDevice.h"

#include <chrono>

namespace CV {
namespace USX2 {

namespace {

SimulatedDFUFunction::Config functionConfig(const SimulatedDeviceDescription& spec,
                                            const SimulatedDFUKeyboard::Options& options)
{
    SimulatedDFUFunction::Config config;
    config.bmAttributes = spec.dfuAttributes;
    config.wDetachTimeOut = spec.dfuDetachTimeout;
    config.wTransferSize = spec.dfuTransferSize;
    config.busyTime = options.busyTime;
    config.bwPollTimeout = options.bwPollTimeout;
    config.manifestTime = options.manifestTime;
    config.reenumerationDelay = options.reenumerationDelay;
    config.expectedImage = options.expectedImage;
    config.startsInDFUMode = spec.dfuProtocol == 2;
    return config;
}

SimulatedDFUFunction::Millis busTime(const SimulatedBus& bus)
{
    return std::chrono::duration_cast<SimulatedDFUFunction::Millis>(bus.now().time_since_epoch());
}

} // namespace

SimulatedDFUKeyboard::SimulatedDFUKeyboard(const SimulatedDeviceDescription& spec, Options options)
    : m_spec(spec.inApplicationMode())
    , m_options(std::move(options))
    , m_function(functionConfig(spec, m_options), m_options.faults)
{
}

std::uint32_t SimulatedDFUKeyboard::attach(SimulatedBus& bus, const std::shared_ptr<SimulatedDFUKeyboard>& keyboard)
{
    const bool dfuMode = keyboard->function().presence(busTime(bus)).dfuMode;
    return bus.addDevice(keyboard->specFor(dfuMode), keyboard);
}

SimulatedDeviceDescription SimulatedDFUKeyboard::specFor(bool dfuMode) const
{
    SimulatedDeviceDescription spec = dfuMode ? m_spec.inDFUMode() : m_spec;
    if (!dfuMode && m_function.reportsNewFirmware())
        spec.bcdDevice = m_options.newBcdDevice;
    if (m_function.reportsOtherSerial())
        spec.serialNumber = m_options.otherSerialNumber;
    return spec;
}

bool SimulatedDFUKeyboard::isForFunction(const SimulatedDevice& device, const USBSetupPacket& setup) const
{
    if (setup.recipient() != USBSetupPacket::kRecipientInterface)
        return false;
    if (setup.type() != USBSetupPacket::kTypeClass && setup.type() != USBSetupPacket::kTypeVendor)
        return false;
    return (setup.wIndex & 0xFF) == device.spec().dfuInterfaceNumber();
}

std::optional<SimulatedReply> SimulatedDFUKeyboard::handleRequest(SimulatedDevice& device,
                                                                  const USBSetupPacket& setup, std::uint8_t* data)
{
    if (!isForFunction(device, setup))
        return std::nullopt;
    const SimulatedDFUFunction::Reply reply = m_function.handleRequest(
        setup.bmRequestType, setup.bRequest, setup.wValue, setup.wLength, data, busTime(device.bus()));
    followDeparture(device);
    if (reply.stalled)
        return SimulatedReply::stall();
    return SimulatedReply::done(reply.length);
}

void SimulatedDFUKeyboard::followDeparture(SimulatedDevice& device)
{
    const auto departure = m_function.takeDeparture();
    if (!departure)
        return;
    if (!departure->comesBackAfter) {
        device.bus().removeDevice(device.handle());
        return;
    }
    SimulatedDeviceDescription spec = specFor(departure->intoDFUMode);
    if (m_options.faults.otherSerialAfterReenumeration)
        spec.serialNumber = m_options.otherSerialNumber;
    device.reenumerate(spec, *departure->comesBackAfter);
}

} // namespace USX2
} // namespace CV
