#include "usx2/dfu/DFUDevice.h"

#include "usx2/usb/USBDeviceDB.h"
#include "usx2/usb/USBDeviceFactory.h"
#include "usx2/util/Logging.h"

#include <algorithm>
#include <cstring>

namespace CV {
namespace USX2 {

namespace {

using std::chrono::milliseconds;

constexpr const char* kCategory = "DFUDevice";

constexpr std::uint8_t kInterfaceDescriptor = 4;
constexpr std::uint8_t kInterfaceDescriptorSize = 9;
constexpr std::uint8_t kFunctionalDescriptorMinSize = 7;

constexpr std::uint16_t kBaseProductIdMask = 0xFFF0;
constexpr std::uint16_t kDFUModeProductIdBit = 2;

void logRequestFailure(const char* request, USBDevice::Status status)
{
    if (Logging::wouldReport(Logging::eLevelInfo, kCategory))
        Logging::detail::__trace__msg(Logging::eLevelInfo, "%s: %s failed with status 0x%x (%s)\n", kCategory, request,
                                      status, USBDevice::statusAsString(status));
}

std::uint16_t littleEndianWord(const std::uint8_t* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
}

} // namespace

DFUDevice::DFUDevice()
    : m_pSleeper(&Sleeper::system())
{
}

DFUDevice::~DFUDevice() = default;

bool DFUDevice::connect(const USBDeviceOSHandle& handle)
{
    return USBDevice::connect(handle) && m_mode != eModeNone;
}

void DFUDevice::postConnect()
{
    USBDevice::postConnect();
    queryDFUInfo();
}

void DFUDevice::clearDFUInfo()
{
    m_mode = eModeNone;
    m_bmAttributes = 0;
    m_wDetachTimeOut = 0;
    m_wTransferSize = 0;
}

bool DFUDevice::queryDFUInfo()
{
    unsigned remaining = 0;
    const USB::DescriptorHeader* descriptor = getConfigurationDescriptor(remaining);
    if (descriptor == nullptr || remaining < sizeof(USB::DescriptorHeader)) {
        // Fields of an earlier device must not pass for this one's.
        clearDFUInfo();
        return false;
    }
    while (descriptor != nullptr) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(descriptor);
        const bool qualifies = descriptor->bDescriptorType == kInterfaceDescriptor &&
            descriptor->bLength >= kInterfaceDescriptorSize && descriptor->bLength <= remaining &&
            bytes[5] == DFU::kInterfaceClass && bytes[6] == DFU::kInterfaceSubClass &&
            bytes[7] <= DFU::kDFUModeProtocol;
        descriptor = USB::Descriptor::getNext(descriptor, remaining);
        if (!qualifies || descriptor == nullptr)
            continue;
        const auto* functional = reinterpret_cast<const std::uint8_t*>(descriptor);
        if (descriptor->bDescriptorType == DFU::kFunctionalDescriptorType &&
            descriptor->bLength >= kFunctionalDescriptorMinSize) {
            const std::uint8_t interfaceNumber = bytes[2];
            const std::uint8_t protocol = bytes[7];
            m_interfaceNumber = interfaceNumber;
            if (protocol == 0)
                m_mode = interfaceNumber != 0 ? eModeApplication : eModeDFU;
            else
                m_mode = protocol == 1 ? eModeApplication : eModeDFU;
            m_bmAttributes = functional[2];
            m_wDetachTimeOut = littleEndianWord(functional + 3);
            m_wTransferSize = littleEndianWord(functional + 5);
            return true;
        }
        descriptor = USB::Descriptor::getNext(descriptor, remaining);
    }
    clearDFUInfo();
    return true;
}

DFUDevice::Transfer DFUDevice::classRequest(std::uint8_t bRequest, std::uint16_t wValue, std::uint16_t wLength,
                                            void* data)
{
    Request request;
    request.bmRequestType = DFU::kRequestTypeOut;
    request.bRequest = bRequest;
    request.wValue = wValue;
    request.wIndex = m_interfaceNumber;
    request.wLength = wLength;
    request.pData = data;
    const Status status = controlTransfer(request);
    return Transfer{status, request.wLenDone};
}

DFUDevice::Transfer DFUDevice::classRequestIn(std::uint8_t bRequest, std::uint16_t wLength, void* data)
{
    Request request;
    request.bmRequestType = DFU::kRequestTypeIn;
    request.bRequest = bRequest;
    request.wIndex = m_interfaceNumber;
    request.wLength = wLength;
    request.pData = data;
    const Status status = controlTransfer(request);
    return Transfer{status, request.wLenDone};
}

bool DFUDevice::sendSimpleRequest(std::uint8_t bRequest, std::uint16_t wValue, const char* name)
{
    const Transfer transfer = classRequest(bRequest, wValue, 0, nullptr);
    if (transfer.status == 0)
        return true;
    logRequestFailure(name, transfer.status);
    return false;
}

bool DFUDevice::sendDFUDetach()
{
    if (m_bmAttributes & DFU::bitWillDetach)
        return sendSimpleRequest(DFU::DFU_DETACH, m_wDetachTimeOut, "DFU_DETACH");
    return sendSimpleRequest(DFU::XMOS_DFU_RESETINTODFU, 0, "XMOS_DFU_RESETINTODFU");
}

bool DFUDevice::sendDFUAbort()
{
    return sendSimpleRequest(DFU::DFU_ABORT, 0, "DFU_ABORT");
}

bool DFUDevice::returnToAPPMode()
{
    if (isConnected() && m_mode == eModeApplication)
        return true;
    if (m_bmAttributes & DFU::bitWillDetach)
        return sendSimpleRequest(DFU::DFU_DETACH, m_wDetachTimeOut, "DFU_DETACH");
    return sendSimpleRequest(DFU::XMOS_DFU_RESETFROMDFU, 0, "XMOS_DFU_RESETFROMDFU");
}

// A complete reply: the transfer succeeded and moved all six bytes. A short
// one is reported with status 0.
bool DFUDevice::getStatus(DFU::GetStatus& status)
{
    const Transfer transfer = classRequestIn(DFU::DFU_GETSTATUS, sizeof status, &status);
    if (transfer.status == 0 && transfer.length == sizeof status)
        return true;
    logRequestFailure("DFU_GETSTATUS", transfer.status);
    return false;
}

bool DFUDevice::getState(std::uint8_t& state)
{
    const Transfer transfer = classRequestIn(DFU::DFU_GETSTATE, 1, &state);
    if (transfer.status == 0 && transfer.length == 1)
        return true;
    logRequestFailure("DFU_GETSTATE", transfer.status);
    return false;
}

bool DFUDevice::reconnectInDFUMode()
{
    if (isConnected() && m_mode == eModeDFU)
        return true;
    const USBDeviceInfo kept = getDeviceInfo();
    const USBDeviceFilter* filter = USBDeviceDB::getDeviceFilter(kept.vendorId, kept.productId, eUSBDeviceType_DFU);
    if (filter == nullptr)
        filter = &USBDeviceDB::CVUSBDevices;
    if (isConnected()) {
        disconnect();
        m_pSleeper->sleepFor(kReEnumerationPause);
    }
    USBDeviceFilter dfuModeFilter = *filter;
    dfuModeFilter.productId = static_cast<std::uint16_t>((kept.productId & kBaseProductIdMask) | kDFUModeProductIdBit);
    USBDeviceFactory factory;
    const std::string serialNumber = kept.serialNumber;
    factory.setCallbacks(
        [this, &serialNumber](const USBDeviceOSHandle& handle, const USBDeviceFilter& found) {
            reconnect(handle, found, this, serialNumber);
        },
        nullptr);
    factory.initWithDeviceFilter(dfuModeFilter, false);
    factory.deInit();
    return isConnected();
}

void reconnect(const USBDeviceOSHandle& handle, const USBDeviceFilter& filter, DFUDevice* device,
               const std::string& serialNumber)
{
    if (device->isConnected())
        return;
    if (serialNumber.empty()) {
        device->USBDevice::connect(handle);
        return;
    }
    USBDeviceInfo info;
    if (filter.getDeviceInfoForOSHandle(handle, info, true) && info.serialNumber == serialNumber)
        device->USBDevice::connect(handle);
}

bool DFUDevice::writeDFUData(const DFUClient::Payload& payload, DFU::GetStatus& status)
{
    return writeBlock(payload, status, m_pSleeper->now() + m_blockDeadline);
}

// Past the deadline (time spent in requests counts): errUNKNOWN.
bool DFUDevice::pastDeadline(milliseconds deadline, DFU::GetStatus& status) const
{
    if (m_pSleeper->now() < deadline)
        return false;
    status.bStatus = DFU::errUNKNOWN;
    return true;
}

bool DFUDevice::writeBlock(const DFUClient::Payload& payload, DFU::GetStatus& status, milliseconds deadline)
{
    const Transfer download =
        classRequest(DFU::DFU_DNLOAD, payload.blockNumber, payload.length, const_cast<std::uint8_t*>(payload.data));
    if (download.status != 0) {
        logRequestFailure("DFU_DNLOAD", download.status);
        return false;
    }
    milliseconds busyFor{0};
    for (;;) {
        if (!getStatus(status))
            return false;
        if (status.bStatus != DFU::OK)
            return false;
        if (status.bState != DFU::dfuDNBUSY)
            return status.bState == DFU::dfuDNLOAD_IDLE;
        // A poll is charged at least 1 ms, so that a device that asks for no
        // wait cannot keep the client polling for ever either.
        const milliseconds wait = std::min(milliseconds(status.pollTimeout()), kMaxPollWait);
        busyFor += std::max(wait, milliseconds(1));
        if (busyFor > kBusyWaitBound) {
            status.bStatus = DFU::errUNKNOWN;
            return false;
        }
        if (pastDeadline(deadline, status))
            return false;
        if (wait.count() > 0)
            m_pSleeper->sleepFor(wait);
    }
}

bool DFUDevice::writeImage(const std::uint8_t* data, std::uint32_t size, DFU::GetStatus& status)
{
    status = DFU::GetStatus();
    if (data == nullptr || size == 0) {
        status.bStatus = DFU::errTARGET;
        return false;
    }
    if (m_mode != eModeDFU) {
        status.bStatus = DFU::errWRITE;
        return false;
    }
    if (!checkTransferSize()) {
        status.bStatus = DFU::errUNKNOWN;
        return false;
    }

    const milliseconds imageEnd = m_pSleeper->now() + m_imageDeadline;
    DFUClient::Payload payload;
    std::uint32_t offset = 0;
    std::uint16_t block = 0;
    while (offset < size) {
        const std::uint32_t length = std::min<std::uint32_t>(m_wTransferSize, size - offset);
        payload.blockNumber = block++;
        payload.length = static_cast<std::uint16_t>(length);
        std::memcpy(payload.data, data + offset, length);
        if (pastDeadline(imageEnd, status))
            return false;
        if (!writeBlock(payload, status, std::min(m_pSleeper->now() + m_blockDeadline, imageEnd)))
            return false;
        offset += length;
    }
    const Transfer final = classRequest(DFU::DFU_DNLOAD, block, 0, nullptr);
    if (final.status != 0) {
        logRequestFailure("DFU_DNLOAD", final.status);
        status.bStatus = DFU::errUNKNOWN;
        return false;
    }
    return waitForManifestation(status, imageEnd);
}

bool DFUDevice::hasSupportedTransferSize() const
{
    return m_wTransferSize >= 1 && m_wTransferSize <= kMaxTransferSize;
}

bool DFUDevice::checkTransferSize() const
{
    if (hasSupportedTransferSize())
        return true;
    if (Logging::wouldReport(Logging::eLevelError, kCategory))
        Logging::detail::__trace__msg(Logging::eLevelError, "%s: Unsupported wTransferSize (%d)\n", kCategory,
                                      static_cast<int>(m_wTransferSize));
    return false;
}

void DFUDevice::setDeadlines(milliseconds block, milliseconds image)
{
    m_blockDeadline = block;
    m_imageDeadline = image;
}

milliseconds DFUDevice::longestWrite() const
{
    return m_imageDeadline + kRequestTimeout +
        std::max({kMaxPollWait, kManifestationPeriod, kTolerantManifestationPeriod});
}

std::chrono::milliseconds DFUDevice::manifestationLimit(std::uint16_t wDetachTimeOut)
{
    return std::clamp(milliseconds(wDetachTimeOut), kManifestationLimitMin, kManifestationLimitMax);
}

bool DFUDevice::waitForManifestation(DFU::GetStatus& status, milliseconds deadline)
{
    std::uint8_t state = DFU::eStateNone;
    getState(state);
    milliseconds waited{0};
    for (;;) {
        switch (state) {
        case DFU::appIDLE:
        case DFU::dfuMANIFEST_WAIT_RESET:
            status.bState = state;
            status.bStatus = DFU::OK;
            return true;
        case DFU::dfuIDLE:
            if (!getStatus(status))
                return false;
            return status.bStatus == DFU::OK;
        case DFU::dfuMANIFEST_SYNC:
            getStatus(status);
            state = DFU::dfuMANIFEST;
            if (status.bStatus != DFU::OK)
                return false;
            break;
        case DFU::dfuMANIFEST:
            if (!manifestationStep(state, waited, deadline, status))
                return false;
            break;
        default: status.bStatus = DFU::errUNKNOWN; return false;
        }
    }
}

// One wait while the device manifests: sleep one period; give up when the
// time waited before it already exceeds the limit; otherwise look again and
// count the period. A manifestation-tolerant device is asked for its state
// after each second; one that is not is looked for in application mode (it
// re-enumerates by itself) after each ten seconds.
bool DFUDevice::manifestationStep(std::uint8_t& state, milliseconds& waited, milliseconds deadline,
                                  DFU::GetStatus& status)
{
    const bool tolerant = (m_bmAttributes & DFU::bitManifestationTolerant) != 0;
    const milliseconds limit = tolerant ? kTolerantManifestationBound : manifestationLimit(m_wDetachTimeOut);
    const milliseconds period = tolerant ? kTolerantManifestationPeriod : kManifestationPeriod;
    m_pSleeper->sleepFor(period);
    if (waited > limit) {
        status.bStatus = DFU::errUNKNOWN;
        return false;
    }
    if (pastDeadline(deadline, status))
        return false;
    if (tolerant) {
        if (!getState(state)) {
            status.bStatus = DFU::errUNKNOWN;
            return false;
        }
    } else {
        scanForManifestedDevice(state);
    }
    waited += period;
    return true;
}

// Connects to the same keyboard once it shows up again in application mode.
void DFUDevice::scanForManifestedDevice(std::uint8_t& state)
{
    const std::uint16_t applicationProductId = getDeviceInfo().productId & kBaseProductIdMask;
    const USBDeviceFilter* filter = USBDeviceDB::getDeviceFilter(applicationProductId, eUSBDeviceType_DFU);
    if (filter == nullptr)
        return;
    const std::string serialNumber = getDeviceInfo().serialNumber;
    USBDeviceFactory factory;
    factory.setCallbacks(
        [this, &state, applicationProductId, serialNumber](const USBDeviceOSHandle& handle, const USBDeviceFilter&) {
            USBDeviceInfo info;
            if (!USBDevice::getDeviceInfoForOSHandle(handle, info, true))
                return;
            if (info.productId != applicationProductId || info.serialNumber != serialNumber)
                return;
            disconnect();
            USBDevice::connect(handle);
            state = DFU::dfuMANIFEST_WAIT_RESET;
        },
        nullptr);
    factory.initWithDeviceFilter(*filter, false);
    factory.deInit();
}

} // namespace USX2
} // namespace CV
