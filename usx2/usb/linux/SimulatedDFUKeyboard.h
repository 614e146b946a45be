#pragma once

#include "usx2/usb/linux/SimulatedBus.h"
#include "usx2/usb/linux/SimulatedDFUFunction.h"
#include "usx2/usb/linux/SimulatedDeviceDescription.h"
#include "usx2/usb/linux/SimulatedRequestHandler.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace CV {
namespace USX2 {

// A simulated keyboard on a SimulatedBus that updates its firmware through
// DFU 1.1: it hands the DFU class requests and the two vendor requests to a
// SimulatedDFUFunction and re-enumerates on the bus whenever the function
// leaves it (new handle, the other mode's descriptors, the new firmware
// version once the expected image was manifested). In DFU mode it shows its
// loader's own descriptors (Options::dfuMode), with the loader's version.
class SimulatedDFUKeyboard : public SimulatedRequestHandler {
public:
    struct Options {
        SimulatedDFUFunction::Millis busyTime{0};
        unsigned busyAnswers = 0;
        std::uint32_t bwPollTimeout = 0;
        std::uint32_t statusPollTimeout = 0;
        SimulatedDFUFunction::Millis manifestTime{0};
        std::uint32_t manifestPollTimeout = 0;
        SimulatedDFUFunction::Millis reenumerationDelay{1000};
        std::optional<SimulatedDFUFunction::Millis> detachDelay;
        std::optional<SimulatedDFUFunction::Millis> returnDelay;
        std::vector<std::uint8_t> expectedImage;
        std::uint16_t newBcdDevice = 0;
        std::string otherSerialNumber = "OTHER-SERIAL";
        // What the keyboard shows in DFU mode (none: the application-mode
        // description in DFU mode).
        std::optional<SimulatedDeviceDescription> dfuMode;
        bool startsInDFUMode = false;
        SimulatedDFUFunction::Faults faults;
    };

    // `spec` is the keyboard in application mode, or in DFU mode when its
    // DFU interface has protocol 2 (or options.startsInDFUMode is set); the
    // DFU attributes, detach timeout and transfer size of the two modes'
    // descriptions are the function's.
    SimulatedDFUKeyboard(const SimulatedDeviceDescription& spec, Options options);

    // Puts a new keyboard on the bus, arriving after `delay`; returns its handle.
    static std::uint32_t attach(SimulatedBus& bus, const std::shared_ptr<SimulatedDFUKeyboard>& keyboard,
                                SimulatedDFUFunction::Millis delay = SimulatedDFUFunction::Millis(0));

    std::optional<SimulatedReply> handleRequest(SimulatedDevice& device, const USBSetupPacket& setup,
                                                std::uint8_t* data) override;

    SimulatedDFUFunction& function() { return m_function; }
    // The device description the keyboard shows in the given mode right now.
    SimulatedDeviceDescription specFor(bool dfuMode) const;

private:
    bool isForFunction(const SimulatedDevice& device, const USBSetupPacket& setup) const;
    void followDeparture(SimulatedDevice& device);

    SimulatedDeviceDescription m_spec; // application mode, firmware as shipped
    SimulatedDeviceDescription m_dfuSpec; // DFU mode
    Options m_options;
    SimulatedDFUFunction m_function;
};

} // namespace USX2
} // namespace CV
