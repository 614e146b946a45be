#pragma once
// The updater's application module: starts the core library, the
// framework and the widget library, creates the upgrade logic and the
// configuration bound to it, and attaches the application object; deInit
// takes it all down again in reverse order.
#include "FEN/AppModule.h"

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

    // The core library, the framework and the widget library.
    VarantoMK2UpdaterAppModule();
    explicit VarantoMK2UpdaterAppModule(std::vector<Library> libraries);
    ~VarantoMK2UpdaterAppModule() override;

    // The libraries, stopping at the first that fails: what started is
    // stopped again and the failure is reported as a failed check (a
    // message box, then the process ends with status 1). Then the logic,
    // the configuration and the application object; the result of
    // attaching the application.
    bool init() override;
    // The application, the configuration, the logic once its update worker
    // has ended, the libraries.
    void deInit(bool initResult) override;

    // Waits for a running update worker to end, no longer than the worker
    // can run (saying on standard error that it waits and how the update
    // ended); true when none runs any more. The main loop keeps running
    // meanwhile, so the windows go on repainting. The result integer of the
    // update is no longer written afterwards.
    bool waitForUpdateWorker();

    FirmwareUpdaterConfig* getConfig() const { return m_pConfig.get(); }
    VarantoMK2UpdaterUpgradeLogic* getUpgradeLogic() const { return m_pUpgradeLogic.get(); }

    static std::vector<Library> standardLibraries();

private:
    bool startLibraries();
    void stopLibraries();
    void createConfig();
    void deleteUpgradeLogic();

    std::unique_ptr<VarantoMK2UpdaterUpgradeLogic> m_pUpgradeLogic;
    std::unique_ptr<FirmwareUpdaterConfig> m_pConfig;
    std::vector<Library> m_libraries;
    std::size_t m_librariesStarted = 0;
};

// The module of the program, current from static initialisation on.
extern VarantoMK2UpdaterAppModule theModule;

} // namespace CV
