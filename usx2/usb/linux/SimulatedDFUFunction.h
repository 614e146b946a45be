#pragma once

#include "usx2/dfu/DFUProtocol.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace CV {
namespace USX2 {

// The firmware-upgrade side of a simulated keyboard: a DFU 1.1 device with
// the keyboard's two vendor requests for entering and leaving DFU mode.
//
// In application mode the keyboard shows a DFU run-time interface; DFU_DETACH
// (when the keyboard detaches by itself) or the vendor request 0xF2 makes it
// drop off the bus and come back in DFU mode after a delay. In DFU mode it
// takes DNLOAD blocks, answers GETSTATUS with the DFU states and bwPollTimeout,
// manifests the image, and DFU_DETACH or the vendor request 0xF3 sends it back
// to application mode. A keyboard that is not manifestation-tolerant leaves
// the bus when manifestation starts and comes back by itself in application
// mode once it ends. The firmware version it reports in
// application mode becomes the new one when the bytes it received equal the
// expected image (any image, when no image is expected).
//
// It can be told to show the faults of real keyboards (Faults).
//
// The class knows nothing of the bus: the bus hands it the class and vendor
// requests addressed to the keyboard with the current time, and asks it where
// the keyboard is (attached or not, which mode, how often it re-enumerated).
class SimulatedDFUFunction {
public:
    using Millis = std::chrono::milliseconds;

    static constexpr int none = -1;

    // How a request that switches modes goes wrong.
    enum class SwitchFault {
        none,
        ignored, // acknowledged, and nothing happens
        failsButSwitches, // the keyboard drops off before the status stage: the
                          // host sees the request fail, the switch happens
    };

    // Faults the keyboard can be told to show. Blocks are named by the block
    // number (wValue) of their DNLOAD; mode switches are counted from 1 in the
    // order the keyboard leaves the bus (into DFU mode, back, and so on).
    struct Faults {
        int stallAtBlock = none; // DNLOAD of this block stalls
        int errorAtBlock = none; // GETSTATUS after this block reports errorStatus
        std::uint8_t errorStatus = DFU::errWRITE;
        int endlessBusyAtBlock = none; // dfuDNBUSY for ever from this block on
        int shortStatusAtBlock = none; // GETSTATUS about this block answers 5 bytes
        int stateAtBlock = none; // GETSTATUS after this block reports stateAfterBlock
        std::uint8_t stateAfterBlock = DFU::dfuIDLE;
        bool stallFinalDownload = false; // the empty DNLOAD that ends the download stalls
        int firstGetState = none; // the first GETSTATE after the download answers this
        std::uint8_t manifestationError = DFU::OK; // bStatus when manifestation starts
        bool endlessManifest = false; // manifestation never ends
        bool shortGetStatus = false; // GETSTATUS answers 5 bytes
        bool shortStatusInManifestation = false; // only while it manifests
        bool failingGetState = false; // GETSTATE stalls
        bool noReenumeration = false; // once off the bus it never comes back
        int noReturnAtSwitch = none; // after this switch it never comes back
        Millis lateReenumeration{0}; // added to every re-enumeration delay
        bool otherSerialAfterReenumeration = false;
        int otherSerialAtSwitch = none; // another serial number after this switch only
        SwitchFault detach = SwitchFault::none; // the request into DFU mode
        SwitchFault returnRequest = SwitchFault::none; // the request back to application mode
        bool detachStalledInDFUMode = false;
        bool oldVersionAfterUpdate = false;
    };

    struct Config {
        // Application mode's attributes: whether DFU_DETACH detaches by itself.
        std::uint8_t bmAttributes = DFU::bitCanDnload | DFU::bitManifestationTolerant | DFU::bitWillDetach;
        // DFU mode's attributes, for manifestation tolerance (none: bmAttributes).
        std::optional<std::uint8_t> dfuModeAttributes;
        std::uint16_t wDetachTimeOut = 1000; // ms
        std::uint16_t wTransferSize = 4096; // in DFU mode
        Millis busyTime{0}; // each block is written this long
        unsigned busyAnswers = 0; // and answers dfuDNBUSY at least this often
        std::uint32_t bwPollTimeout = 0; // ms announced while busy
        std::uint32_t statusPollTimeout = 0; // ms announced in the other status replies
        Millis manifestTime{0}; // writing the image to flash
        std::uint32_t manifestPollTimeout = 0; // ms announced when manifestation starts
        Millis reenumerationDelay{1000}; // time off the bus when switching modes
        std::optional<Millis> detachDelay; // into DFU mode (none: reenumerationDelay)
        std::optional<Millis> returnDelay; // back to application mode (none: reenumerationDelay)
        std::vector<std::uint8_t> expectedImage; // empty: any image is taken
        bool startsInDFUMode = false;
    };

    // Answer to one request: a stall, the number of bytes of the data stage,
    // or a keyboard that left the bus before the status stage.
    struct Reply {
        bool stalled = false;
        std::uint16_t length = 0;
        bool lost = false;
        static Reply stall() { return Reply{true, 0, false}; }
        static Reply gone() { return Reply{false, 0, true}; }
    };

    // Where the keyboard is on the bus.
    struct Presence {
        bool attached = true;
        bool dfuMode = false;
        unsigned enumeration = 0; // grows by one at every re-enumeration
    };

    explicit SimulatedDFUFunction(Config config);
    SimulatedDFUFunction(Config config, Faults faults);

    // The keyboard left the bus to re-enumerate: into which mode, and after
    // how long it comes back (none: never).
    struct Departure {
        bool intoDFUMode = false;
        std::optional<Millis> comesBackAfter;
    };

    // A class or vendor request to the keyboard. data holds wLength bytes:
    // the data stage from the host, or room for the answer.
    Reply handleRequest(std::uint8_t bmRequestType, std::uint8_t bRequest, std::uint16_t wValue, std::uint16_t wLength,
                        std::uint8_t* data, Millis now);

    Presence presence(Millis now);

    // The last departure not yet taken, for a bus that re-enumerates the
    // keyboard itself.
    std::optional<Departure> takeDeparture();

    // Whether the keyboard now runs the expected image (as application-mode
    // firmware version, serial number and so on depend on it).
    bool reportsNewFirmware() const;
    // Whether it shows another serial number since its last mode switch.
    bool reportsOtherSerial() const;

    DFU::eState state(Millis now);
    Faults& faults() { return m_faults; }
    const Config& config() const { return m_config; }
    const std::vector<std::uint8_t>& received() const { return m_received; }

private:
    void advance(Millis now);
    void reenumerate(bool intoDFUMode, Millis now, Millis extraDelay = Millis(0));
    Reply switchOnRequest(bool intoDFUMode, SwitchFault fault, Millis now);
    void fail(std::uint8_t status);
    bool isBusy(Millis now) const;
    std::uint8_t attributesInDFUMode() const;

    Reply applicationRequest(std::uint8_t bRequest, std::uint16_t wValue, std::uint16_t wLength, std::uint8_t* data,
                             Millis now);
    Reply dfuRequest(std::uint8_t bRequest, std::uint16_t wValue, std::uint16_t wLength, std::uint8_t* data,
                     Millis now);
    Reply download(std::uint16_t block, std::uint16_t wLength, const std::uint8_t* data, Millis now);
    Reply finalDownload();
    Reply getStatus(std::uint16_t wLength, std::uint8_t* data, Millis now);
    void settleDownloadStatus(Millis now);
    bool answersShortStatus(DFU::eState before) const;
    Reply getState(std::uint16_t wLength, std::uint8_t* data);
    Reply abort();
    bool imageAccepted() const;
    void startManifestation(Millis now);
    void manifestationEnded();
    static Reply answer(const std::uint8_t* bytes, std::uint16_t size, std::uint16_t wLength, std::uint8_t* data);

    Config m_config;
    Faults m_faults;

    bool m_dfuMode = false;
    DFU::eState m_state = DFU::appIDLE;
    std::uint8_t m_status = DFU::OK;
    std::optional<std::uint8_t> m_stateOverride; // bState of the next status reply, when not m_state
    std::uint32_t m_pollTimeout = 0;
    std::vector<std::uint8_t> m_received;
    int m_lastBlock = none;
    Millis m_busyUntil{0};
    unsigned m_busyAnswersGiven = 0;
    bool m_busyForEver = false;
    bool m_downloadEnded = false;
    bool m_firstGetStateAnswered = false;
    Millis m_manifestUntil{0};
    Millis m_detachUntil{0};
    bool m_accepted = false;

    bool m_attached = true;
    bool m_comingBack = false;
    bool m_returnInDFUMode = false;
    Millis m_returnAt{0};
    unsigned m_enumeration = 0;
    unsigned m_switches = 0; // times it left the bus
    std::optional<Departure> m_departure;
};

} // namespace USX2
} // namespace CV
