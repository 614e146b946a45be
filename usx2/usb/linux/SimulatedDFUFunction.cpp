#include "usx2/usb/linux/SimulatedDFUFunction.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace CV {
namespace USX2 {

namespace {

constexpr std::uint16_t kShortStatusLength = 5;

bool expectsDataIn(std::uint8_t bRequest)
{
    return bRequest == DFU::DFU_GETSTATUS || bRequest == DFU::DFU_GETSTATE || bRequest == DFU::DFU_UPLOAD;
}

} // namespace

SimulatedDFUFunction::SimulatedDFUFunction(Config config)
    : SimulatedDFUFunction(std::move(config), Faults())
{
}

SimulatedDFUFunction::SimulatedDFUFunction(Config config, Faults faults)
    : m_config(std::move(config))
    , m_faults(faults)
    , m_dfuMode(m_config.startsInDFUMode)
    , m_state(m_dfuMode ? DFU::dfuIDLE : DFU::appIDLE)
{
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::handleRequest(std::uint8_t bmRequestType, std::uint8_t bRequest,
                                                                std::uint16_t wValue, std::uint16_t wLength,
                                                                std::uint8_t* data, Millis now)
{
    advance(now);
    if (!m_attached)
        return Reply::stall();
    const std::uint8_t expectedType = expectsDataIn(bRequest) ? DFU::kRequestTypeIn : DFU::kRequestTypeOut;
    if (bmRequestType != expectedType || (wLength != 0 && data == nullptr))
        return Reply::stall();
    return m_dfuMode ? dfuRequest(bRequest, wValue, wLength, data, now)
                     : applicationRequest(bRequest, wValue, wLength, data, now);
}

SimulatedDFUFunction::Presence SimulatedDFUFunction::presence(Millis now)
{
    advance(now);
    return Presence{m_attached, m_dfuMode, m_enumeration};
}

DFU::eState SimulatedDFUFunction::state(Millis now)
{
    advance(now);
    return m_state;
}

bool SimulatedDFUFunction::reportsNewFirmware() const
{
    return m_accepted && !m_faults.oldVersionAfterUpdate;
}

bool SimulatedDFUFunction::reportsOtherSerial() const
{
    if (m_faults.otherSerialAfterReenumeration && m_switches > 0)
        return true;
    return m_faults.otherSerialAtSwitch != none && m_switches == static_cast<unsigned>(m_faults.otherSerialAtSwitch);
}

// Moves the keyboard on to what the time passed has made of it.
void SimulatedDFUFunction::advance(Millis now)
{
    if (!m_attached) {
        if (!m_comingBack || now < m_returnAt)
            return;
        m_attached = true;
        m_comingBack = false;
        m_dfuMode = m_returnInDFUMode;
        m_state = m_dfuMode ? DFU::dfuIDLE : DFU::appIDLE;
        m_status = DFU::OK;
        m_pollTimeout = 0;
        m_stateOverride.reset();
        m_received.clear();
        m_lastBlock = none;
        m_downloadEnded = false;
        m_firstGetStateAnswered = false;
        ++m_enumeration;
        return;
    }
    if (m_state == DFU::appDETACH && now >= m_detachUntil)
        m_state = DFU::appIDLE; // no bus reset came in time
    if (m_state == DFU::dfuDNBUSY && !m_busyForEver && now >= m_busyUntil)
        m_state = DFU::dfuDNLOAD_SYNC;
    if (m_state == DFU::dfuMANIFEST && !m_faults.endlessManifest && now >= m_manifestUntil)
        manifestationEnded();
}

std::optional<SimulatedDFUFunction::Departure> SimulatedDFUFunction::takeDeparture()
{
    std::optional<Departure> departure;
    departure.swap(m_departure);
    return departure;
}

void SimulatedDFUFunction::reenumerate(bool intoDFUMode, Millis now, Millis extraDelay)
{
    const std::optional<Millis>& transitionDelay = intoDFUMode ? m_config.detachDelay : m_config.returnDelay;
    const Millis delay =
        extraDelay + transitionDelay.value_or(m_config.reenumerationDelay) + m_faults.lateReenumeration;
    ++m_switches;
    m_attached = false;
    m_comingBack = !m_faults.noReenumeration && static_cast<int>(m_switches) != m_faults.noReturnAtSwitch;
    m_returnInDFUMode = intoDFUMode;
    m_returnAt = now + delay;
    m_departure = Departure{intoDFUMode, m_comingBack ? std::optional<Millis>(delay) : std::nullopt};
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::switchOnRequest(bool intoDFUMode, SwitchFault fault, Millis now)
{
    if (fault == SwitchFault::ignored)
        return Reply();
    reenumerate(intoDFUMode, now);
    return fault == SwitchFault::failsButSwitches ? Reply::gone() : Reply();
}

void SimulatedDFUFunction::fail(std::uint8_t status)
{
    m_status = status;
    m_state = DFU::dfuERROR;
    m_pollTimeout = 0;
}

bool SimulatedDFUFunction::isBusy(Millis now) const
{
    return m_busyForEver || now < m_busyUntil || m_busyAnswersGiven < m_config.busyAnswers;
}

std::uint8_t SimulatedDFUFunction::attributesInDFUMode() const
{
    return m_config.dfuModeAttributes.value_or(m_config.bmAttributes);
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::applicationRequest(std::uint8_t bRequest, std::uint16_t wValue,
                                                                     std::uint16_t wLength, std::uint8_t* data,
                                                                     Millis now)
{
    switch (bRequest) {
    case DFU::DFU_DETACH:
        if (m_config.bmAttributes & DFU::bitWillDetach)
            return switchOnRequest(true, m_faults.detach, now);
        // Waits for a bus reset, which this bus never sends.
        m_state = DFU::appDETACH;
        m_detachUntil = now + Millis(wValue);
        return Reply();
    case DFU::XMOS_DFU_RESETINTODFU: return switchOnRequest(true, m_faults.detach, now);
    case DFU::DFU_GETSTATUS: return getStatus(wLength, data, now);
    case DFU::DFU_GETSTATE: return getState(wLength, data);
    default: return Reply::stall();
    }
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::dfuRequest(std::uint8_t bRequest, std::uint16_t wValue,
                                                             std::uint16_t wLength, std::uint8_t* data, Millis now)
{
    switch (bRequest) {
    case DFU::DFU_DNLOAD: return download(wValue, wLength, data, now);
    case DFU::DFU_GETSTATUS: return getStatus(wLength, data, now);
    case DFU::DFU_GETSTATE: return getState(wLength, data);
    case DFU::DFU_ABORT: return abort();
    case DFU::DFU_CLRSTATUS:
        if (m_state != DFU::dfuERROR)
            break;
        m_state = DFU::dfuIDLE;
        m_status = DFU::OK;
        return Reply();
    case DFU::DFU_DETACH:
        if (m_faults.detachStalledInDFUMode)
            return Reply::stall();
        return switchOnRequest(false, m_faults.returnRequest, now);
    case DFU::XMOS_DFU_RESETFROMDFU: return switchOnRequest(false, m_faults.returnRequest, now);
    default: break;
    }
    fail(DFU::errSTALLEDPKT);
    return Reply::stall();
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::download(std::uint16_t block, std::uint16_t wLength,
                                                           const std::uint8_t* data, Millis now)
{
    if (wLength == 0)
        return finalDownload();
    if ((m_state != DFU::dfuIDLE && m_state != DFU::dfuDNLOAD_IDLE) || wLength > m_config.wTransferSize) {
        fail(DFU::errSTALLEDPKT);
        return Reply::stall();
    }
    if (block == m_faults.stallAtBlock) {
        fail(DFU::errSTALLEDPKT);
        return Reply::stall();
    }
    m_received.insert(m_received.end(), data, data + wLength);
    m_lastBlock = block;
    m_state = DFU::dfuDNLOAD_SYNC;
    m_busyUntil = now + m_config.busyTime;
    m_busyAnswersGiven = 0;
    m_busyForEver = m_faults.endlessBusyAtBlock != none && block >= m_faults.endlessBusyAtBlock;
    return Reply();
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::finalDownload()
{
    if (m_state != DFU::dfuDNLOAD_IDLE || m_faults.stallFinalDownload) {
        fail(m_state != DFU::dfuDNLOAD_IDLE ? DFU::errNOTDONE : DFU::errSTALLEDPKT);
        return Reply::stall();
    }
    m_state = DFU::dfuMANIFEST_SYNC;
    m_manifestUntil = Millis::max();
    m_downloadEnded = true;
    return Reply();
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::getStatus(std::uint16_t wLength, std::uint8_t* data, Millis now)
{
    const DFU::eState before = m_state;
    switch (m_state) {
    case DFU::dfuDNLOAD_SYNC:
    case DFU::dfuDNBUSY: settleDownloadStatus(now); break;
    case DFU::dfuMANIFEST_SYNC:
        if (m_manifestUntil == Millis::max()) {
            startManifestation(now);
        } else {
            m_state = DFU::dfuIDLE; // manifestation done, tolerant keyboard
            m_pollTimeout = m_config.statusPollTimeout;
        }
        break;
    case DFU::dfuERROR: m_pollTimeout = 0; break;
    default: m_pollTimeout = m_config.statusPollTimeout; break;
    }
    const std::uint8_t bState = m_stateOverride.value_or(m_state);
    m_stateOverride.reset();
    const std::uint8_t reply[6] = {m_status,
                                   static_cast<std::uint8_t>(m_pollTimeout),
                                   static_cast<std::uint8_t>(m_pollTimeout >> 8),
                                   static_cast<std::uint8_t>(m_pollTimeout >> 16),
                                   bState,
                                   0};
    return answer(reply, answersShortStatus(before) ? kShortStatusLength : sizeof reply, wLength, data);
}

// The status of the block just sent: an error, still busy, or taken.
void SimulatedDFUFunction::settleDownloadStatus(Millis now)
{
    if (m_state == DFU::dfuDNLOAD_SYNC && m_lastBlock == m_faults.errorAtBlock) {
        fail(m_faults.errorStatus);
        return;
    }
    if (isBusy(now)) {
        m_state = DFU::dfuDNBUSY;
        m_pollTimeout = m_config.bwPollTimeout;
        ++m_busyAnswersGiven;
        return;
    }
    m_state = DFU::dfuDNLOAD_IDLE;
    m_pollTimeout = m_config.statusPollTimeout;
    if (m_lastBlock != m_faults.stateAtBlock)
        return;
    // The keyboard lost track of the download.
    const std::uint8_t wrong = m_faults.stateAfterBlock;
    m_state = wrong <= DFU::dfuERROR ? static_cast<DFU::eState>(wrong) : DFU::dfuERROR;
    m_stateOverride = wrong;
}

bool SimulatedDFUFunction::answersShortStatus(DFU::eState before) const
{
    if (m_faults.shortGetStatus)
        return true;
    if (m_faults.shortStatusInManifestation && (before == DFU::dfuMANIFEST_SYNC || before == DFU::dfuMANIFEST))
        return true;
    return m_faults.shortStatusAtBlock != none && m_lastBlock == m_faults.shortStatusAtBlock &&
        (before == DFU::dfuDNLOAD_SYNC || before == DFU::dfuDNBUSY);
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::getState(std::uint16_t wLength, std::uint8_t* data)
{
    if (m_faults.failingGetState)
        return Reply::stall();
    std::uint8_t reply[1] = {m_state};
    if (m_downloadEnded && !m_firstGetStateAnswered) {
        m_firstGetStateAnswered = true;
        if (m_faults.firstGetState != none)
            reply[0] = static_cast<std::uint8_t>(m_faults.firstGetState);
    }
    return answer(reply, sizeof reply, wLength, data);
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::abort()
{
    switch (m_state) {
    case DFU::dfuIDLE:
    case DFU::dfuDNLOAD_SYNC:
    case DFU::dfuDNLOAD_IDLE:
    case DFU::dfuMANIFEST_SYNC:
    case DFU::dfuUPLOAD_IDLE:
        m_state = DFU::dfuIDLE;
        m_status = DFU::OK;
        m_received.clear();
        m_lastBlock = none;
        m_downloadEnded = false;
        return Reply();
    default: fail(DFU::errSTALLEDPKT); return Reply::stall();
    }
}

bool SimulatedDFUFunction::imageAccepted() const
{
    if (m_config.expectedImage.empty())
        return !m_received.empty();
    return m_received == m_config.expectedImage;
}

void SimulatedDFUFunction::startManifestation(Millis now)
{
    if (m_faults.manifestationError != DFU::OK) {
        fail(m_faults.manifestationError);
        return;
    }
    m_state = DFU::dfuMANIFEST;
    m_manifestUntil = now + m_config.manifestTime;
    m_pollTimeout = m_config.manifestPollTimeout;
    if ((attributesInDFUMode() & DFU::bitManifestationTolerant) || m_faults.endlessManifest)
        return;
    // Writes the image to flash off the bus, then starts the new firmware.
    m_accepted = imageAccepted();
    reenumerate(false, now, m_config.manifestTime);
}

void SimulatedDFUFunction::manifestationEnded()
{
    m_accepted = imageAccepted();
    m_state = DFU::dfuMANIFEST_SYNC;
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::answer(const std::uint8_t* bytes, std::uint16_t size,
                                                         std::uint16_t wLength, std::uint8_t* data)
{
    const std::uint16_t length = std::min(size, wLength);
    if (length != 0)
        std::memcpy(data, bytes, length);
    return Reply{false, length, false};
}

} // namespace USX2
} // namespace CV
