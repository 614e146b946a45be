#include "platform/headless/HeadlessBackend.h"

#include "platform/headless/HeadlessAlertPresenter.h"

namespace platform::headless {

HeadlessBackend& HeadlessBackend::select()
{
    return static_cast<HeadlessBackend&>(Backend::select(std::make_unique<HeadlessBackend>()));
}

std::unique_ptr<AlertPresenter> HeadlessBackend::createAlertPresenter()
{
    return std::make_unique<HeadlessAlertPresenter>();
}

} // namespace platform::headless
