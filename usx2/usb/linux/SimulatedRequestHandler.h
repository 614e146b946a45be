#pragma once

#include "usx2/usb/linux/USBSetupPacket.h"

#include <cstdint>
#include <optional>

namespace CV {
namespace USX2 {

class SimulatedDevice;

// The answer of a simulated device to one control request.
struct SimulatedReply {
    std::uint32_t status = 0; // USB layer status (USBStatusCodes.h); kPipeStalled for a STALL
    std::uint32_t length = 0; // bytes of the data stage moved (at most wLength)

    static SimulatedReply done(std::uint32_t length = 0) { return {0, length}; }
    static SimulatedReply stall();
};

// The extension point of a simulated device for class and vendor requests
// and for fault injection.
//
// A device asks its handler first for every control request it receives,
// standard ones included. The handler answers by returning a reply (for a
// device-to-host request after writing up to setup.wLength bytes to `data`;
// for host-to-device `data` holds the host's wLength bytes, and a successful
// reply moves all of them whatever its length says), or returns
// nullopt to let the device answer: standard requests as a USB 2.0 device does
// (descriptors, status, configuration, interface, features), anything else
// with a STALL.
//
// A DFU 1.1 keyboard is a handler: in application mode (DFU interface with
// protocol 1) it answers DFU_DETACH (or the vendor request that resets into
// DFU mode) and then calls device.reenumerate(device.spec().inDFUMode(),
// delay), after which the device is gone at once and a new device with a new
// handle appears after the delay, served by the same handler object, so the
// handler keeps its state machine across the re-enumeration; in DFU mode it
// runs the download state machine (DNLOAD, GETSTATUS, GETSTATE, ABORT,
// manifestation) and re-enumerates back into application mode with the new
// bcdDevice. Faults are injected by answering a chosen request with a status,
// a short length or wrong bytes. The bus records every request with its
// answer (SimulatedBus::requestLog), whoever answered it.
//
// Handlers run under the bus's lock (a recursive mutex), on the thread of the
// transfer; they may call back into the device and the bus.
class SimulatedRequestHandler {
public:
    virtual ~SimulatedRequestHandler() = default;

    virtual std::optional<SimulatedReply> handleRequest(SimulatedDevice& device, const USBSetupPacket& setup,
                                                        std::uint8_t* data) = 0;
};

} // namespace USX2
} // namespace CV
