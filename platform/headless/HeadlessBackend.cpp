#include "platform/headless/HeadlessBackend.h"

#include "platform/headless/HeadlessAlertPresenter.h"
#include "platform/headless/HeadlessWindow.h"

namespace platform::headless {

HeadlessBackend::HeadlessBackend()
    : m_desktop(std::make_shared<HeadlessDesktop>())
    , m_screens(m_desktop)
    , m_panels(std::make_shared<PanelScript>())
    , m_alertsShown(std::make_shared<AlertsShown>())
{
}

HeadlessBackend::~HeadlessBackend() = default;

HeadlessBackend& HeadlessBackend::select()
{
    return static_cast<HeadlessBackend&>(Backend::select(std::make_unique<HeadlessBackend>()));
}

std::unique_ptr<AlertPresenter> HeadlessBackend::createAlertPresenter()
{
    return std::make_unique<HeadlessAlertPresenter>(stderr, m_alertsShown);
}

std::unique_ptr<peer::WindowPeer> HeadlessBackend::createWindow(const peer::WindowSpec& spec,
                                                                const peer::WindowClients& clients)
{
    return std::make_unique<HeadlessWindow>(m_desktop, spec, clients);
}

std::unique_ptr<peer::PanelPeer> HeadlessBackend::createPanel()
{
    return std::make_unique<HeadlessPanel>(m_panels);
}

pasteboard::InProcessPasteboard& HeadlessBackend::pasteboard(const std::string& name)
{
    return m_pasteboards.named(name);
}

} // namespace platform::headless
