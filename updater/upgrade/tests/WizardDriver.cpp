#include "WizardDriver.h"

#include <thread>

namespace CV {
namespace test {

WizardDriver::WizardDriver(UpdaterCallbacks callbacks)
    : m_callbacks(std::move(callbacks))
{
}

WizardDriver::DeviceView WizardDriver::scan()
{
    DeviceView view;
    view.connected = m_callbacks.connectInNormalMode();
    m_callbacks.getDeviceInfo(view.info, view.installedVersion, view.newestVersion, view.updateAvailable);
    return view;
}

bool WizardDriver::enterUpdateMode()
{
    return m_callbacks.resetIntoUpdateMode();
}

bool WizardDriver::retryUpdateMode()
{
    if (m_callbacks.connectInUpdateMode())
        return true;
    return m_callbacks.connectInNormalMode() && m_callbacks.resetIntoUpdateMode();
}

bool WizardDriver::startUpdate()
{
    __atomic_store_n(&m_result, 0, __ATOMIC_SEQ_CST);
    return m_callbacks.performUpdate(m_result);
}

int WizardDriver::pollResult(std::chrono::milliseconds tick, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    int value = result();
    while (value == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(tick);
        value = result();
    }
    return value;
}

int WizardDriver::result() const
{
    return __atomic_load_n(&m_result, __ATOMIC_SEQ_CST);
}

bool WizardDriver::quit()
{
    if (m_callbacks.isUpdateRunning())
        m_callbacks.applicationCloseRequest();
    return true;
}

}  // namespace test
}  // namespace CV
