#pragma once
// The desktop backend (GTK) on a private X server of the test program's
// own. The server starts when the first test asks for it and stops after
// the last test; the toolkit keeps its display for the life of the
// process. A test may run on the headless backend in between (a headless
// TestDriver selects it); select() makes a desktop backend current again.
#include "VarantoTest/DesktopUnavailable.h"
#include "VarantoTest/PrivateXServer.h"

#include <chrono>
#include <functional>
#include <string>

namespace CV::TOV::TEST {

class DesktopBackend {
public:
    // The program's one session.
    static DesktopBackend& instance();
    // Selects the headless backend and stops the server.
    static void end();

    bool serverRunning() const { return m_server.running(); }
    // Why the desktop cannot be used.
    std::string failure() const;
    // Makes a desktop backend on the server the current backend; false when
    // there is no server or the toolkit cannot open its display.
    bool select();
    // The window scale of the display (as GDK_SCALE sets it at start).
    static void setScale(int scale);

    // Runs the real main loop until done() or the wait limit; whether done()
    // became true.
    static bool runUntil(std::function<bool()> const& done);
    // How long a test waits for the window system at the most: long enough
    // for a sanitizer build on a busy machine.
    static constexpr std::chrono::seconds kWaitLimit{60};

private:
    DesktopBackend() = default;

    CV::test::PrivateXServer m_server;
    bool m_bDisplayFailed = false;
};

} // namespace CV::TOV::TEST
