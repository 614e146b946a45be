#pragma once

#include "usx2/usb/linux/SimulatedBus.h"
#include "usx2/usb/linux/SimulatedDFUFunction.h"
#include "usx2/usb/linux/SimulatedDeviceDescription.h"
#include "usx2/usb/linux/SimulatedRequestHandler.h"

#include <cstdint>
#include <memory>
#include <string>

namespace CV {
namespace USX2 {

// A simulated keyboard on a SimulatedBus that updates its firmware through
// DFU 1.1: it hands the DFU class requests and the two vendor requests to a
// SimulatedDFUFunction and re-enumerates on the bus whenever the function
// leaves it (new handle, the other mode's descriptors, the new firmware
// version once the expected image was manifested).
class SimulatedDFUKeyboard : public SimulatedRequestHandler {
public:
    struct Options {
        SimulatedDFUFunction::Millis busyTime{0};
        std::uint32_t bwPollTimeout = 0;
        SimulatedDFUFunction::Millis manifestTime{0};
        SimulatedDFUFunction::Millis reenumerationDelay{1000};
        std::vector<std::uint8_t> expectedImage;
        std::uint16_t newBcdDevice = 0;
        std::string otherSerialNumber = "OTHER-SERIAL";
        SimulatedDFUFunction::Faults faults;
    };

    // `spec` is the keyboard in application mode, or in DFU mode when its
    // DFU interface has protocol 2; its DFU attributes, detach timeout and
    // transfer size are the function's.
    SimulatedDFUKeyboard(const SimulatedDeviceDescription& spec, Options options);

    // Puts a new keyboard on the bus; returns its handle.
    static std::uint32_t attach(SimulatedBus& bus, const std::shared_ptr<SimulatedDFUKeyboard>& keyboard);

    std::optional<SimulatedReply> handleRequest(SimulatedDevice& device, const USBSetupPacket& setup,
                                                std::uint8_t* data) override;

    SimulatedDFUFunction& function() { return m_function; }
    // The device description the keyboard shows in the given mode right now.
    SimulatedDeviceDescription specFor(bool dfuMode) const;

private:
    bool isForFunction(const SimulatedDevice& device, const USBSetupPacket& setup) const;
    void followDeparture(SimulatedDevice& device);

    SimulatedDeviceDescription m_spec;  // application mode, firmware as shipped
    Options m_options;
    SimulatedDFUFunction m_function;
};

} // namespace USX2
} // namespace CV
