#pragma once
// Answers handed in ahead for the next alerts, as button labels: what a
// test, or a program driven from outside, says the user will press. They
// are taken in order by the presenter that has no user to ask (headless);
// a label that names no button of its alert is used up and the default
// button answers. Kept for the process, on the main thread.
#include <optional>
#include <string>

namespace platform {

class AlertAnswers {
public:
    static void add(std::string label);
    // The next waiting label, taken; none when none waits.
    static std::optional<std::string> takeNext();
    static void clear();
};

} // namespace platform
