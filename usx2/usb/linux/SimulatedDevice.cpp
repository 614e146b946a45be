#include "usx2/usb/linux/SimulatedDevice.h"

#include "usx2/usb/USBStatusCodes.h"
#include "usx2/usb/linux/SimulatedBus.h"

#include <algorithm>
#include <cstring>

namespace CV {
namespace USX2 {

namespace {
enum StandardRequest : std::uint8_t {
    kGetStatus = 0,
    kClearFeature = 1,
    kSetFeature = 3,
    kSetAddress = 5,
    kGetDescriptor = 6,
    kSetDescriptor = 7,
    kGetConfiguration = 8,
    kSetConfiguration = 9,
    kGetInterface = 10,
    kSetInterface = 11,
    kSynchFrame = 12,
};

constexpr std::uint16_t kFeatureEndpointHalt = 0;
constexpr std::uint16_t kFeatureRemoteWakeup = 1;

// Sends up to wLength bytes of `reply` in the data stage.
SimulatedReply sendData(const USBSetupPacket& setup, std::uint8_t* data, const std::vector<std::uint8_t>& reply)
{
    const std::size_t length = std::min<std::size_t>(setup.wLength, reply.size());
    if (length != 0)
        std::memcpy(data, reply.data(), length);
    return SimulatedReply::done(static_cast<std::uint32_t>(length));
}
} // namespace

SimulatedReply SimulatedReply::stall()
{
    return {USBStatus::kPipeStalled, 0};
}

SimulatedDevice::SimulatedDevice(SimulatedBus& bus, std::uint32_t handle, SimulatedDeviceDescription spec,
                                 std::shared_ptr<SimulatedRequestHandler> handler,
                                 std::chrono::steady_clock::time_point arrival)
    : m_bus(bus)
    , m_handle(handle)
    , m_spec(std::move(spec))
    , m_handler(std::move(handler))
    , m_arrival(arrival)
{
}

bool SimulatedDevice::isAttached(std::chrono::steady_clock::time_point now) const
{
    return !m_bLeft && now >= m_arrival && now < m_departure;
}

std::uint32_t SimulatedDevice::reenumerate(SimulatedDeviceDescription spec, std::chrono::milliseconds delay,
                                           std::shared_ptr<SimulatedRequestHandler> handler)
{
    return m_bus.reenumerate(m_handle, std::move(spec), delay, handler ? std::move(handler) : m_handler);
}

SimulatedReply SimulatedDevice::answer(const USBSetupPacket& setup, std::uint8_t* data)
{
    if (m_handler) {
        // Keep the handler alive even if it replaces itself while answering.
        std::shared_ptr<SimulatedRequestHandler> handler = m_handler;
        if (std::optional<SimulatedReply> reply = handler->handleRequest(*this, setup, data))
            return *reply;
    }
    if (setup.type() != USBSetupPacket::kTypeStandard)
        return SimulatedReply::stall();
    return answerStandardRequest(setup, data);
}

SimulatedReply SimulatedDevice::answerStandardRequest(const USBSetupPacket& setup, std::uint8_t* data)
{
    if (setup.type() != USBSetupPacket::kTypeStandard)
        return SimulatedReply::stall();
    switch (setup.bRequest) {
    case kGetDescriptor: return setup.isDeviceToHost() ? answerGetDescriptor(setup, data) : SimulatedReply::stall();
    case kGetStatus: return setup.isDeviceToHost() ? answerGetStatus(setup, data) : SimulatedReply::stall();
    case kGetConfiguration:
        if (!setup.isDeviceToHost() || setup.recipient() != USBSetupPacket::kRecipientDevice)
            return SimulatedReply::stall();
        return sendData(setup, data, {m_configuration});
    case kSetConfiguration: return answerSetConfiguration(setup);
    case kGetInterface:
    case kSetInterface: return answerInterfaceRequest(setup, data);
    case kClearFeature:
    case kSetFeature: return answerFeature(setup);
    case kSetAddress: // the host stack owns the address
    case kSetDescriptor: // descriptors are read-only
    case kSynchFrame: // no isochronous endpoints
    default: return SimulatedReply::stall();
    }
}

bool SimulatedDevice::hasInterface(std::uint8_t interfaceNumber) const
{
    const std::vector<std::uint8_t> numbers = m_spec.interfaceNumbers();
    return std::find(numbers.begin(), numbers.end(), interfaceNumber) != numbers.end();
}

SimulatedReply SimulatedDevice::answerGetDescriptor(const USBSetupPacket& setup, std::uint8_t* data) const
{
    if (setup.recipient() != USBSetupPacket::kRecipientDevice)
        return SimulatedReply::stall(); // class descriptors of interfaces (HID report) are not simulated
    const std::uint8_t type = static_cast<std::uint8_t>(setup.wValue >> 8);
    const std::uint8_t index = static_cast<std::uint8_t>(setup.wValue & 0xFF);
    switch (type) {
    case 1: return sendData(setup, data, m_spec.deviceDescriptor());
    case 2:
        if (index != 0)
            return SimulatedReply::stall(); // one configuration
        return sendData(setup, data, m_spec.configurationDescriptor());
    case 3: {
        // Like many devices, the keyboard answers whatever language id is asked.
        std::optional<std::vector<std::uint8_t>> text = m_spec.stringDescriptor(index);
        return text ? sendData(setup, data, *text) : SimulatedReply::stall();
    }
    default: return SimulatedReply::stall(); // no device qualifier: a full-speed device
    }
}

SimulatedReply SimulatedDevice::answerGetStatus(const USBSetupPacket& setup, std::uint8_t* data) const
{
    if (setup.wValue != 0 || setup.wLength != 2)
        return SimulatedReply::stall();
    switch (setup.recipient()) {
    case USBSetupPacket::kRecipientDevice: return sendData(setup, data, {0, 0}); // bus-powered, no remote wake-up armed
    case USBSetupPacket::kRecipientInterface:
        return hasInterface(static_cast<std::uint8_t>(setup.wIndex)) ? sendData(setup, data, {0, 0})
                                                                     : SimulatedReply::stall();
    case USBSetupPacket::kRecipientEndpoint:
        return (setup.wIndex & 0x7F) == 0 ? sendData(setup, data, {0, 0}) : SimulatedReply::stall();
    default: return SimulatedReply::stall();
    }
}

SimulatedReply SimulatedDevice::answerSetConfiguration(const USBSetupPacket& setup)
{
    if (setup.isDeviceToHost() || setup.recipient() != USBSetupPacket::kRecipientDevice || setup.wLength != 0)
        return SimulatedReply::stall();
    if (setup.wValue > 1)
        return SimulatedReply::stall(); // one configuration, value 1
    m_configuration = static_cast<std::uint8_t>(setup.wValue);
    return SimulatedReply::done();
}

SimulatedReply SimulatedDevice::answerInterfaceRequest(const USBSetupPacket& setup, std::uint8_t* data)
{
    if (setup.recipient() != USBSetupPacket::kRecipientInterface || m_configuration == 0 ||
        !hasInterface(static_cast<std::uint8_t>(setup.wIndex)))
        return SimulatedReply::stall();
    if (setup.bRequest == kGetInterface)
        return setup.isDeviceToHost() ? sendData(setup, data, {0}) : SimulatedReply::stall();
    // SET_INTERFACE: only alternate setting 0 exists.
    if (setup.isDeviceToHost() || setup.wValue != 0 || setup.wLength != 0)
        return SimulatedReply::stall();
    return SimulatedReply::done();
}

SimulatedReply SimulatedDevice::answerFeature(const USBSetupPacket& setup) const
{
    if (setup.isDeviceToHost() || setup.wLength != 0)
        return SimulatedReply::stall();
    if (setup.recipient() == USBSetupPacket::kRecipientDevice && setup.wValue == kFeatureRemoteWakeup)
        return SimulatedReply::done();
    if (setup.recipient() == USBSetupPacket::kRecipientEndpoint && setup.wValue == kFeatureEndpointHalt &&
        (setup.wIndex & 0x7F) == 0)
        return SimulatedReply::done();
    return SimulatedReply::stall();
}

} // namespace USX2
} // namespace CV
