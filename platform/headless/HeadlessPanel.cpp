#include "platform/headless/HeadlessPanel.h"

#include "platform/runloop/MainLoop.h"

namespace platform::headless {

peer::PanelResult HeadlessPanel::runModal(const peer::PanelOptions& options)
{
    PanelScript& script = *m_script;
    script.shown.push_back(options);
    script.running = true;
    MainLoop::instance().runUntil([&] { return !script.answers.empty(); }, script.timeout, RunLoopMode::ModalPanel);
    script.running = false;
    if (script.answers.empty())
        return peer::PanelResult{};
    peer::PanelResult answer = script.answers.front();
    script.answers.pop_front();
    return answer;
}

} // namespace platform::headless
