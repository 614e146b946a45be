#pragma once
// A desktop window: a GtkWindow holding one GtkDrawingArea, the content
// area. The client draws into a framebuffer of premultiplied B, G, R, A
// words (content size times the scale factor, top row first), kept between
// draws: invalidated areas are drawn into it when GTK asks for a paint (or
// at once with displayNow), and the paint copies it to the window through
// cairo (an RGB surface for opaque windows). GDK's input arrives at the view
// input client in the platform's terms: buttons with click counts of our
// own (GtkSettings' double-click time and distance), motion and drags,
// crossings, wheel turns, keys with virtual key codes from the hardware key
// code and modifier flags (dead accents and the Compose key through GTK's
// simple input method, as marked and committed text); a close request asks
// the window client first.
// Frames are screen points with the first screen's top-left at (0, 0); the
// content area shows the backend's cursor.
#include "platform/gtk/GtkDropTarget.h"
#include "platform/peer/ClickCounter.h"
#include "platform/peer/ViewInputClient.h"
#include "platform/peer/WindowFramebuffer.h"
#include "platform/peer/WindowPeer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <vector>

typedef struct _GtkIMContext GtkIMContext;
typedef struct _GtkWidget GtkWidget;
typedef union _GdkEvent GdkEvent;
typedef struct _cairo cairo_t;

namespace platform::gtk {

class GtkCursor;

class GtkWindowPeer : public peer::WindowPeer {
public:
    // cursor may be null (no cursor is set on the window then).
    GtkWindowPeer(const peer::WindowSpec& spec, const peer::WindowClients& clients, GtkCursor* cursor = nullptr);
    ~GtkWindowPeer() override;
    GtkWindowPeer(const GtkWindowPeer&) = delete;
    GtkWindowPeer& operator=(const GtkWindowPeer&) = delete;

    void setContentFrame(const peer::Rect& frame) override;
    peer::Rect contentFrame() const override { return m_frame; }
    void setTitle(const std::string& title) override;
    void setLevel(int level) override;
    void setResizable(bool resizable) override;
    void show(bool takeFocus) override;
    // Presents the window with the launch's time (from the startup id, else
    // the X server's time now), which also becomes the window's last user
    // time (_NET_WM_USER_TIME), and completes the startup notification.
    void activate(const std::string& startupId) override;
    void hide() override;
    bool isVisible() const override;
    void setMinimized(bool minimized) override;
    bool isMinimized() const override { return m_minimized; }
    void setFullScreen(bool fullScreen) override;
    bool isFullScreen() const override { return m_fullScreen; }
    bool hasFocus() const override { return m_focused; }
    void invalidate(const std::vector<peer::Rect>& region) override;
    void displayNow() override;
    double backingScale() const override { return m_framebuffer.scale(); }
    void close() override;

    // The toolkit's objects (for the backend's other peers and tests).
    GtkWidget* window() const { return m_window; }
    GtkWidget* contentArea() const { return m_area; }

    // Puts a menu bar (held by its owner; null: none) above the content
    // area, which keeps its size; the window grows by the bar's height
    // while the bar is visible. The bar leaves the window before it goes.
    void setMenuBar(GtkWidget* bar);
    GtkWidget* menuBar() const { return m_menuBar; }

private:
    friend struct GtkWindowPeerSignals;

    void connectSignals();
    void moveTo(peer::Point topLeft);
    void applyContentSize();
    int menuBarHeight() const;
    void noteMenuBarShown();
    void resizeFramebuffer(double scale);
    void queueDraw(const std::vector<peer::Rect>& region);
    std::vector<peer::Rect> drawMarked();
    void paint(cairo_t* cr);
    void noteAllocation(int width, int height);
    void noteConfigure();
    void noteScaleFactor();
    void noteWindowState(unsigned changed, unsigned state);
    void noteFocus(bool focused);
    void noteDestroyed();
    bool handleDelete();
    bool handleButton(const GdkEvent& event);
    bool handleMotion(const GdkEvent& event);
    bool handleCrossing(const GdkEvent& event);
    bool handleScroll(const GdkEvent& event);
    bool handleKey(const GdkEvent& event);
    bool composeKey(const GdkEvent& event, peer::KeyInput input);
    void noteComposed(peer::TextInput text);
    void readClickLimits();

    peer::WindowSpec m_spec;
    peer::WindowClients m_clients;
    GtkCursor* m_cursor;
    GtkWidget* m_window = nullptr;
    GtkWidget* m_area = nullptr;
    GtkWidget* m_layout = nullptr; // the menu bar over the content area
    GtkWidget* m_menuBar = nullptr;
    peer::Rect m_frame;
    std::optional<peer::Size> m_resizeAsked; // a size the client answered for a user resize
    bool m_minimized = false;
    bool m_fullScreen = false;
    bool m_focused = false;
    bool m_closed = false;
    bool m_destroyed = false; // by the toolkit, when the window system's window went
    peer::WindowFramebuffer m_framebuffer;
    peer::ClickCounter m_clicks;
    std::optional<peer::Point> m_lastMotion;
    std::set<unsigned> m_keysDown; // hardware key codes held (auto-repeat shows as a second press)
    GtkIMContext* m_inputMethod = nullptr;
    std::unique_ptr<GtkDropTarget> m_dropTarget; // the content area, for the drag client
    bool m_composing = false; // the input method shows marked text
    bool m_filtering = false; // a key is with the input method
    std::vector<peer::TextInput> m_composed; // its answers to the key being filtered
};

} // namespace platform::gtk
