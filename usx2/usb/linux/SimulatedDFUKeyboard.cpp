#include "usx2/usb/linux/SimulatedDFUKeyboard.h"

#include "usx2/usb/USBStatusCodes.h"
#include "usx2/usb/linux/SimulatedDevice.h"

#include <chrono>

namespace CV {
namespace USX2 {

namespace {

SimulatedDFUFunction::Config functionConfig(const SimulatedDeviceDescription& spec,
                                            const SimulatedDeviceDescription& dfuSpec,
                                            const SimulatedDFUKeyboard::Options& options)
{
    SimulatedDFUFunction::Config config;
    config.bmAttributes = spec.dfuAttributes;
    config.dfuModeAttributes = dfuSpec.dfuAttributes;
    config.wDetachTimeOut = dfuSpec.dfuDetachTimeout;
    config.wTransferSize = dfuSpec.dfuTransferSize;
    config.busyTime = options.busyTime;
    config.busyAnswers = options.busyAnswers;
    config.bwPollTimeout = options.bwPollTimeout;
    config.statusPollTimeout = options.statusPollTimeout;
    config.manifestTime = options.manifestTime;
    config.manifestPollTimeout = options.manifestPollTimeout;
    config.reenumerationDelay = options.reenumerationDelay;
    config.detachDelay = options.detachDelay;
    config.returnDelay = options.returnDelay;
    config.expectedImage = options.expectedImage;
    config.startsInDFUMode = spec.dfuProtocol == DFU::kDFUModeProtocol || options.startsInDFUMode;
    return config;
}

SimulatedDeviceDescription dfuModeSpec(const SimulatedDeviceDescription& spec,
                                       const SimulatedDFUKeyboard::Options& options)
{
    if (options.dfuMode)
        return *options.dfuMode;
    return spec.dfuProtocol == DFU::kDFUModeProtocol ? spec : spec.inApplicationMode().inDFUMode();
}

SimulatedDFUFunction::Millis busTime(const SimulatedBus& bus)
{
    return std::chrono::duration_cast<SimulatedDFUFunction::Millis>(bus.now().time_since_epoch());
}

} // namespace

SimulatedDFUKeyboard::SimulatedDFUKeyboard(const SimulatedDeviceDescription& spec, Options options)
    : m_spec(spec.inApplicationMode())
    , m_dfuSpec(dfuModeSpec(spec, options))
    , m_options(std::move(options))
    , m_function(functionConfig(spec, m_dfuSpec, m_options), m_options.faults)
{
}

std::uint32_t SimulatedDFUKeyboard::attach(SimulatedBus& bus, const std::shared_ptr<SimulatedDFUKeyboard>& keyboard,
                                           SimulatedDFUFunction::Millis delay)
{
    const bool dfuMode = keyboard->function().presence(busTime(bus)).dfuMode;
    return bus.addDevice(keyboard->specFor(dfuMode), keyboard, delay);
}

SimulatedDeviceDescription SimulatedDFUKeyboard::specFor(bool dfuMode) const
{
    SimulatedDeviceDescription spec = dfuMode ? m_dfuSpec : m_spec;
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

std::optional<SimulatedReply> SimulatedDFUKeyboard::handleRequest(SimulatedDevice& device, const USBSetupPacket& setup,
                                                                  std::uint8_t* data)
{
    if (!isForFunction(device, setup))
        return std::nullopt;
    const SimulatedDFUFunction::Reply reply = m_function.handleRequest(
        setup.bmRequestType, setup.bRequest, setup.wValue, setup.wLength, data, busTime(device.bus()));
    followDeparture(device);
    if (reply.stalled)
        return SimulatedReply::stall();
    if (reply.lost)
        return SimulatedReply{USBStatus::kNoDevice, 0};
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
    device.reenumerate(specFor(departure->intoDFUMode), *departure->comesBackAfter);
}

} // namespace USX2
} // namespace CV
