#pragma once
// The platform side of a framework window. Pure operations are the
// platform's; the others have portable defaults.
#include "BAS/Point.h"
#include "BAS/Rect.h"
#include "FEN/Forward.h"

namespace CV {
namespace FEN {
namespace DETAIL {

class WindowImpl {
public:
    explicit WindowImpl(WindowBase& window)
        : m_window(window)
    {
    }
    WindowImpl(WindowImpl const&) = delete;
    WindowImpl& operator=(WindowImpl const&) = delete;
    virtual ~WindowImpl();

    virtual bool updateOffscreenPicture(Picture const& picture) = 0;
    virtual bool isVisible() const = 0;
    virtual void setTitle(const char* title) = 0;
    virtual void setMenu(HMenuBar const& menu) = 0;
    virtual void setWindowIcon(AppModule* module, int id) = 0;
    virtual void setCursor(void* cursor) = 0;
    virtual void resetCursor() = 0;
    virtual void show(bool show) = 0;
    virtual void activate() = 0;
    virtual void destroy() = 0;
    virtual void maximize() { }
    virtual void minimize() { }
    virtual void normalSize() { }
    // With a normal size: IdealSize asked and, when handled, applied.
    virtual void idealSize();
    virtual bool isMaximized() const { return false; }
    virtual bool isMinimized() const { return false; }
    virtual bool isNormalSize() const { return !isMinimized() && !isMaximized(); }
    virtual bool isIdealSize() const;
    virtual void invalidate() = 0;
    virtual void invalidateRect(BAS::Rect const& rect) = 0;
    virtual void invalidateRegion(BAS::Region const& region);
    virtual void update() = 0;
    virtual void onSetParent(WindowBase* parent);
    virtual void getRect(BAS::Rect& rect, bool content) const = 0;
    virtual void setRect(BAS::Rect const& rect, bool content) = 0;
    virtual BAS::Point getPosition(bool content) const;
    virtual void setPosition(BAS::Point const& position, bool content);
    virtual BAS::Point getSize(bool content) const;
    virtual void setSize(BAS::Point const& size, bool content);
    virtual float getBackingScaleFactor() const { return 1.0f; }
    virtual void getNormalSizeRect(BAS::Rect& rect, bool content) const { getRect(rect, content); }
    virtual void setNormalSizeRect(BAS::Rect const& rect, bool content) { setRect(rect, content); }
    virtual void getState(WindowState& state) = 0;
    virtual void restoreState(WindowState const& state) = 0;
    virtual void setFullScreenMode(BAS::Point const&) { }
    virtual bool isFullScreenMode() const { return false; }
    virtual void resetFullScreenMode() { }
    virtual void toScreen(BAS::Point& point) const = 0;
    virtual void toScreen(BAS::Rect& rect) const = 0;
    virtual void fromScreen(BAS::Point& point) const = 0;
    virtual void setKeyFocus() = 0;
    virtual bool releaseKeyFocus() = 0;
    virtual void setTrackMouseGlobal(bool) { }
    virtual void startRelativeMouseMove() { }
    virtual void stopRelativeMouseMove() { }
    virtual void textInputResetMarkedRange() { }
    virtual void setModified(bool modified) = 0;
    // The one path of window events from the platform: the window first,
    // then, when bubble is set and the window did not handle it, the
    // application.
    bool sendEvent(unsigned code, EventData* data, bool bubble);
    virtual bool isCocoa() const { return true; }

    void setDeleteWindowObject(bool deleteWindowObject) { m_bDeleteWindowObject = deleteWindowObject; }
    bool getDeleteWindowObject() const { return m_bDeleteWindowObject; }
    WindowBase& getWindow() const { return m_window; }

protected:
    WindowBase& m_window;
    bool m_bDeleteWindowObject = false;
};

} // namespace DETAIL
} // namespace FEN
} // namespace CV
