#pragma once

#include "usx2/usb/linux/SimulatedDevice.h"
#include "usx2/usb/linux/SimulatedDeviceDescription.h"
#include "usx2/usb/linux/USBHost.h"
#include "usx2/util/Sleeper.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace CV {
namespace USX2 {

// One control request as the simulated bus saw it.
struct SimulatedRequestLogEntry {
    std::uint32_t handle = 0; // device that received it
    USBSetupPacket setup;
    std::uint32_t status = 0;
    std::uint32_t length = 0; // bytes of the data stage moved
    std::vector<std::uint8_t> data; // those bytes (either direction)
    std::chrono::steady_clock::time_point time;
};

// A USB bus with simulated devices, built in code (addDevice) or from a file
// of device descriptions (SimulatedDeviceFile). Devices can arrive late,
// leave (at once or at a set time), and leave and come back with other
// descriptors; every handle is given once. Watchers of changes hear of every
// arrival and departure: at once for what happens now, through a timer of the
// run loop (RunLoopHandOver) for what happens at a set time. Thread-safe: one
// recursive mutex guards the bus and its devices.
class SimulatedBus : public USBHost, public std::enable_shared_from_this<SimulatedBus> {
public:
    static std::shared_ptr<SimulatedBus> create();
    ~SimulatedBus() override;
    // A bus with the devices of the file; null with `error` set when the file
    // cannot be read or parsed. Late devices arrive in the time of `clock`
    // (null: the steady clock).
    static std::shared_ptr<SimulatedBus> fromFile(const std::string& path, std::string& error,
                                                  std::shared_ptr<const Sleeper> clock = nullptr);

    std::uint32_t addDevice(SimulatedDeviceDescription spec, std::shared_ptr<SimulatedRequestHandler> handler = nullptr,
                            std::chrono::milliseconds delay = std::chrono::milliseconds(0));
    // The device leaves the bus; open handles to it answer kNoDevice.
    bool removeDevice(std::uint32_t handle);
    // The device is unplugged `delay` from now, also when it re-enumerated
    // under another handle by then; false when the handle is unknown or gone.
    bool unplugAfter(std::uint32_t handle, std::chrono::milliseconds delay);
    // See SimulatedDevice::reenumerate; 0 when the handle is unknown or gone.
    std::uint32_t reenumerate(std::uint32_t handle, SimulatedDeviceDescription spec, std::chrono::milliseconds delay,
                              std::shared_ptr<SimulatedRequestHandler> handler = nullptr);
    // The device under a handle, present or not (null: never seen).
    std::shared_ptr<SimulatedDevice> device(std::uint32_t handle) const;

    // Waits until the device under `handle` is on the bus, at most `limit` of
    // real time; false when it left, never comes, or the time is up. In
    // virtual time it only looks. Not for handlers (they run under the lock).
    bool waitUntilPresent(std::uint32_t handle, std::chrono::milliseconds limit) const;
    // Waits the same way until every device on its way has arrived.
    bool waitForArrivals(std::chrono::milliseconds limit) const;

    // The bus keeps the most recent requests only, so that its memory stays
    // the same however many blocks an update sends: at most this many, and
    // at most this many bytes of their data stages (requests of the largest
    // transfer size fill it long before the count).
    static constexpr std::size_t kRequestLogLimit = 16384;
    static constexpr std::size_t kRequestLogByteLimit = std::size_t(16) << 20;

    // The requests kept, oldest first.
    std::vector<SimulatedRequestLogEntry> requestLog() const;
    void clearRequestLog();

    std::vector<DeviceEntry> enumerate() override;
    std::unique_ptr<USBHostDevice> open(std::uint32_t handle, Status& status) override;
    bool reachesRealDevices() const override { return false; }
    DeviceChangeSignal::Token watchChanges(DeviceChangeSignal::Listener changed) override;

    // Used by the bus's open devices.
    Status transfer(std::uint32_t handle, const USBSetupPacket& setup, std::uint8_t* data, std::uint32_t& transferred);
    Status checkInterface(std::uint32_t handle, std::uint8_t interfaceNumber) const;

    std::recursive_mutex& mutex() const { return m_mutex; }

    // The bus's time: the steady clock, or the time of the given sleeper, so
    // that tests move the devices on in virtual time (null: steady clock).
    void setClock(std::shared_ptr<const Sleeper> clock);
    std::chrono::steady_clock::time_point now() const;

private:
    SimulatedBus() = default;
    std::shared_ptr<SimulatedDevice> attachedDevice(std::uint32_t handle) const;
    // Tells the watchers and sets the timer for the next timed change.
    void changed();
    void scheduleNextChange();
    void onChangeTimer();
    // Appends to the request log, dropping the oldest entries beyond its limits.
    void logRequest(SimulatedRequestLogEntry entry);
    std::optional<std::chrono::steady_clock::time_point> nextTimedChange() const;

    mutable std::recursive_mutex m_mutex;
    mutable std::condition_variable_any m_changed; // a device left
    std::uint32_t m_lastHandle = 0;
    std::map<std::uint32_t, std::shared_ptr<SimulatedDevice>> m_devices;
    std::deque<SimulatedRequestLogEntry> m_log;
    std::size_t m_logBytes = 0; // data bytes of the entries in m_log
    std::shared_ptr<const Sleeper> m_pClock;
    DeviceChangeSignal m_changes;
    std::uint64_t m_changeTimer = 0; // RunLoopHandOver timer, 0: none
    std::chrono::steady_clock::time_point m_changeTimerDue;
};

} // namespace USX2
} // namespace CV
