#pragma once
// Alerts without a display: heading and text on standard error, answered
// by the next scripted answer (a button label) when one is waiting and
// names a button of the alert, else by the default button.
#include "platform/alert/AlertPresenter.h"

#include <cstdio>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace platform::headless {

// Answers waiting for alerts, and the headings of the alerts shown.
struct AlertScript {
    std::deque<std::string> answers;
    std::vector<std::string> shown;
};

class HeadlessAlertPresenter : public AlertPresenter {
public:
    explicit HeadlessAlertPresenter(std::FILE* output = stderr, std::shared_ptr<AlertScript> script = nullptr)
        : m_output(output)
        , m_script(std::move(script))
    {
    }
    int present(const Alert& alert) override;

private:
    int answerFor(const Alert& alert);

    std::FILE* m_output;
    std::shared_ptr<AlertScript> m_script;
};

} // namespace platform::headless
