#pragma once
// The backend without a display: alerts on standard error answered by
// their default button.
#include "platform/backend/Backend.h"

namespace platform::headless {

class HeadlessBackend : public Backend {
public:
    // Selects a fresh headless backend and returns it.
    static HeadlessBackend& select();

    const char* name() const override { return "headless"; }
    std::unique_ptr<AlertPresenter> createAlertPresenter() override;
};

} // namespace platform::headless
