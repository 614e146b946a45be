#include "platform/headless/HeadlessAlertPresenter.h"

namespace platform::headless {

int HeadlessAlertPresenter::answerFor(const Alert& alert)
{
    if (!m_script)
        return alert.defaultTag();
    m_script->shown.push_back(alert.messageText());
    if (m_script->answers.empty())
        return alert.defaultTag();
    const std::string wanted = m_script->answers.front();
    m_script->answers.pop_front();
    for (const Alert::Button& button : alert.buttons())
        if (button.label == wanted)
            return button.tag;
    return alert.defaultTag();
}

int HeadlessAlertPresenter::present(const Alert& alert)
{
    const int answer = answerFor(alert);
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
