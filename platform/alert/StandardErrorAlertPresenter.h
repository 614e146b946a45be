#pragma once
// Alerts that nobody is asked about: the heading and the informative text
// go to a stream (standard error), followed by "[answered: <label>]", and
// the default button answers. It answers the alerts run off the main
// thread, on every backend.
#include "platform/alert/AlertPresenter.h"

#include <cstdio>

namespace platform {

class StandardErrorAlertPresenter : public AlertPresenter {
public:
    explicit StandardErrorAlertPresenter(std::FILE* output = stderr)
        : m_output(output)
    {
    }
    int present(const Alert& alert) override;

    // Writes the alert's texts and the label of the button tagged answer.
    static void write(std::FILE* output, const Alert& alert, int answer);

private:
    std::FILE* m_output;
};

} // namespace platform
