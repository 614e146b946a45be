#include "platform/headless/HeadlessAlertPresenter.h"

namespace platform::headless {

int HeadlessAlertPresenter::present(const Alert& alert)
{
    const int answer = alert.defaultTag();
    std::string label;
    for (const Alert::Button& button : alert.buttons())
        if (button.tag == answer && label.empty())
            label = button.label;
    std::fprintf(m_output, "%s\n", alert.messageText().c_str());
    if (!alert.informativeText().empty())
        std::fprintf(m_output, "%s\n", alert.informativeText().c_str());
    std::fprintf(m_output, "[answered: %s]\n", label.c_str());
    std::fflush(m_output);
    return answer;
}

} // namespace platform::headless
