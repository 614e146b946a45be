#include "FEN/Application.h"

#include "FEN/AppModule.h"
#include "FEN/DETAIL/ImplApplication.h"
#include "FEN/DisplayManager.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/IDragDropDelegate.h"
#include "FEN/MainWindow.h"
#include "FEN/Window.h"
#include "platform/runloop/MainLoop.h"

#include <algorithm>

namespace CV {
namespace FEN {

std::list<Window*> Application::s_windows;

Application::Application()
    : m_powerManager([this] { onSystemSleep(); }, [this] { onSystemWake(); })
{
    setDragDropDelegate(makeWindowingDragDropDelegate());
    m_pImpl = std::make_unique<DETAIL::ImplApplication>(*this);
}

Application::~Application()
{
    m_pImpl.reset();
}

Application* Application::getApplication()
{
    AppModule* module = AppModule::getCurrentModule();
    if (module == nullptr)
        return nullptr;
    return dynamic_cast<Application*>(module->getApplication());
}

bool Application::sendEvent(unsigned code, EventData* data)
{
    const bool wasQuitting = m_bQuit;
    const bool result = sendWndEvent(code, data, WndEventExtra{m_pMainWindow});
    if (!wasQuitting && m_bQuit)
        m_pImpl->scheduleTerminate();
    return result;
}

bool Application::sendWndEvent(unsigned code, EventData* data, WndEventExtra const& extra)
{
    return onWndEvent(code, data, extra);
}

bool Application::onWndEvent(unsigned code, EventData* data, WndEventExtra const& extra)
{
    if (isCommandEvent(code) && extra.window != nullptr && extra.window->sendEvent(code, data))
        return true;
    return onEvent(code, data);
}

bool Application::onEvent(unsigned code, EventData* data)
{
    if (code != eCommandEvent::CommandExecute || data == nullptr ||
        static_cast<CommandEventData*>(data)->command != eStdCommand::Quit)
        return false;
    AnswerEventData mayQuit;
    onEvent(eApplicationEvent::MayQuit, &mayQuit);
    if (mayQuit.answer) {
        m_pMainWindow = nullptr;
        m_bQuit = true;
    }
    return true;
}

bool Application::init()
{
    DisplayManager::init();
    return true;
}

void Application::deInit(bool)
{
    DisplayManager::deInit();
}

void Application::postQuit()
{
    m_bQuit = true;
    m_pImpl->postCommandExecuteEvent(eStdCommand::Quit);
}

void Application::executeOnMainThread(std::function<void()> function)
{
    if (!function)
        return;
    platform::MainLoop::instance().post(std::move(function));
}

std::string Application::getHostName()
{
    return "Standalone";
}

int Application::getHostVersion()
{
    return 0;
}

std::string Application::getHostVersionString()
{
    return std::string();
}

unsigned Application::getMasterTimerTimeout() const
{
    return m_timerManager.getMasterTimerTimeout();
}

void Application::setMasterTimerTimeout(unsigned ms)
{
    m_timerManager.setMasterTimerTimeout(ms);
}

void Application::addWindow(Window* window)
{
    if (window != nullptr && std::find(s_windows.begin(), s_windows.end(), window) == s_windows.end())
        s_windows.push_back(window);
}

void Application::removeWindow(Window* window)
{
    s_windows.remove(window);
}

std::list<Window*> const& Application::getWindows()
{
    return s_windows;
}

void Application::destroyAllWindows()
{
    if (Application* application = getApplication())
        application->setMainWindow(nullptr);
    while (!s_windows.empty()) {
        Window* window = s_windows.front();
        s_windows.pop_front();
        if (window->getImpl() != nullptr)
            window->destroy();
    }
}

void Application::setMenu(HMenuBar const& bar)
{
    m_menuBar = bar;
    if (bar.getPlatformMenu() != nil)
        m_pImpl->setMainMenu(bar.getPlatformMenu());
    for (auto const& [shortcut, command] : HMenu::s_mapCommandShortcuts)
        m_accelerators.add(shortcut, command);
}

} // namespace FEN
} // namespace CV
