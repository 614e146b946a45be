#pragma once
// The backend without a display: windows as records with framebuffers on
// virtual screens, the menu bar as an in-memory tree, pasteboards in the
// process, scripted drags, panels and power events, readable cursor state;
// alerts on standard error answered by their default button. Tests reach
// all of it through the test driver (TestDriver.h).
#include "platform/backend/Backend.h"
#include "platform/headless/HeadlessAlertPresenter.h"
#include "platform/headless/HeadlessCursor.h"
#include "platform/headless/HeadlessDesktop.h"
#include "platform/headless/HeadlessDragSession.h"
#include "platform/headless/HeadlessMenuBar.h"
#include "platform/headless/HeadlessPanel.h"
#include "platform/headless/HeadlessPower.h"
#include "platform/headless/HeadlessScreens.h"
#include "platform/pasteboard/InProcessPasteboards.h"

#include <memory>

namespace platform::headless {

class HeadlessWindow;

class HeadlessBackend : public Backend {
public:
    HeadlessBackend();
    ~HeadlessBackend() override;

    // Selects a fresh headless backend and returns it.
    static HeadlessBackend& select();

    const char* name() const override { return "headless"; }
    std::unique_ptr<AlertPresenter> createAlertPresenter() override;
    std::unique_ptr<peer::WindowPeer> createWindow(const peer::WindowSpec& spec,
                                                   const peer::WindowClients& clients) override;
    std::unique_ptr<peer::PanelPeer> createPanel() override;
    peer::ScreensPeer& screens() override { return m_screens; }
    HeadlessMenuBar& menuBar() override { return m_menuBar; }
    HeadlessCursor& cursor() override { return m_cursor; }
    pasteboard::InProcessPasteboard& pasteboard(const std::string& name) override;
    HeadlessDragSession& dragSession() override { return m_drag; }
    HeadlessPower& power() override { return m_power; }

    HeadlessDesktop& desktop() { return *m_desktop; }
    PanelScript& panels() { return *m_panels; }
    const AlertsShown& alertsShown() const { return *m_alertsShown; }

private:
    std::shared_ptr<HeadlessDesktop> m_desktop;
    HeadlessScreens m_screens;
    HeadlessMenuBar m_menuBar;
    HeadlessCursor m_cursor;
    pasteboard::InProcessPasteboards m_pasteboards;
    HeadlessDragSession m_drag;
    HeadlessPower m_power;
    std::shared_ptr<PanelScript> m_panels;
    std::shared_ptr<AlertsShown> m_alertsShown;
};

} // namespace platform::headless
