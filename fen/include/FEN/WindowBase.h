#pragma once
// A framework window: a portable object that receives events and forwards
// every platform request to its platform implementation (null until the
// native window is created and again after it is gone; the requests then
// do nothing).
//
// Class chain: EventTarget <- WindowBase <- Window (listed by the
// application) <- MainWindow (closing becomes an application request) <-
// StandaloneWindow (a top-level window that becomes the main window).
#include "BAS/Point.h"
#include "BAS/Rect.h"
#include "FEN/EventTarget.h"
#include "FEN/WindowState.h"
#include "FEN/WindowStyle.h"

#include <cstdint>
#include <objc/runtime.h>
#include <vector>

namespace CV {
namespace FEN {

class WindowBase : public EventTarget {
public:
    struct CreateData {
        enum : uint32_t {
            SizeFromRect = 0x1,
            PositionFromRect = 0x2,
            // Not interpreted; the updater's main window sets it.
            Reserved = 0x4,
            HasTitle = 0x10,
        };
        uint32_t flags = 0;
        uint32_t style = 0; // eWindowStyle bits, interpreted by the platform implementation
        BAS::Rect rect{0, 0, 0, 0}; // framework screen coordinates
        std::vector<char> title; // zero-terminated UTF-8

        // Copies the text with its terminator and sets HasTitle.
        void setTitle(const char* text);
        const char* getTitle() const { return title.empty() ? "" : title.data(); }
    };

    WindowBase() = default;
    // Deletes an implementation that is still there.
    ~WindowBase() override;

    virtual void setCursor(void* cursor);
    virtual void resetCursor();

    void destroy();
    // Sends AboutToShow first when a window that is not visible is shown.
    void show(bool show);
    bool isVisible() const;
    void setWindowIcon(AppModule* module, int id);
    void setTitle(const char* title);
    void activate();
    void invalidate();
    void invalidateRect(BAS::Rect const& rect);
    void invalidateRegion(BAS::Region const& region);
    void update();
    BAS::Point getSize(bool content) const;
    void getRect(BAS::Rect& rect, bool content) const;
    void setRect(BAS::Rect const& rect, bool content);
    void toScreen(BAS::Point& point) const;
    void fromScreen(BAS::Point& point) const;
    void setKeyFocus();
    void startRelativeMouseMove();
    void stopRelativeMouseMove();
    bool isFullScreenMode() const;
    void setFullScreenMode(BAS::Point const& point);
    void resetFullScreenMode();
    // 1.0 without an implementation.
    float getBackingScaleFactor() const;
    void textInputResetMarkedRange();
    bool updateOffscreenPicture(Picture const& picture);

    bool useOffscreenPictureInsteadOfPaintEvent() const { return m_bUseOffscreenPicture; }
    bool hasAlphaBlending() const { return m_bAlphaBlending; }
    void setAlphaBlending(bool alphaBlending) { m_bAlphaBlending = alphaBlending; }
    void setAutoDelete(bool autoDelete);
    bool getAutoDelete() const { return m_bAutoDelete; }
    TextInputBase* getTextInputClient() const { return m_pTextInputClient; }
    void setTextInputClient(TextInputBase* client) { m_pTextInputClient = client; }

    // Called by the implementation when the native window is gone.
    void onImplDestroyed() { m_pImpl = nullptr; }
    DETAIL::WindowImpl* getImpl() const { return m_pImpl; }
    // The content view of the platform implementation; nil without one.
    id getNSView() const;

    // The state unchanged when its size is not negative and fits within the
    // bounds of all displays; otherwise with size (0, 0).
    static WindowState fixupWindowState(WindowState state);

protected:
    DETAIL::WindowImpl* m_pImpl = nullptr;
    bool m_bAutoDelete = false;
    bool m_bUseOffscreenPicture = false;
    bool m_bAlphaBlending = false;
    TextInputBase* m_pTextInputClient = nullptr;
};

} // namespace FEN
} // namespace CV
