#pragma once

#include "usx2/usb/linux/SimulatedDeviceDescription.h"
#include "usx2/usb/linux/SimulatedRequestHandler.h"
#include "usx2/usb/linux/USBSetupPacket.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <set>

namespace CV {
namespace USX2 {

class SimulatedBus;

// One appearance of a simulated device on a SimulatedBus, under one handle.
// It answers control requests through its handler and, for what the handler
// leaves, with the standard behaviour of a USB 2.0 device.
class SimulatedDevice {
public:
    SimulatedDevice(SimulatedBus& bus, std::uint32_t handle, SimulatedDeviceDescription spec,
                    std::shared_ptr<SimulatedRequestHandler> handler, std::chrono::steady_clock::time_point arrival);

    std::uint32_t handle() const { return m_handle; }
    const SimulatedDeviceDescription& spec() const { return m_spec; }
    SimulatedBus& bus() { return m_bus; }
    const std::shared_ptr<SimulatedRequestHandler>& handler() const { return m_handler; }

    // Present on the bus: arrived, not yet unplugged and not gone.
    bool isAttached(std::chrono::steady_clock::time_point now) const;
    bool hasLeft() const { return m_bLeft; }
    std::chrono::steady_clock::time_point arrival() const { return m_arrival; }
    void leave() { m_bLeft = true; }
    // When it is unplugged (never, by default).
    std::chrono::steady_clock::time_point departure() const { return m_departure; }
    void setDeparture(std::chrono::steady_clock::time_point departure) { m_departure = departure; }

    // Leaves the bus now and comes back after `delay` as a new device (new
    // handle) presenting `spec`, served by `handler` (null: this device's
    // handler). Returns the new handle.
    std::uint32_t reenumerate(SimulatedDeviceDescription spec, std::chrono::milliseconds delay,
                              std::shared_ptr<SimulatedRequestHandler> handler = nullptr);

    // The device's answer to one request: the handler's, else the standard one.
    SimulatedReply answer(const USBSetupPacket& setup, std::uint8_t* data);
    // The standard answer alone (also for handlers that wrap it).
    SimulatedReply answerStandardRequest(const USBSetupPacket& setup, std::uint8_t* data);

    bool hasInterface(std::uint8_t interfaceNumber) const;
    std::uint8_t configurationValue() const { return m_configuration; }

private:
    SimulatedReply answerGetDescriptor(const USBSetupPacket& setup, std::uint8_t* data) const;
    SimulatedReply answerGetStatus(const USBSetupPacket& setup, std::uint8_t* data) const;
    SimulatedReply answerSetConfiguration(const USBSetupPacket& setup);
    SimulatedReply answerInterfaceRequest(const USBSetupPacket& setup, std::uint8_t* data);
    SimulatedReply answerFeature(const USBSetupPacket& setup) const;

    SimulatedBus& m_bus;
    std::uint32_t m_handle;
    SimulatedDeviceDescription m_spec;
    std::shared_ptr<SimulatedRequestHandler> m_handler;
    std::chrono::steady_clock::time_point m_arrival;
    std::chrono::steady_clock::time_point m_departure = std::chrono::steady_clock::time_point::max();
    bool m_bLeft = false;
    std::uint8_t m_configuration = 1; // the host configured it on arrival
};

} // namespace USX2
} // namespace CV
