#pragma once
// The implementation of top-level windows: full-screen support.
#include "FEN/COCOA/WindowImpl.h"

namespace CV {
namespace FEN {
namespace COCOA {

class StandaloneWindowImpl : public WindowImpl {
public:
    using WindowImpl::WindowImpl;

    // With the full-screen-primary behaviour unless the style forbids
    // resizing (bit 0x1).
    bool createWindowAndAttach(WindowBase::CreateData const& data, eWindowClass windowClass) override;
    void setFullScreenMode(BAS::Point const& point) override;
    bool isFullScreenMode() const override;
    void resetFullScreenMode() override;
};

} // namespace COCOA
} // namespace FEN
} // namespace CV
