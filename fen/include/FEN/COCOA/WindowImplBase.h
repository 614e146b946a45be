#pragma once
// The platform window implementation: the native window, its content view
// (which is also the window's delegate) and the drawing context; geometry
// converted between the framework's top-down integer screen coordinates
// (origin at the first screen's top-left) and the platform's bottom-up
// rectangles of doubles; window notifications turned into window events.
#include "FEN/DETAIL/WindowImpl.h"
#include "platform/cg/CGGeometry.h"

#include <objc/runtime.h>

namespace CV {
namespace FEN {
namespace COCOA {

class WindowImplBase : public DETAIL::WindowImpl {
public:
    enum eWindowClass { eNormal = 0, ePanel = 1, ePlain = 2, eOverlayPanel = 3 };

    explicit WindowImplBase(WindowBase& window);
    // Detaches a remaining view and deletes the drawing context.
    ~WindowImplBase() override;

    bool updateOffscreenPicture(Picture const&) override { return false; }
    bool isVisible() const override;
    void setTitle(const char* title) override;
    void setMenu(HMenuBar const&) override { }
    void setWindowIcon(AppModule*, int) override { }
    void setCursor(void* cursor) override;
    void resetCursor() override;
    void show(bool show) override;
    void activate() override;
    void destroy() override;
    void maximize() override { }
    void minimize() override;
    void normalSize() override;
    void idealSize() override;
    bool isMaximized() const override { return false; }
    bool isMinimized() const override;
    bool isNormalSize() const override;
    bool isIdealSize() const override;
    void invalidate() override;
    void invalidateRect(BAS::Rect const& rect) override;
    // The region's rectangles reach the content view in one call.
    void invalidateRegion(BAS::Region const& region) override;
    void update() override;
    void onSetParent(WindowBase* parent) override;
    void getRect(BAS::Rect& rect, bool content) const override;
    void setRect(BAS::Rect const& rect, bool content) override;
    BAS::Point getPosition(bool content) const override;
    void setPosition(BAS::Point const& position, bool content) override;
    BAS::Point getSize(bool content) const override;
    void setSize(BAS::Point const& size, bool content) override;
    float getBackingScaleFactor() const override;
    void getState(WindowState& state) override;
    void restoreState(WindowState const& state) override;
    void toScreen(BAS::Point& point) const override;
    void toScreen(BAS::Rect& rect) const override;
    void fromScreen(BAS::Point& point) const override;
    void setKeyFocus() override;
    bool releaseKeyFocus() override { return true; }
    void setTrackMouseGlobal(bool track) override;
    void startRelativeMouseMove() override;
    void stopRelativeMouseMove() override;
    void textInputResetMarkedRange() override;
    void setModified(bool modified) override;
    bool isCocoa() const override { return true; }

    // The native window is gone: tells the window object, deletes it when
    // asked to, then deletes this implementation.
    virtual void onViewDestroyed();

    void attach(id view, id window);
    void attachWindow(id window);
    DeviceContext* attachDCTo(void* graphicsContext);
    void detachDC();
    int getLastMouseButtonDown() const { return m_lastMouseButtonDown; }
    void setLastMouseButtonDown(int button) { m_lastMouseButtonDown = button; }
    id getContentView() const { return m_contentView; }
    id getNativeWindow() const { return m_nativeWindow; }
    void* getCurrentCursor() const { return m_cursor; }
    bool isRelativeMouse() const { return m_bRelativeMouse; }

    // The close road is running for this window (its notifications and a
    // destroy inside it are ignored).
    bool isClosing() const { return m_bClosing; }
    void setClosing() { m_bClosing = true; }

    // The first screen's top edge in the platform's coordinates (0 without
    // screens), and the conversions through it.
    static double firstScreenTop();
    static BAS::Rect toFramework(NSRect frame);
    static NSRect toPlatform(BAS::Rect const& rect);

protected:
    NSRect platformRect(bool content) const;

    id m_contentView = nil;
    id m_nativeWindow = nil;
    void* m_cursor = nullptr;
    DeviceContext* m_dc = nullptr;
    int m_lastMouseButtonDown = 0;
    bool m_bRelativeMouse = false;
    bool m_bClosing = false;
};

} // namespace COCOA
} // namespace FEN
} // namespace CV
