#include "usx2/usb/linux/SimulatedBus.h"

#include "usx2/usb/USBStatusCodes.h"
#include "usx2/usb/linux/RunLoopHandOver.h"
#include "usx2/usb/linux/SimulatedDFUKeyboard.h"
#include "usx2/usb/linux/SimulatedDeviceFile.h"

#include <algorithm>

namespace CV {
namespace USX2 {

namespace {

// A simulated device opened by the USB layer. It keeps the bus alive.
class SimulatedHostDevice : public USBHostDevice {
public:
    SimulatedHostDevice(std::shared_ptr<SimulatedBus> bus, std::uint32_t handle, USBHostDeviceIds ids)
        : m_bus(std::move(bus))
        , m_handle(handle)
        , m_ids(ids)
    {
    }

    USBHostDeviceIds ids() const override { return m_ids; }

    Status controlTransfer(const USBSetupPacket& setup, std::uint8_t* data, std::uint32_t& transferred) override
    {
        return m_bus->transfer(m_handle, setup, data, transferred);
    }

    Status claimInterface(std::uint8_t interfaceNumber) override
    {
        return m_bus->checkInterface(m_handle, interfaceNumber);
    }

    Status releaseInterface(std::uint8_t) override { return USBStatus::kSuccess; }

private:
    std::shared_ptr<SimulatedBus> m_bus;
    std::uint32_t m_handle;
    USBHostDeviceIds m_ids;
};

// The ids as the host reads them from the device descriptor; a malformed
// descriptor leaves the ids it does not cover 0.
USBHostDeviceIds idsFromDescriptor(const std::vector<std::uint8_t>& descriptor)
{
    auto word = [&descriptor](std::size_t at) -> std::uint16_t {
        if (at + 1 >= descriptor.size())
            return 0;
        return static_cast<std::uint16_t>(descriptor[at] | (descriptor[at + 1] << 8));
    };
    return {word(8), word(10), word(12)};
}

} // namespace

std::shared_ptr<SimulatedBus> SimulatedBus::create()
{
    return std::shared_ptr<SimulatedBus>(new SimulatedBus());
}

SimulatedBus::~SimulatedBus()
{
    if (m_changeTimer != 0)
        RunLoopHandOver::cancel(m_changeTimer);
}

std::shared_ptr<SimulatedBus> SimulatedBus::fromFile(const std::string& path, std::string& error,
                                                     std::shared_ptr<const Sleeper> clock)
{
    std::vector<SimulatedDeviceFile::Entry> entries;
    if (!SimulatedDeviceFile::read(path, entries, error))
        return nullptr;
    std::shared_ptr<SimulatedBus> bus = create();
    bus->setClock(std::move(clock));
    for (SimulatedDeviceFile::Entry& entry : entries) {
        std::uint32_t handle = 0;
        if (!entry.spec.dfuInterface) {
            handle = bus->addDevice(std::move(entry.spec), nullptr, entry.arrivesAfter);
        } else {
            auto keyboard = std::make_shared<SimulatedDFUKeyboard>(entry.applicationMode, std::move(entry.keyboard));
            handle = SimulatedDFUKeyboard::attach(*bus, keyboard, entry.arrivesAfter);
        }
        if (entry.leavesAfter)
            bus->unplugAfter(handle, *entry.leavesAfter);
    }
    return bus;
}

std::uint32_t SimulatedBus::addDevice(SimulatedDeviceDescription spec, std::shared_ptr<SimulatedRequestHandler> handler,
                                      std::chrono::milliseconds delay)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const std::uint32_t handle = ++m_lastHandle;
    m_devices[handle] =
        std::make_shared<SimulatedDevice>(*this, handle, std::move(spec), std::move(handler), now() + delay);
    changed();
    return handle;
}

bool SimulatedBus::removeDevice(std::uint32_t handle)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto found = m_devices.find(handle);
    if (found == m_devices.end() || found->second->hasLeft())
        return false;
    found->second->leave();
    m_changed.notify_all();
    changed();
    return true;
}

bool SimulatedBus::unplugAfter(std::uint32_t handle, std::chrono::milliseconds delay)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::shared_ptr<SimulatedDevice> found = device(handle);
    if (!found || found->hasLeft())
        return false;
    found->setDeparture(now() + delay);
    m_changed.notify_all();
    changed();
    return true;
}

std::uint32_t SimulatedBus::reenumerate(std::uint32_t handle, SimulatedDeviceDescription spec,
                                        std::chrono::milliseconds delay,
                                        std::shared_ptr<SimulatedRequestHandler> handler)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::shared_ptr<SimulatedDevice> leaving = device(handle);
    if (!leaving || leaving->hasLeft())
        return 0;
    leaving->leave();
    m_changed.notify_all();
    const std::uint32_t next = addDevice(std::move(spec), handler ? std::move(handler) : leaving->handler(), delay);
    // The same keyboard: it is unplugged when it would have been.
    m_devices[next]->setDeparture(leaving->departure());
    scheduleNextChange();
    return next;
}

DeviceChangeSignal::Token SimulatedBus::watchChanges(DeviceChangeSignal::Listener changed)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    DeviceChangeSignal::Token token = m_changes.connect(std::move(changed));
    scheduleNextChange();
    return token;
}

void SimulatedBus::changed()
{
    m_changes.notify();
    scheduleNextChange();
}

std::optional<std::chrono::steady_clock::time_point> SimulatedBus::nextTimedChange() const
{
    const auto time = now();
    std::optional<std::chrono::steady_clock::time_point> next;
    const auto consider = [&next, time](std::chrono::steady_clock::time_point when) {
        if (when > time && when != std::chrono::steady_clock::time_point::max() && (!next || when < *next))
            next = when;
    };
    for (const auto& entry : m_devices) {
        if (entry.second->hasLeft())
            continue;
        consider(entry.second->arrival());
        consider(entry.second->departure());
    }
    return next;
}

// One run-loop timer at a time, for the earliest arrival or departure still
// to come, while anyone watches. When it fires the watchers are told and the
// timer is set for the change after it.
void SimulatedBus::scheduleNextChange()
{
    const std::optional<std::chrono::steady_clock::time_point> next =
        m_changes.hasListeners() ? nextTimedChange() : std::nullopt;
    if (m_changeTimer != 0 && next && *next == m_changeTimerDue)
        return;
    if (m_changeTimer != 0)
        RunLoopHandOver::cancel(m_changeTimer);
    m_changeTimer = 0;
    if (!next)
        return;
    std::weak_ptr<SimulatedBus> weakBus = shared_from_this();
    const std::uint64_t timer = RunLoopHandOver::runAfter(*next - now(), [weakBus] {
        if (std::shared_ptr<SimulatedBus> bus = weakBus.lock())
            bus->onChangeTimer();
    });
    m_changeTimer = timer;
    m_changeTimerDue = *next;
}

void SimulatedBus::onChangeTimer()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_changeTimer = 0;
    changed();
}

void SimulatedBus::setClock(std::shared_ptr<const Sleeper> clock)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_pClock = std::move(clock);
}

std::chrono::steady_clock::time_point SimulatedBus::now() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (!m_pClock)
        return std::chrono::steady_clock::now();
    return std::chrono::steady_clock::time_point(m_pClock->now());
}

std::shared_ptr<SimulatedDevice> SimulatedBus::device(std::uint32_t handle) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    auto found = m_devices.find(handle);
    return found == m_devices.end() ? nullptr : found->second;
}

std::shared_ptr<SimulatedDevice> SimulatedBus::attachedDevice(std::uint32_t handle) const
{
    std::shared_ptr<SimulatedDevice> found = device(handle);
    if (!found || !found->isAttached(now()))
        return nullptr;
    return found;
}

bool SimulatedBus::waitUntilPresent(std::uint32_t handle, std::chrono::milliseconds limit) const
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    std::unique_lock<std::recursive_mutex> lock(m_mutex);
    for (;;) {
        std::shared_ptr<SimulatedDevice> found = device(handle);
        if (!found || found->hasLeft())
            return false;
        const auto time = now();
        if (time >= found->departure())
            return false;
        if (found->isAttached(time))
            return true;
        if (m_pClock || std::chrono::steady_clock::now() >= deadline)
            return false;
        // Steady clock: the device arrives at a known time, or it is
        // removed, which wakes the wait.
        m_changed.wait_until(lock, std::min(deadline, found->arrival()));
    }
}

bool SimulatedBus::waitForArrivals(std::chrono::milliseconds limit) const
{
    std::vector<std::uint32_t> coming;
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        const auto time = now();
        for (const auto& entry : m_devices) {
            if (!entry.second->hasLeft() && time < entry.second->arrival())
                coming.push_back(entry.first);
        }
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (std::uint32_t handle : coming) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (!waitUntilPresent(handle, std::max(left, std::chrono::milliseconds(0))) && !device(handle)->hasLeft())
            return false;
    }
    return true;
}

std::vector<SimulatedRequestLogEntry> SimulatedBus::requestLog() const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    return std::vector<SimulatedRequestLogEntry>(m_log.begin(), m_log.end());
}

void SimulatedBus::clearRequestLog()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    m_log.clear();
    m_logBytes = 0;
}

void SimulatedBus::logRequest(SimulatedRequestLogEntry entry)
{
    while (!m_log.empty() &&
           (m_log.size() == kRequestLogLimit || m_logBytes + entry.data.size() > kRequestLogByteLimit)) {
        m_logBytes -= m_log.front().data.size();
        m_log.pop_front();
    }
    m_logBytes += entry.data.size();
    m_log.push_back(std::move(entry));
}

std::vector<USBHost::DeviceEntry> SimulatedBus::enumerate()
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    const auto time = now();
    std::vector<DeviceEntry> entries;
    for (const auto& entry : m_devices) {
        if (entry.second->isAttached(time))
            entries.push_back({entry.first, idsFromDescriptor(entry.second->spec().deviceDescriptor())});
    }
    return entries;
}

std::unique_ptr<USBHostDevice> SimulatedBus::open(std::uint32_t handle, Status& status)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::shared_ptr<SimulatedDevice> found = attachedDevice(handle);
    if (!found) {
        status = USBStatus::kNoDevice;
        return nullptr;
    }
    status = USBStatus::kSuccess;
    return std::make_unique<SimulatedHostDevice>(shared_from_this(), handle,
                                                 idsFromDescriptor(found->spec().deviceDescriptor()));
}

USBHost::Status SimulatedBus::transfer(std::uint32_t handle, const USBSetupPacket& setup, std::uint8_t* data,
                                       std::uint32_t& transferred)
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    if (setup.wLength != 0 && !data)
        return USBStatus::kBadArgument;
    SimulatedRequestLogEntry entry;
    entry.handle = handle;
    entry.setup = setup;
    entry.time = now();

    std::shared_ptr<SimulatedDevice> target = attachedDevice(handle);
    SimulatedReply reply;
    if (!target) {
        reply.status = USBStatus::kNoDevice;
    } else {
        // The device never sees more than wLength bytes of the host's buffer.
        std::vector<std::uint8_t> stage(setup.wLength, 0);
        if (!setup.isDeviceToHost() && setup.wLength != 0)
            std::copy(data, data + setup.wLength, stage.begin());
        reply = target->answer(setup, stage.data());
        // An OUT data stage moves all its bytes or the request fails.
        reply.length = setup.isDeviceToHost() ? std::min<std::uint32_t>(reply.length, setup.wLength) : setup.wLength;
        if (reply.status == USBStatus::kSuccess) {
            if (setup.isDeviceToHost())
                std::copy(stage.begin(), stage.begin() + reply.length, data);
            entry.data.assign(stage.begin(), stage.begin() + reply.length);
        }
    }
    entry.status = reply.status;
    entry.length = reply.status == USBStatus::kSuccess ? reply.length : 0;
    logRequest(std::move(entry));
    if (reply.status == USBStatus::kSuccess)
        transferred = reply.length;
    return reply.status;
}

USBHost::Status SimulatedBus::checkInterface(std::uint32_t handle, std::uint8_t interfaceNumber) const
{
    std::lock_guard<std::recursive_mutex> lock(m_mutex);
    std::shared_ptr<SimulatedDevice> target = attachedDevice(handle);
    if (!target)
        return USBStatus::kNoDevice;
    return target->hasInterface(interfaceNumber) ? USBStatus::kSuccess : USBStatus::kNotFound;
}

} // namespace USX2
} // namespace CV
