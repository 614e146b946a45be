#pragma once
// The one application object of the process: the last receiver of events
// that no window handles, the owner of the quit protocol, the event-timer
// manager, the menu bar and the accelerator table, and the keeper of the
// process-wide window list. The module creates it and attaches it.
#include "FEN/AcceleratorManager.h"
#include "FEN/EventTarget.h"
#include "FEN/EventTimerManager.h"
#include "FEN/HMenu.h"
#include "FEN/IApplication.h"
#include "FEN/PowerManager.h"

#include <functional>
#include <list>
#include <memory>
#include <string>

namespace CV {
namespace FEN {

class Application : public EventTarget, public IApplication {
public:
    struct WndEventExtra {
        WindowBase* window; // offered command events first
    };

    Application();
    ~Application() override;

    // Routes through onWndEvent with the main window; schedules the
    // platform's termination when the quit flag rose during the call.
    bool sendEvent(unsigned code, EventData* data) override;
    // The quit command; every other code: not handled.
    bool onEvent(unsigned code, EventData* data) override;
    bool init() override;
    void deInit(bool initResult) override;
    // Quit flag set, termination scheduled.
    void postQuit() override;
    // Queues the function on the main thread; an empty one is ignored.
    void executeOnMainThread(std::function<void()> function) override;
    virtual std::string getHostName();
    virtual int getHostVersion();
    virtual std::string getHostVersionString();
    unsigned getMasterTimerTimeout() const override;
    void setMasterTimerTimeout(unsigned ms) override;
    // Commands (1200-1299) go to extra's window first.
    virtual bool onWndEvent(unsigned code, EventData* data, WndEventExtra const& extra);
    virtual void onSystemSleep() { }
    virtual void onSystemWake() { }
    void setModuleOwner(AppModule* module) override { m_pModuleOwner = module; }
    // -1: the platform's loop is run by the launcher.
    int run() override { return -1; }

    // The current module's attached application; null otherwise.
    static Application* getApplication();

    void setApplicationTitle(const char* title) { m_title = title != nullptr ? title : ""; }
    std::string const& getApplicationTitle() const { return m_title; }
    void setMainWindow(MainWindow* window) { m_pMainWindow = window; }
    MainWindow* getMainWindow() const { return m_pMainWindow; }
    bool isQuitting() const { return m_bQuit; }
    // Drawing at the screens' backing scale (off unless turned on).
    bool isHighResolution() const { return m_bHighResolution; }
    void setHighResolution(bool on) { m_bHighResolution = on; }
    AppModule* getModuleOwner() const { return m_pModuleOwner; }
    bool sendWndEvent(unsigned code, EventData* data, WndEventExtra const& extra);

    static void addWindow(Window* window);
    static void removeWindow(Window* window);
    static std::list<Window*> const& getWindows();
    // The main window cleared, then every listed window's native window
    // destroyed, oldest first.
    static void destroyAllWindows();

    // Installs the bar's platform menu as the main menu (when it has one)
    // and loads the menus' shortcuts into the accelerator table.
    void setMenu(HMenuBar const& bar);
    HMenuBar const& getMenuBar() const { return m_menuBar; }
    AcceleratorManager& getAcceleratorManager() { return m_accelerators; }
    EventTimerManager& getEventTimerManager() { return m_timerManager; }
    PowerManager& getPowerManager() { return m_powerManager; }

private:
    std::unique_ptr<DETAIL::ImplApplication> m_pImpl;
    AppModule* m_pModuleOwner = nullptr;
    std::string m_title;
    MainWindow* m_pMainWindow = nullptr;
    bool m_bQuit = false;
    bool m_bHighResolution = false;
    PowerManager m_powerManager;
    HMenuBar m_menuBar;
    AcceleratorManager m_accelerators;
    EventTimerManager m_timerManager;

    static std::list<Window*> s_windows;
};

} // namespace FEN
} // namespace CV
