#pragma once
// The desktop backend: GTK 3 windows and dialogs on the main loop's
// context (GLib's default context) on GDK's X11 backend. Windows, screens,
// the cursor, alerts, open/save panels and the menu bar (in the first
// titled window that has none in it) are GTK's, the general pasteboard is
// the clipboard and drags started here are the toolkit's; every other
// pasteboard lives in the process.
#include "platform/backend/Backend.h"
#include "platform/gtk/GtkCursor.h"
#include "platform/gtk/GtkDragSession.h"
#include "platform/gtk/GtkMenuBarPeer.h"
#include "platform/gtk/GtkPasteboard.h"
#include "platform/gtk/GtkScreens.h"
#include "platform/pasteboard/InProcessPasteboards.h"
#include "platform/power/DesktopPower.h"

#include <memory>
#include <string>

namespace platform::gtk {

class GtkBackend : public Backend {
public:
    // Initialises GTK with the program's arguments (it removes the options
    // it understands); null when no display can be opened. The launch's
    // startup-notification id leaves the environment before, in either case.
    static std::unique_ptr<GtkBackend> create(int& argc, char**& argv);

    const char* name() const override { return "gtk"; }
    std::unique_ptr<AlertPresenter> createAlertPresenter() override;
    std::unique_ptr<peer::WindowPeer> createWindow(const peer::WindowSpec& spec,
                                                   const peer::WindowClients& clients) override;
    std::unique_ptr<peer::PanelPeer> createPanel() override;
    GtkScreens& screens() override { return m_screens; }
    GtkMenuBarPeer& menuBar() override { return m_menuBar; }
    GtkCursor& cursor() override { return m_cursor; }
    // The general pasteboard is the desktop's clipboard; the others (drag
    // data of drags started here, the find pasteboard) live in the process.
    peer::PasteboardPeer& pasteboard(const std::string& name) override;
    peer::DragSessionPeer& dragSession() override;
    peer::PowerPeer& power() override { return m_power; }
    bool dialogHasFocus() const override;
    std::string takeLaunchStartupId() override;
    // A message box or file chooser of the process: the focus coming to it
    // or leaving it makes the application look again whether it is active
    // (the focus may go from it straight to another program).
    static void followFocusOf(GtkWidget* dialog);

private:
    GtkBackend(GdkDisplay* display, const std::string& startupId);
    GtkScreens m_screens;
    GtkCursor m_cursor;
    DesktopPower m_power;
    std::unique_ptr<GtkPasteboard> m_clipboard;
    pasteboard::InProcessPasteboards m_inProcess;
    std::unique_ptr<GtkDragSession> m_dragSession;
    GtkMenuBarPeer m_menuBar;
    std::string m_launchStartupId;
};

// The start-up choice of an application (main thread, before any window):
// VARANTO_PLATFORM_BACKEND=headless selects the headless backend; otherwise
// (or with "desktop") the desktop. Null when GTK cannot open a display:
// nothing is selected then, and displayTriedAtStart() names the display.
// Unless headless, GTK takes its own options out of the arguments (also
// when it cannot open a display).
Backend* selectBackendAtStart(int& argc, char**& argv);

// The display the desktop backend tried to open at start: the --display
// option's, else DISPLAY's; "" when neither names one.
std::string displayTriedAtStart();

// The name of the program and the class of its windows (both parts of
// WM_CLASS), whatever name the program was started by; before
// selectBackendAtStart.
void setProgramClass(const char* name);

} // namespace platform::gtk
