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
    return bRequest == DFU::DFU_GETSTATUS || bRequest == DFU::DFU_GETSTATE
        || bRequest == DFU::DFU_UPLOAD;
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
        m_received.clear();
        m_lastBlock = none;
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
    const Millis delay = extraDelay + m_config.reenumerationDelay + m_faults.lateReenumeration;
    m_attached = false;
    m_comingBack = !m_faults.noReenumeration;
    m_returnInDFUMode = intoDFUMode;
    m_returnAt = now + delay;
    m_departure = Departure{intoDFUMode, m_comingBack ? std::optional<Millis>(delay) : std::nullopt};
}

void SimulatedDFUFunction::fail(std::uint8_t status)
{
    m_status = status;
    m_state = DFU::dfuERROR;
    m_pollTimeout = 0;
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::applicationRequest(std::uint8_t bRequest, std::uint16_t wValue,
                                                                     std::uint16_t wLength, std::uint8_t* data,
                                                                     Millis now)
{
    switch (bRequest) {
    case DFU::DFU_DETACH:
        if (m_config.bmAttributes & DFU::bitWillDetach) {
            reenumerate(true, now);
        } else {
            // Waits for a bus reset, which this bus never sends.
            m_state = DFU::appDETACH;
            m_detachUntil = now + Millis(wValue);
        }
        return Reply();
    case DFU::XMOS_DFU_RESETINTODFU:
        reenumerate(true, now);
        return Reply();
    case DFU::DFU_GETSTATUS:
        return getStatus(wLength, data, now);
    case DFU::DFU_GETSTATE:
        return getState(wLength, data);
    default:
        return Reply::stall();
    }
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::dfuRequest(std::uint8_t bRequest, std::uint16_t wValue,
                                                             std::uint16_t wLength, std::uint8_t* data, Millis now)
{
    switch (bRequest) {
    case DFU::DFU_DNLOAD:
        return download(wValue, wLength, data, now);
    case DFU::DFU_GETSTATUS:
        return getStatus(wLength, data, now);
    case DFU::DFU_GETSTATE:
        return getState(wLength, data);
    case DFU::DFU_ABORT:
        return abort();
    case DFU::DFU_CLRSTATUS:
        if (m_state != DFU::dfuERROR)
            break;
        m_state = DFU::dfuIDLE;
        m_status = DFU::OK;
        return Reply();
    case DFU::DFU_DETACH:
        if (m_faults.detachStalledInDFUMode)
            return Reply::stall();
        return leaveDFUMode(now);
    case DFU::XMOS_DFU_RESETFROMDFU:
        return leaveDFUMode(now);
    default:
        break;
    }
    fail(DFU::errSTALLEDPKT);
    return Reply::stall();
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::download(std::uint16_t block, std::uint16_t wLength,
                                                           const std::uint8_t* data, Millis now)
{
    if (wLength == 0) {
        if (m_state != DFU::dfuDNLOAD_IDLE) {
            fail(DFU::errNOTDONE);
            return Reply::stall();
        }
        m_state = DFU::dfuMANIFEST_SYNC;
        m_manifestUntil = Millis::max();
        return Reply();
    }
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
    m_busyForEver = m_faults.endlessBusyAtBlock != none && block >= m_faults.endlessBusyAtBlock;
    return Reply();
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::getStatus(std::uint16_t wLength, std::uint8_t* data, Millis now)
{
    switch (m_state) {
    case DFU::dfuDNLOAD_SYNC:
        if (m_lastBlock == m_faults.errorAtBlock) {
            fail(m_faults.errorStatus);
        } else if (m_busyForEver || now < m_busyUntil) {
            m_state = DFU::dfuDNBUSY;
            m_pollTimeout = m_config.bwPollTimeout;
        } else {
            m_state = DFU::dfuDNLOAD_IDLE;
            m_pollTimeout = 0;
        }
        break;
    case DFU::dfuDNBUSY:
        m_pollTimeout = m_config.bwPollTimeout; // polled too early: still busy
        break;
    case DFU::dfuMANIFEST_SYNC:
        if (m_manifestUntil == Millis::max()) {
            startManifestation(now);
        } else {
            m_state = DFU::dfuIDLE; // manifestation done, tolerant keyboard
            m_pollTimeout = 0;
        }
        break;
    default:
        m_pollTimeout = 0;
        break;
    }
    const std::uint8_t reply[6] = {m_status,
                                   static_cast<std::uint8_t>(m_pollTimeout),
                                   static_cast<std::uint8_t>(m_pollTimeout >> 8),
                                   static_cast<std::uint8_t>(m_pollTimeout >> 16),
                                   m_state,
                                   0};
    return answer(reply, m_faults.shortGetStatus ? kShortStatusLength : sizeof reply, wLength, data);
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::getState(std::uint16_t wLength, std::uint8_t* data)
{
    if (m_faults.failingGetState)
        return Reply::stall();
    const std::uint8_t reply[1] = {m_state};
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
        return Reply();
    default:
        fail(DFU::errSTALLEDPKT);
        return Reply::stall();
    }
}

SimulatedDFUFunction::Reply SimulatedDFUFunction::leaveDFUMode(Millis now)
{
    reenumerate(false, now);
    return Reply();
}

bool SimulatedDFUFunction::imageAccepted() const
{
    if (m_config.expectedImage.empty())
        return !m_received.empty();
    return m_received == m_config.expectedImage;
}

void SimulatedDFUFunction::startManifestation(Millis now)
{
    m_state = DFU::dfuMANIFEST;
    m_manifestUntil = now + m_config.manifestTime;
    m_pollTimeout = m_config.manifestPollTimeout;
    if ((m_config.bmAttributes & DFU::bitManifestationTolerant) || m_faults.endlessManifest)
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
    return Reply{false, length};
}

} // namespace USX2
} // namespace CV
