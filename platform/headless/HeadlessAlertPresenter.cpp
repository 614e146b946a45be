#include "platform/headless/HeadlessAlertPresenter.h"

#include "platform/alert/AlertAnswers.h"
#include "platform/alert/StandardErrorAlertPresenter.h"

namespace platform::headless {

int HeadlessAlertPresenter::answerFor(const Alert& alert)
{
    const std::optional<std::string> wanted = AlertAnswers::takeNext();
    if (wanted)
        for (const Alert::Button& button : alert.buttons())
            if (button.label == *wanted)
                return button.tag;
    return alert.defaultTag();
}

int HeadlessAlertPresenter::present(const Alert& alert)
{
    if (m_shown)
        m_shown->headings.push_back(alert.messageText());
    const int answer = answerFor(alert);
    StandardErrorAlertPresenter::write(m_output, alert, answer);
    return answer;
}

} // namespace platform::headless
