#include "platform/alert/StandardErrorAlertPresenter.h"

#include <string>

namespace platform {

int StandardErrorAlertPresenter::present(const Alert& alert)
{
    const int answer = alert.defaultTag();
    write(m_output, alert, answer);
    return answer;
}

void StandardErrorAlertPresenter::write(std::FILE* output, const Alert& alert, int answer)
{
    std::string label;
    for (const Alert::Button& button : alert.buttons())
        if (button.tag == answer && label.empty())
            label = button.label;
    std::fprintf(output, "%s\n", alert.messageText().c_str());
    if (!alert.informativeText().empty())
        std::fprintf(output, "%s\n", alert.informativeText().c_str());
    std::fprintf(output, "[answered: %s]\n", label.c_str());
    std::fflush(output);
}

} // namespace platform
