#pragma once
// Creates the native window of a framework window from its CreateData.
#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/WindowBase.h"

namespace CV {
namespace FEN {
namespace COCOA {

class WindowImpl : public WindowImplBase {
public:
    using WindowImplBase::WindowImplBase;
    ~WindowImpl() override;

    // false when no native window (or no content view) could be made; no
    // native window is then left behind and no event is sent.
    bool createWindow(WindowBase::CreateData const& data, eWindowClass windowClass, bool withView);
    virtual bool createWindowAndAttach(WindowBase::CreateData const& data, eWindowClass windowClass);
    void destroy() override;
    void detachDelegate();

    // The platform style mask of a creation style for a window class.
    static unsigned long styleMaskFor(uint32_t style, eWindowClass windowClass);
    // The window level of a creation style; 0 for the normal level.
    static long levelFor(uint32_t style, eWindowClass windowClass);

    static Class windowClass();
    static Class panelClass();
    static Class overlayPanelClass();
    static Class delegateClass();

private:
    id m_delegate = nil;
};

} // namespace COCOA
} // namespace FEN
} // namespace CV
