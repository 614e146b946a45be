#pragma once
// The updater's application module: starts the core library, the
// framework and the widget library, creates the upgrade logic and the
// configuration bound to it, and attaches the application object; deInit
// takes it all down again in reverse order.
#include "FEN/AppModule.h"
#include "platform/runloop/Clock.h"
#include "usx2/util/Sleeper.h"

#include <functional>
#include <memory>
#include <vector>

namespace CV {

class FirmwareUpdaterConfig;
class VarantoMK2UpdaterUpgradeLogic;

class VarantoMK2UpdaterAppModule : public FEN::AppModule {
public:
    // One library the module starts (in table order) and stops (in reverse).
    struct Library {
        const char* name;
        std::function<bool()> init;
        std::function<void()> deInit;
    };

    // The time an update runs in: what the upgrade logic waits on the
    // keyboard with, and the clock that bounds the shut-down's wait for its
    // worker. Real time unless a test hands in its own (a sleeper that holds
    // the worker, the main loop's virtual clock).
    struct Time {
        USX2::Sleeper* sleeper = &USX2::Sleeper::system();
        platform::Clock* clock = &steadyClock();
    };

    // The core library, the framework and the widget library.
    VarantoMK2UpdaterAppModule();
    explicit VarantoMK2UpdaterAppModule(std::vector<Library> libraries);
    VarantoMK2UpdaterAppModule(std::vector<Library> libraries, Time time);
    ~VarantoMK2UpdaterAppModule() override;

    // The libraries, stopping at the first that fails: what started is
    // stopped again and the failure is reported as a failed check (a
    // message box, then the process ends with status 1). Then the logic,
    // the configuration and the application object; the result of
    // attaching the application.
    bool init() override;
    // The wait for a running update worker, unless it was done already; then
    // the application, the configuration, the logic, the libraries. A worker
    // still running then keeps the logic, which is left to it.
    void deInit(bool initResult) override;

    // Waits for a running update worker to end, no longer than the worker
    // can run (saying on standard error that it waits and how the update
    // ended); true when none runs any more. The main loop keeps running
    // meanwhile, so the windows go on repainting. The result integer of the
    // update is no longer written afterwards. It waits once: later calls
    // only look whether the worker has ended, without running the loop or
    // saying anything.
    bool waitForUpdateWorker();

    FirmwareUpdaterConfig* getConfig() const { return m_pConfig.get(); }
    VarantoMK2UpdaterUpgradeLogic* getUpgradeLogic() const { return m_pUpgradeLogic.get(); }

    static std::vector<Library> standardLibraries();
    // The steady clock, which the shut-down's wait reads in real time.
    static platform::Clock& steadyClock();

private:
    bool startLibraries();
    void stopLibraries();
    void createConfig();
    void deleteUpgradeLogic();

    std::unique_ptr<VarantoMK2UpdaterUpgradeLogic> m_pUpgradeLogic;
    std::unique_ptr<FirmwareUpdaterConfig> m_pConfig;
    std::vector<Library> m_libraries;
    std::size_t m_librariesStarted = 0;
    Time m_time;
    bool m_workerWaitDone = false;
};

// The module of the program, current from static initialisation on.
extern VarantoMK2UpdaterAppModule theModule;

} // namespace CV
