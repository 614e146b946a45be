#pragma once
// One private X server and the desktop backend on it for the whole test
// program: started by the first desktop test that asks, stopped after the
// last test (the toolkit keeps its display for the life of the process).
// Desktop tests skip themselves when no server can run (or fail where a
// desktop is required: VarantoTest/DesktopUnavailable.h).
#include "VarantoTest/DesktopUnavailable.h"
#include "VarantoTest/PrivateXServer.h"
#include "VarantoTest/Screenshot.h"
#include "VarantoTest/XdotoolInput.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

typedef struct _GtkWidget GtkWidget;

namespace desktop_test {

class DesktopBackendSession {
public:
    static DesktopBackendSession& instance();
    static void end();

    bool ready() const { return m_ready; }
    std::string failure() const;
    const CV::test::PrivateXServer& server() const { return m_server; }

    // The window scale of the display (as GDK_SCALE sets it at start).
    static void setScale(int scale);

private:
    DesktopBackendSession();
    ~DesktopBackendSession();

    CV::test::PrivateXServer m_server;
    bool m_ready = false;
};

// How long a test waits for the window system at the most: long enough for
// a sanitizer build on a busy machine.
constexpr std::chrono::seconds kWaitLimit{60};

// Runs the main loop until done() or the wait limit; whether done() became
// true.
bool pumpUntil(const std::function<bool()>& done);

// The screen's pixels of an area (points), read back from the X server.
using CV::test::Screenshot;

// A window manager's close request (WM_DELETE_WINDOW) to a toplevel.
void sendCloseRequest(GtkWidget* toplevel);

// The smallest and largest sizes a shown toplevel tells the window manager;
// none when it gives no fixed limits.
struct SizeLimits {
    int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
};
std::optional<SizeLimits> sizeLimits(GtkWidget* toplevel);

// The item of a menu shell that has the label; null when none has.
GtkWidget* menuItemLabelled(GtkWidget* shell, const std::string& label);
// xdotool's command that clicks the middle of a shown, laid-out widget.
std::vector<std::string> clickOnWidget(GtkWidget* widget);

} // namespace desktop_test
