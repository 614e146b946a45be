#pragma once
// The backend that serves everything of the layer that shows something or
// takes input: one object with a factory per kind of peer, selected once,
// explicitly, at start-up on the main thread.
//
//   headless (platform/headless): virtual screens, windows as records with
//     framebuffers, scripted input and answers; what tests select.
//   desktop (platform/gtk, library varanto_platform_gtk): GTK 3 on the main
//     loop's context; an application selects it with
//     platform::gtk::selectBackendAtStart(argc, argv), which selects the
//     headless one instead when the environment variable
//     VARANTO_PLATFORM_BACKEND says "headless", and none without a display.
//
// Nothing outside backend creation asks which backend runs: the rest of
// the layer asks the current backend for peers.
#include "platform/peer/CursorPeer.h"
#include "platform/peer/DragSessionPeer.h"
#include "platform/peer/MenuBarPeer.h"
#include "platform/peer/PanelPeer.h"
#include "platform/peer/PasteboardPeer.h"
#include "platform/peer/PowerPeer.h"
#include "platform/peer/ScreensPeer.h"
#include "platform/peer/WindowPeer.h"

#include <memory>
#include <string>

namespace platform {

class AlertPresenter;

class Backend {
public:
    virtual ~Backend() = default;

    // A short name for diagnostics ("headless", "gtk").
    virtual const char* name() const = 0;

    virtual std::unique_ptr<AlertPresenter> createAlertPresenter() = 0;
    virtual std::unique_ptr<peer::WindowPeer> createWindow(const peer::WindowSpec& spec,
                                                           const peer::WindowClients& clients) = 0;
    virtual std::unique_ptr<peer::PanelPeer> createPanel() = 0;
    // The process-wide surfaces, owned by the backend.
    virtual peer::ScreensPeer& screens() = 0;
    virtual peer::MenuBarPeer& menuBar() = 0;
    virtual peer::CursorPeer& cursor() = 0;
    // The pasteboard of that name (made on first use).
    virtual peer::PasteboardPeer& pasteboard(const std::string& name) = 0;
    virtual peer::DragSessionPeer& dragSession() = 0;
    virtual peer::PowerPeer& power() = 0;
    // Whether one of the process's own dialogs (not a window of a peer) has
    // the keyboard focus.
    virtual bool dialogHasFocus() const { return false; }
    // The desktop's startup-notification id of this process's launch (what
    // the launcher set in DESKTOP_STARTUP_ID) the first time it is asked
    // for, empty after that or when there is none. The variable is no
    // longer in the environment, so child processes do not inherit it.
    virtual std::string takeLaunchStartupId() { return {}; }

    // The selected backend; selects the headless one when none was.
    static Backend& current();
    // Makes backend the current one (main thread, at start-up or in a test's
    // set-up) and returns it. What the previous backend made must be gone.
    static Backend& select(std::unique_ptr<Backend> backend);
};

} // namespace platform
