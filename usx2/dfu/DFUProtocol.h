#pragma once

#include <cstdint>

namespace CV {
namespace USX2 {
namespace DFU {

// The values of USB Device Firmware Upgrade 1.1, shared by the client and the
// simulated keyboard.

// Class requests, by bRequest, and the keyboards' two vendor requests, which
// are sent with the class request type too.
enum eRequest : std::uint8_t {
    DFU_DETACH = 0x00,
    DFU_DNLOAD = 0x01,
    DFU_UPLOAD = 0x02,
    DFU_GETSTATUS = 0x03,
    DFU_CLRSTATUS = 0x04,
    DFU_GETSTATE = 0x05,
    DFU_ABORT = 0x06,
    XMOS_DFU_RESETINTODFU = 0xF2,
    XMOS_DFU_RESETFROMDFU = 0xF3,
};

// bmRequestType of the requests: class, to the interface.
constexpr std::uint8_t kRequestTypeOut = 0x21; // host to device
constexpr std::uint8_t kRequestTypeIn = 0xA1; // device to host

// Device states.
enum eState : std::uint8_t {
    appIDLE = 0,
    appDETACH = 1,
    dfuIDLE = 2,
    dfuDNLOAD_SYNC = 3,
    dfuDNBUSY = 4,
    dfuDNLOAD_IDLE = 5,
    dfuMANIFEST_SYNC = 6,
    dfuMANIFEST = 7,
    dfuMANIFEST_WAIT_RESET = 8,
    dfuUPLOAD_IDLE = 9,
    dfuERROR = 10,
    eStateNone = 10, // the client's own "no state it handles" before it asked
};

// Status codes (bStatus).
enum eStatus : std::uint8_t {
    OK = 0x00,
    errTARGET = 0x01,
    errFILE = 0x02,
    errWRITE = 0x03,
    errERASE = 0x04,
    errCHECK_ERASED = 0x05,
    errPROG = 0x06,
    errVERIFY = 0x07,
    errADDRESS = 0x08,
    errNOTDONE = 0x09,
    errFIRMWARE = 0x0A,
    errVENDOR = 0x0B,
    errUSBR = 0x0C,
    errPOR = 0x0D,
    errUNKNOWN = 0x0E,
    errSTALLEDPKT = 0x0F,
};

// bmAttributes bits of the functional descriptor.
enum eAttribute : std::uint8_t {
    bitCanDnload = 0x01,
    bitCanUpload = 0x02,
    bitManifestationTolerant = 0x04,
    bitWillDetach = 0x08,
};

// The interface and functional descriptors.
constexpr std::uint8_t kInterfaceClass = 0xFE;
constexpr std::uint8_t kInterfaceSubClass = 0x01;
constexpr std::uint8_t kRunTimeProtocol = 1; // application mode
constexpr std::uint8_t kDFUModeProtocol = 2;
constexpr std::uint8_t kFunctionalDescriptorType = 0x21;
constexpr std::uint16_t kVersion = 0x0110; // bcdDFUVersion

// bwPollTimeout is a 24-bit count of milliseconds.
constexpr std::uint32_t kMaxPollTimeout = 0xFFFFFF;

} // namespace DFU
} // namespace USX2
} // namespace CV
