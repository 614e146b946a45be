#pragma once
// Alerts without a display: heading and text on standard error, answered
// by the next answer handed in ahead (AlertAnswers) when one is waiting and
// names a button of the alert, else by the default button.
#include "platform/alert/AlertPresenter.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace platform::headless {

// The headings of the alerts shown, in order.
struct AlertsShown {
    std::vector<std::string> headings;
};

class HeadlessAlertPresenter : public AlertPresenter {
public:
    explicit HeadlessAlertPresenter(std::FILE* output = stderr, std::shared_ptr<AlertsShown> shown = nullptr)
        : m_output(output)
        , m_shown(std::move(shown))
    {
    }
    int present(const Alert& alert) override;

private:
    static int answerFor(const Alert& alert);

    std::FILE* m_output;
    std::shared_ptr<AlertsShown> m_shown;
};

} // namespace platform::headless
