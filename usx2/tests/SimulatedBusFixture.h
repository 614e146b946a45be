#pragma once

#include "usx2/usb/linux/SimulatedBus.h"
#include "usx2/usb/linux/USBHost.h"
#include "usx2/util/VirtualSleeper.h"

#include <gtest/gtest.h>

#include <memory>

namespace CV {
namespace USX2 {

// Makes `host` the process's USB host for its lifetime and puts the previous
// one back when it goes, also when a test ends early on a failed assertion.
class ScopedUSBHost {
public:
    explicit ScopedUSBHost(std::shared_ptr<USBHost> host)
        : m_previous(USBHost::setCurrent(std::move(host)))
    {
    }
    ~ScopedUSBHost() { USBHost::setCurrent(m_previous); }
    ScopedUSBHost(const ScopedUSBHost&) = delete;
    ScopedUSBHost& operator=(const ScopedUSBHost&) = delete;

    void replace(std::shared_ptr<USBHost> host) { USBHost::setCurrent(std::move(host)); }

private:
    std::shared_ptr<USBHost> m_previous;
};

// A fresh simulated bus as the process's USB host for one test. With
// useVirtualTime() the bus's devices move on in the time of `sleeper`.
class SimulatedBusFixture : public ::testing::Test {
protected:
    // Devices arrive, leave and answer in the time of `sleeper`.
    void useVirtualTime()
    {
        m_virtualTime = true;
        bus->setClock(sleeper);
    }
    // Makes `next` the bus (a new empty one by default), in virtual time when
    // the fixture uses it.
    void replaceBus(std::shared_ptr<SimulatedBus> next = SimulatedBus::create())
    {
        bus = std::move(next);
        if (m_virtualTime)
            bus->setClock(sleeper);
        m_host.replace(bus);
    }

    // Another host in the bus's place until the test ends.
    void useHost(std::shared_ptr<USBHost> host) { m_host.replace(std::move(host)); }

    std::shared_ptr<VirtualSleeper> sleeper = std::make_shared<VirtualSleeper>();
    std::shared_ptr<SimulatedBus> bus = SimulatedBus::create();

private:
    bool m_virtualTime = false;
    ScopedUSBHost m_host{bus};
};

} // namespace USX2
} // namespace CV
