#pragma once
// What a backend does to show an alert.
#include "platform/alert/Alert.h"

namespace platform {

class AlertPresenter {
public:
    virtual ~AlertPresenter() = default;
    // Shows the alert (which has at least one button) and returns the tag of
    // the answer.
    virtual int present(const Alert& alert) = 0;
};

} // namespace platform
