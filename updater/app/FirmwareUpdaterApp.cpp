#include "updater/app/FirmwareUpdaterApp.h"

#include "BAS/Message.h"
#include "FEN/AppModule.h"
#include "FEN/ApplicationInstanceSingleton.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/External.h"
#include "FEN/HMenu.h"
#include "FEN/StandaloneWindow.h"
#include "TOV/StyleSheetManager.h"
#include "TOV/Window.h"
#include "platform/appkit/NSApplication.h"
#include "platform/backend/Backend.h"
#include "platform/system/InstanceChannel.h"
#include "updater/app/ApplicationTexts.h"
#include "updater/app/FirmwareUpdaterConfig.h"
#include "updater/app/probe/StateChannel.h"
#include "updater/app/probe/StateProbe.h"
#include "updater/app/wizard/UpdateWizardMainWidget.h"

#include <cstdio>

namespace CV {

namespace {

using MainWindow = TOV::Window<FEN::StandaloneWindow>;

bool isApplicationEvent(unsigned code)
{
    return code >= FEN::eApplicationEvent::AppActivated && code <= FEN::eApplicationEvent::DisplaysChanged;
}

} // namespace

FirmwareUpdaterApp::FirmwareUpdaterApp(FirmwareUpdaterConfig const& config)
    : m_config(config)
{
}

FirmwareUpdaterApp::~FirmwareUpdaterApp()
{
    m_pProbe.reset();
    m_fnShowAbout.clear();
}

bool FirmwareUpdaterApp::init()
{
    setApplicationTitle(m_config.m_strTitle.c_str());
    if (!FEN::Application::init())
        return false;
    if (FEN::ApplicationInstanceSingleton::hasConflictingInstance(m_config.m_strInstanceId,
                                                                  FEN::ApplicationInstanceSingleton::eSystemWide)) {
        bringRunningCopyForward();
        return false;
    }
    listenForLaterCopies();
    TOV::StyleSheetManager::get().loadDefault(kStyleSheetFile);
    buildMenu();
    std::shared_ptr<UpdateWizardMainWidget> const wizard = createWizard();
    createMainWindow(wizard);
    startProbe(wizard);
    return true;
}

void FirmwareUpdaterApp::deInit(bool initResult)
{
    m_pInstanceChannel.reset();
    m_pProbe.reset();
    FEN::Application::deInit(initResult);
}

bool FirmwareUpdaterApp::onEvent(unsigned code, FEN::EventData* data)
{
    if (m_pProbe && isApplicationEvent(code))
        m_pProbe->noteApplicationEvent(code);
    if (isQuitting())
        return onEventWhileQuitting(code, data);
    if (code == FEN::eApplicationEvent::MayQuit)
        return onMayQuit(data);
    if (code == FEN::eCommandEvent::CommandExecute && data != nullptr &&
        onCommand(static_cast<FEN::CommandEventData*>(data)->command))
        return true;
    return FEN::Application::onEvent(code, data);
}

// Says so and asks the copy that runs to come forward; gives up after a
// short while when that copy does not take the request, and says that too.
void FirmwareUpdaterApp::bringRunningCopyForward()
{
    std::fprintf(stderr, "%s is already running.\n", ApplicationTexts::kAppName);
    std::fflush(stderr);
    if (!platform::InstanceChannel::requestActivation(
            FEN::ApplicationInstanceSingleton::channelPath(m_config.m_strInstanceId),
            platform::Backend::current().takeLaunchStartupId(), kRequestLimit))
        std::fprintf(stderr, "%s is running but did not answer; its window was not brought forward.\n",
                     ApplicationTexts::kAppName);
}

// A later copy's request activates the application as the launch did.
void FirmwareUpdaterApp::listenForLaterCopies()
{
    if (m_config.m_strInstanceId.empty())
        return;
    m_pInstanceChannel = std::make_unique<platform::InstanceChannel>(
        FEN::ApplicationInstanceSingleton::channelPath(m_config.m_strInstanceId),
        [](std::string const& startupId) { platform::appkit::NSApplication::activateForLaunch(startupId); });
}

// The wizard shows its first page and scans once for a keyboard, before the
// window exists. The show-about callback keeps it alive with the window.
std::shared_ptr<UpdateWizardMainWidget> FirmwareUpdaterApp::createWizard()
{
    FirmwareUpdaterConfig const& c = m_config;
    auto wizard = std::make_shared<UpdateWizardMainWidget>(c.wizardTexts());
    m_fnShowAbout = [wizard] { wizard->showAbout(); };
    wizard->run(c.m_fnConnectInNormalMode, c.m_fnResetIntoUpdateMode, c.m_fnConnectInUpdateMode, c.m_fnPerformUpdate,
                c.m_fnGetDeviceInfo);
    return wizard;
}

// Only when a test asks for the state channel.
void FirmwareUpdaterApp::startProbe(std::shared_ptr<UpdateWizardMainWidget> const& wizard)
{
    std::unique_ptr<StateChannel> channel = StateChannel::fromEnvironment();
    if (!channel)
        return;
    std::weak_ptr<UpdateWizardMainWidget> const weak = wizard;
    m_pProbe = std::make_unique<StateProbe>(std::move(channel), wizard, [weak] {
        std::shared_ptr<UpdateWizardMainWidget> const alive = weak.lock();
        return alive ? static_cast<int>(alive->getPage()) : -1;
    });
}

void FirmwareUpdaterApp::buildMenu()
{
    FEN::HMenuBar bar;
    bar.create();
    FEN::HPopupMenu help;
    help.create();
    help.insertCommandAt(-1, "Visit the Knowledge Base", eCommandKnowledgeBase, 0, 0);
    help.insertCommandAt(-1, "Visit Calvarine on the web", eCommandHomePage, 0, 0);
    bar.insertSubMenuAt(-1, "&Help", help);
    setMenu(bar);
}

// The window deletes itself with its platform window; the application does
// not own it.
void FirmwareUpdaterApp::createMainWindow(std::shared_ptr<TOV::Widget> const& root)
{
    auto* window = new MainWindow;
    window->setAutoDelete(true);
    window->setRoot(root, kRootWidgetId);
    FEN::Window::CreateData data;
    data.setTitle(m_config.m_strWindowTitle.c_str());
    data.style = FEN::eWindowStyle::NotResizable;
    data.rect = {0, 0, kWindowWidth, kWindowHeight};
    data.flags |= FEN::Window::CreateData::SizeFromRect | FEN::Window::CreateData::Reserved;
    window->create(data);
    window->setWindowIcon(FEN::AppModule::getCurrentModule(), 1);
    window->show(true);
}

// While an update runs the user decides (unless the request came from
// outside); a quit that goes on lets the worker finish its final wait first.
bool FirmwareUpdaterApp::onMayQuit(FEN::EventData* data)
{
    if (!m_config.m_fnIsUpdateRunning())
        return FEN::Application::onEvent(FEN::eApplicationEvent::MayQuit, data);
    BAS::Message::eButton const answer = m_bAskBeforeQuit
        ? BAS::Message::show(kQuitQuestion, BAS::Message::eTypeYesNo, BAS::Message::eButtonNo,
                             BAS::Message::eIconInformation)
        : BAS::Message::eButtonYes;
    if (answer == BAS::Message::eButtonNo) {
        if (data != nullptr)
            static_cast<FEN::AnswerEventData*>(data)->answer = false;
        return true;
    }
    m_config.m_fnApplicationCloseRequest();
    return true;
}

// The quit goes on: commands are swallowed, and a close request of the
// window is refused so that it stays on the screen while the update ends.
bool FirmwareUpdaterApp::onEventWhileQuitting(unsigned code, FEN::EventData* data)
{
    if (code == FEN::eApplicationEvent::MayQuit) {
        if (data != nullptr)
            static_cast<FEN::AnswerEventData*>(data)->answer = false;
        return true;
    }
    if (code == FEN::eCommandEvent::CommandExecute)
        return true;
    return FEN::Application::onEvent(code, data);
}

bool FirmwareUpdaterApp::onCommand(int command)
{
    switch (command) {
    case eCommandKnowledgeBase: FEN::External::openURL(ApplicationTexts::kKnowledgeBaseUrl); return true;
    case eCommandHomePage: FEN::External::openURL(ApplicationTexts::kHomePageUrl); return true;
    case kCommandAbout:
        if (m_fnShowAbout)
            m_fnShowAbout();
        return true;
    default: return false;
    }
}

} // namespace CV
