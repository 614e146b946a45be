#pragma once
// The updater's application object: the title, the single-instance test
// (a second copy says so on standard error and brings the first forward,
// or says that the first did not answer),
// the style sheet, the Help menu, the wizard and the one main window; a
// confirmation before quitting while an update runs, the Help pages and
// the About box. Once it quits, menu commands and close requests no longer
// reach the wizard: the process only waits for a running update to end.
#include "TOV/App.h"
#include "TOV/Forward.h"

#include <boost/function.hpp>

#include <chrono>
#include <memory>

namespace platform {
class InstanceChannel;
}

namespace CV {

class FirmwareUpdaterConfig;
class StateProbe;
class UpdateWizardMainWidget;

class FirmwareUpdaterApp : public TOV::App {
public:
    // Commands of the Help menu.
    enum : int { eCommandKnowledgeBase = 40000, eCommandHomePage = 40001 };
    // The About item of the application menu ('abou').
    static constexpr int kCommandAbout = 0x61626f75;

    static constexpr const char* kStyleSheetFile = "FirmwareUpdaterStyles.txt";
    static constexpr const char* kRootWidgetId = "FirmwareUpdaterMainWidget";
    static constexpr int kWindowWidth = 627;
    static constexpr int kWindowHeight = 335;
    // How long a second copy tries to reach the first.
    static constexpr std::chrono::milliseconds kRequestLimit{1000};
    static constexpr const char* kQuitQuestion =
        "An update is currently in progress. Interrupting the update process may damage the device.\n"
        "Do you really want to quit ?";

    explicit FirmwareUpdaterApp(FirmwareUpdaterConfig const& config);
    ~FirmwareUpdaterApp() override;

    bool init() override;
    void deInit(bool initResult) override;
    bool onEvent(unsigned code, FEN::EventData* data) override;

    // The next quit request comes from outside (a signal: nobody may be
    // there to answer): a running update is let end as after a Yes,
    // without the question.
    void quitWithoutQuestion() { m_bAskBeforeQuit = false; }

private:
    std::shared_ptr<UpdateWizardMainWidget> createWizard();
    void startProbe(std::shared_ptr<UpdateWizardMainWidget> const& wizard);
    void buildMenu();
    void bringRunningCopyForward();
    void listenForLaterCopies();
    void createMainWindow(std::shared_ptr<TOV::Widget> const& root);
    bool onMayQuit(FEN::EventData* data);
    bool onEventWhileQuitting(unsigned code, FEN::EventData* data);
    bool onCommand(int command);

    boost::function<void()> m_fnShowAbout;
    FirmwareUpdaterConfig const& m_config;
    std::unique_ptr<StateProbe> m_pProbe;
    std::unique_ptr<platform::InstanceChannel> m_pInstanceChannel;
    bool m_bAskBeforeQuit = true;
};

} // namespace CV
