#pragma once

#include "usx2/usb/linux/SimulatedBus.h"
#include "usx2/usb/linux/USBHost.h"

#include <gtest/gtest.h>

namespace CV {
namespace USX2 {

// Installs a fresh simulated bus as the process's USB host for one test.
class SimulatedBusFixture : public ::testing::Test {
protected:
    void SetUp() override { m_previous = USBHost::setCurrent(bus); }
    void TearDown() override { USBHost::setCurrent(m_previous); }

    std::shared_ptr<SimulatedBus> bus = SimulatedBus::create();

private:
    std::shared_ptr<USBHost> m_previous;
};

} // namespace USX2
} // namespace CV
