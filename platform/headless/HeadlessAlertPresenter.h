#pragma once
// Alerts without a display: heading and text on standard error, answered
// by the default button.
#include "platform/alert/AlertPresenter.h"

#include <cstdio>

namespace platform::headless {

class HeadlessAlertPresenter : public AlertPresenter {
public:
    explicit HeadlessAlertPresenter(std::FILE* output = stderr)
        : m_output(output)
    {
    }
    int present(const Alert& alert) override;

private:
    std::FILE* m_output;
};

} // namespace platform::headless
