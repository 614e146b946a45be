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

WizardDriver::Road WizardDriver::runUpdateRoad(USX2::Sleeper& time, std::chrono::milliseconds retryAfter,
                                               std::chrono::milliseconds tick, std::chrono::milliseconds limit)
{
    constexpr std::chrono::milliseconds kReconnectPause{5000};
    Road road;
    const DeviceView before = scan();
    if (!before.connected || !before.updateAvailable) {
        road.pages.push_back(before.connected ? Page::NoUpdateAvailable : Page::NoDeviceConnected);
        return road;
    }
    road.pages.push_back(Page::UpdateAvailable);
    if (!enterUpdateMode()) {
        road.pages.push_back(Page::NoUpdateMode);
        time.sleepFor(retryAfter);
        if (!retryUpdateMode())
            return road;
    }
    road.pages.push_back(Page::Updating);
    const bool started = startUpdate();
    road.error = started ? pollResult(tick, limit) : result();
    if (road.error == 0)
        return road; // still running
    if (road.error > 0) {
        time.sleepFor(std::chrono::milliseconds(VarantoMK2UpdaterUpgradeLogic::kFinalPause.count()));
        bool connected = m_callbacks.connectInNormalMode();
        if (!connected) {
            time.sleepFor(kReconnectPause);
            connected = m_callbacks.connectInNormalMode();
        }
        if (connected) {
            DeviceView after;
            m_callbacks.getDeviceInfo(after.info, after.installedVersion, after.newestVersion, after.updateAvailable);
            if (after.installedVersion == after.newestVersion) {
                road.pages.push_back(Page::UpdateSuccessful);
                return road;
            }
        }
    }
    road.pages.push_back(Page::UpdateFailed);
    return road;
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

void PrintTo(WizardDriver::Page page, std::ostream* out)
{
    const char* names[] = {"NoDeviceConnected", "NoUpdateAvailable", "UpdateAvailable", "Updating",
                           "NoUpdateMode",      "UpdateSuccessful",  "UpdateFailed"};
    *out << names[static_cast<int>(page)];
}

} // namespace test
} // namespace CV
