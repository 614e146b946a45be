#pragma once
// One private X server and the desktop backend on it for the whole test
// program: started by the first desktop test that asks, stopped after the
// last test (the toolkit keeps its display for the life of the process).
// Desktop tests skip themselves when no server can run.
#include "VarantoTest/PrivateXServer.h"

#include <chrono>
#include <functional>
#include <string>

namespace desktop_test {

class DesktopSession {
public:
    static DesktopSession& instance();
    static void end();

    bool ready() const { return m_ready; }
    std::string failure() const;
    const CV::test::PrivateXServer& server() const { return m_server; }

    // The window scale of the display (as GDK_SCALE sets it at start).
    static void setScale(int scale);

private:
    DesktopSession();
    ~DesktopSession();

    CV::test::PrivateXServer m_server;
    bool m_ready = false;
};

// How long a test waits for the window system at the most.
constexpr std::chrono::seconds kWaitLimit{15};

// Runs the main loop until done() or the wait limit; whether done() became
// true.
bool pumpUntil(const std::function<bool()>& done);

} // namespace desktop_test
