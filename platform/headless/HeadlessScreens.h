#pragma once
// The virtual screens of the headless desktop.
#include "platform/headless/HeadlessDesktop.h"
#include "platform/peer/ScreensPeer.h"

#include <memory>

namespace platform::headless {

class HeadlessScreens : public peer::ScreensPeer {
public:
    explicit HeadlessScreens(std::shared_ptr<HeadlessDesktop> desktop)
        : m_desktop(std::move(desktop))
    {
    }
    std::vector<peer::ScreenInfo> screens() const override { return m_desktop->screens(); }
    void setReconfigurationHandler(std::function<void()> handler) override
    {
        m_desktop->setReconfigurationHandler(std::move(handler));
    }

private:
    std::shared_ptr<HeadlessDesktop> m_desktop;
};

} // namespace platform::headless
