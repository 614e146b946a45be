#pragma once

#include "usx2/dfu/DFUGetStatus.h"
#include "usx2/dfu/DFUPayload.h"
#include "usx2/usb/USBDevice.h"
#include "usx2/usb/USBDeviceFilter.h"
#include "usx2/util/Sleeper.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace CV {
namespace USX2 {

// The host side of USB Device Firmware Upgrade 1.1 for the keyboards: finds
// the DFU interface of an open device, switches the device between its
// application mode and its DFU mode, downloads one image block by block,
// waits for the device to manifest it, and aborts.
//
// Every wait goes through the device's sleeper (the system's by default), and
// so does the time: the waits for a busy device and for a
// manifestation-tolerant device are bounded (kBusyWaitBound,
// kTolerantManifestationBound), and so is the wait for a device that
// re-enumerates after manifestation (its wDetachTimeOut, kept between
// kManifestationLimitMin and kManifestationLimitMax). The sleeps those bounds
// count leave out the time the requests themselves take (each may take up to
// kRequestTimeout), so one block and the whole image also have a deadline in
// the sleeper's time (blockDeadline(), imageDeadline()). Past a bound or a
// deadline the download fails with bStatus errUNKNOWN.
class DFUDevice : public USBDevice {
public:
    enum eMode : std::uint8_t {
        eModeNone = 0, // no DFU interface found
        eModeApplication = 1, // run-time interface
        eModeDFU = 2,
    };

    static constexpr std::uint16_t kMaxTransferSize = 8191;
    static constexpr std::chrono::milliseconds kMaxPollWait{1000};
    static constexpr std::chrono::milliseconds kBusyWaitBound{60000};
    static constexpr std::chrono::milliseconds kTolerantManifestationBound{60000};
    static constexpr std::chrono::milliseconds kManifestationLimitMin{30000};
    static constexpr std::chrono::milliseconds kManifestationLimitMax{120000};
    static constexpr std::chrono::milliseconds kTolerantManifestationPeriod{1000};
    static constexpr std::chrono::milliseconds kManifestationPeriod{10000};
    static constexpr std::chrono::milliseconds kReEnumerationPause{2500};
    static constexpr std::chrono::milliseconds kRequestTimeout{5000}; // the USB layer's for one control transfer
    static constexpr std::chrono::milliseconds kBlockDeadline{90000};
    static constexpr std::chrono::milliseconds kImageDeadline{20 * 60000};

    DFUDevice();
    ~DFUDevice() override;

    // Opens the device; true only when it exposes a DFU interface.
    bool connect(const USBDeviceOSHandle& handle);
    void postConnect() override;

    // Reads the DFU interface and its functional descriptor into the DFU
    // fields (all zero when there is none).
    bool queryDFUInfo();

    bool sendDFUDetach();
    bool sendDFUAbort();
    bool returnToAPPMode();

    // Finds the same keyboard (same serial number) under its DFU-mode product
    // id and opens it.
    bool reconnectInDFUMode();

    // The whole download with manifestation; on failure `status` tells why.
    bool writeImage(const std::uint8_t* data, std::uint32_t size, DFU::GetStatus& status);
    // One block, polling the status until the device has taken it.
    bool writeDFUData(const DFUClient::Payload& payload, DFU::GetStatus& status);

    // Whether downloads can use the transfer size (1..8191).
    bool hasSupportedTransferSize() const;
    // The same, and when not, the level-2 message "Unsupported wTransferSize".
    bool checkTransferSize() const;

    std::chrono::milliseconds blockDeadline() const { return m_blockDeadline; }
    std::chrono::milliseconds imageDeadline() const { return m_imageDeadline; }
    void setDeadlines(std::chrono::milliseconds block, std::chrono::milliseconds image);
    // How long writeImage can take at most, in the sleeper's time: the image
    // deadline, checked between requests and waits, plus the one request and
    // the one wait that may have begun just before it.
    std::chrono::milliseconds longestWrite() const;

    std::uint8_t getMode() const { return m_mode; }
    std::uint8_t getAttributes() const { return m_bmAttributes; }
    std::uint16_t getDetachTimeOut() const { return m_wDetachTimeOut; }
    std::uint16_t getTransferSize() const { return m_wTransferSize; }
    std::uint16_t getInterfaceNumber() const { return m_interfaceNumber; }

    void setSleeper(Sleeper& sleeper) { m_pSleeper = &sleeper; }
    Sleeper& sleeper() const { return *m_pSleeper; }

    // The manifestation limit of a device that is not manifestation-tolerant.
    static std::chrono::milliseconds manifestationLimit(std::uint16_t wDetachTimeOut);

private:
    struct Transfer {
        Status status = 0;
        std::uint32_t length = 0;
    };

    Transfer classRequest(std::uint8_t bRequest, std::uint16_t wValue, std::uint16_t wLength, void* data);
    Transfer classRequestIn(std::uint8_t bRequest, std::uint16_t wLength, void* data);
    bool sendSimpleRequest(std::uint8_t bRequest, std::uint16_t wValue, const char* name);
    bool getStatus(DFU::GetStatus& status);
    bool getState(std::uint8_t& state);
    bool writeBlock(const DFUClient::Payload& payload, DFU::GetStatus& status, std::chrono::milliseconds deadline);
    bool waitForManifestation(DFU::GetStatus& status, std::chrono::milliseconds deadline);
    bool manifestationStep(std::uint8_t& state, std::chrono::milliseconds& waited, std::chrono::milliseconds deadline,
                           DFU::GetStatus& status);
    bool pastDeadline(std::chrono::milliseconds deadline, DFU::GetStatus& status) const;
    void scanForManifestedDevice(std::uint8_t& state);
    void clearDFUInfo();

    std::uint8_t m_mode = eModeNone;
    std::uint8_t m_bmAttributes = 0;
    std::uint16_t m_wDetachTimeOut = 0;
    std::uint16_t m_wTransferSize = 0;
    std::uint16_t m_interfaceNumber = 0;
    Sleeper* m_pSleeper;
    std::chrono::milliseconds m_blockDeadline = kBlockDeadline;
    std::chrono::milliseconds m_imageDeadline = kImageDeadline;
};

// The added-callback of the scan in reconnectInDFUMode: connects `device` to
// the first reported device whose serial number is `serialNumber` (any
// device when it is empty), unless it is connected already.
void reconnect(const USBDeviceOSHandle& handle, const USBDeviceFilter& filter, DFUDevice* device,
               const std::string& serialNumber);

} // namespace USX2
} // namespace CV
