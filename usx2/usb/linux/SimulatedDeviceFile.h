#pragma once

#include "usx2/usb/linux/SimulatedDFUKeyboard.h"
#include "usx2/usb/linux/SimulatedDeviceDescription.h"

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace CV {
namespace USX2 {

// Reads descriptions of simulated devices from a small text file:
//
//   # a Sela keyboard in application mode
//   [device]
//   model = sela
//   serial = SIM-0001
//   bcdDevice = 0x0102
//
// Each [device] starts a device. Keys (case-insensitive):
//   model             rova, sela or tumo: the maker's vendor id, the model's
//                     base product id, texts and two HID interfaces
//   mode              application (default) or dfu: product id base + 2 and
//                     only the DFU interface, with protocol 2
//   serial, manufacturer, product    the device's strings
//   vendorId, productId              override the model's ids
//   bcdDevice, maxPacketSize0, hidInterfaces, dfu (yes or no), dfuProtocol,
//   dfuAttributes, dfuDetachTimeout, dfuTransferSize
//   updatedBcdDevice                 the version after a firmware download
//   arrivesAfter                     the device shows up this long after the
//                                    bus was made
//   leavesAfter                      the device is unplugged this long after
//                                    the bus was made (in whichever mode)
// A device with a DFU interface is a DFU keyboard (SimulatedDFUKeyboard) that
// takes any image. Its DFU mode and timings:
//   dfuMode.bcdDevice, dfuMode.manufacturer, dfuMode.product,
//   dfuMode.dfuAttributes, dfuMode.dfuDetachTimeout, dfuMode.dfuTransferSize
//                     what its loader shows in DFU mode (default: as in
//                     application mode)
//   detachDelay, returnDelay         time off the bus switching into DFU mode
//                                    and back (default 1 s each)
//   busyTime, busyAnswers, busyPollTimeout    each block keeps it busy this
//                     long and for this many status replies, announcing this
//                     bwPollTimeout (ms)
//   pollTimeout       bwPollTimeout (ms) in every other status reply
//   manifestTime      how long manifestation takes
// and its faults (blocks by block number from 0, mode switches from 1):
//   stallAtBlock, errorAtBlock (with errorStatus, default 3 errWRITE),
//   busyForeverAtBlock, shortStatusAtBlock, stateAtBlock (with
//   stateAfterBlock, default 2 dfuIDLE)
//   shortStatus       manifestation or always: 5-byte status replies
//   stallFinalDownload = yes, manifestationError = <bStatus>,
//   manifestForever = yes, firstGetState = <bState>, getStateFails = yes
//   noReturnAtSwitch, otherSerialAtSwitch (with otherSerial)
//   detach, returnRequest            ignored or failsButSwitches: the request
//                     into DFU mode or back to application mode
// Numbers are decimal or 0x-hexadecimal; durations are milliseconds, or
// seconds with "s" ("3s"); "#" starts a comment. Errors name the line and
// the key.
class SimulatedDeviceFile {
public:
    // A file is read only when it is a regular file of at most kMaxFileBytes
    // and describes at most kMaxDevices devices; errors say why in one line.
    static constexpr std::size_t kMaxFileBytes = 1024 * 1024;
    static constexpr std::size_t kMaxDevices = 64;

    // One device of the file.
    struct Entry {
        SimulatedDeviceDescription spec; // as it shows first
        SimulatedDeviceDescription applicationMode; // a keyboard's, also when it starts in DFU mode
        SimulatedDFUKeyboard::Options keyboard; // for a device with a DFU interface
        std::chrono::milliseconds arrivesAfter{0};
        std::optional<std::chrono::milliseconds> leavesAfter; // none: stays
    };

    static bool parse(const std::string& text, std::vector<Entry>& devices, std::string& error);
    static bool read(const std::string& path, std::vector<Entry>& devices, std::string& error);
    // The descriptions alone.
    static bool parse(const std::string& text, std::vector<SimulatedDeviceDescription>& devices, std::string& error);
    static bool read(const std::string& path, std::vector<SimulatedDeviceDescription>& devices, std::string& error);
};

} // namespace USX2
} // namespace CV
