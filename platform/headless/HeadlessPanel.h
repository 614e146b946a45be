#pragma once
// An open or save panel answered by script: it runs a nested loop in the
// modal-panel mode until the test driver gives an answer (timers of that
// mode fire meanwhile), or answers Cancel when none comes within the
// timeout on the loop's clock.
#include "platform/peer/PanelPeer.h"

#include <chrono>
#include <deque>
#include <memory>
#include <optional>

namespace platform::headless {

// The answers waiting for panels, shared by the backend and its panels.
struct PanelScript {
    std::deque<peer::PanelResult> answers;
    std::vector<peer::PanelOptions> shown; // every panel run, in order
    bool running = false;
    std::chrono::nanoseconds timeout = std::chrono::minutes(10);
};

class HeadlessPanel : public peer::PanelPeer {
public:
    explicit HeadlessPanel(std::shared_ptr<PanelScript> script)
        : m_script(std::move(script))
    {
    }
    peer::PanelResult runModal(const peer::PanelOptions& options) override;

private:
    std::shared_ptr<PanelScript> m_script;
};

} // namespace platform::headless
