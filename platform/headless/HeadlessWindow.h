#pragma once
// A window without a display: a record on the virtual screens with a
// framebuffer of premultiplied B, G, R, A words (top row first, content
// size times the backing scale) that tests read. Invalidated areas are
// drawn on the main loop (or at once with displayNow); the test driver
// delivers input through the window's clients, button presses counted into
// clicks here as the desktop peer counts them.
#include "platform/peer/ClickCounter.h"
#include "platform/peer/DragSessionPeer.h"
#include "platform/peer/ViewInputClient.h"
#include "platform/peer/WindowFramebuffer.h"
#include "platform/peer/WindowPeer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace platform::headless {

class HeadlessDesktop;

class HeadlessWindow : public peer::WindowPeer {
public:
    HeadlessWindow(std::shared_ptr<HeadlessDesktop> desktop, const peer::WindowSpec& spec,
                   const peer::WindowClients& clients);
    ~HeadlessWindow() override;

    void setContentFrame(const peer::Rect& frame) override;
    peer::Rect contentFrame() const override { return m_frame; }
    void setTitle(const std::string& title) override { m_title = title; }
    void setLevel(int level) override { m_spec.level = level; }
    void setResizable(bool resizable) override { m_spec.resizable = resizable; }
    void show(bool takeFocus) override;
    void hide() override;
    bool isVisible() const override { return m_visible && !m_minimized; }
    void setMinimized(bool minimized) override;
    bool isMinimized() const override { return m_minimized; }
    void setFullScreen(bool fullScreen) override;
    bool isFullScreen() const override { return m_fullScreen; }
    bool hasFocus() const override;
    void invalidate(const std::vector<peer::Rect>& region) override;
    void displayNow() override;
    double backingScale() const override { return m_framebuffer.scale(); }
    void close() override;

    // What tests read.
    const peer::WindowSpec& spec() const { return m_spec; }
    const std::string& title() const { return m_title; }
    int pixelWidth() const { return m_framebuffer.pixelWidth(); }
    int pixelHeight() const { return m_framebuffer.pixelHeight(); }
    // The framebuffer word at pixel (x, y), top row 0.
    std::uint32_t pixel(int x, int y) const { return m_framebuffer.pixel(x, y); }
    const std::vector<std::uint32_t>& framebuffer() const { return m_framebuffer.pixels(); }
    bool needsDisplay() const { return m_framebuffer.hasMarked(); }
    // The region marked for drawing (top-down content points).
    const std::vector<peer::Rect>& markedRegion() const { return m_framebuffer.marked(); }

    // What the user does, as the test driver scripts it.
    peer::ViewInputClient* input() const { return m_clients.input; }
    // A button pressed or released; presses are counted into clicks on
    // the main loop's clock.
    void userMouseButton(bool down, int button, peer::Point at, std::uint64_t modifiers);
    // The pointer left the content: a click series ends.
    void userLeave(peer::Point at);
    peer::DragDestinationClient* dragDestination() const { return m_clients.drag; }
    // The user drags the window edge: the client may adjust the size.
    void userResize(peer::Size content);
    void userMove(peer::Point topLeft);
    // The close button: asks the client and closes when it agrees; true
    // when the window closed.
    bool userClose();

    // From the desktop.
    void focusChanged(bool focused);
    void screensChanged();

private:
    void resizeFramebuffer(double scale);
    void scheduleDisplay();

    std::shared_ptr<HeadlessDesktop> m_desktop;
    peer::WindowSpec m_spec;
    peer::WindowClients m_clients;
    peer::Rect m_frame;
    std::optional<peer::Rect> m_savedFrame; // before full screen
    std::string m_title;
    bool m_visible = false;
    bool m_minimized = false;
    bool m_fullScreen = false;
    bool m_closed = false;
    peer::WindowFramebuffer m_framebuffer;
    peer::ClickCounter m_clicks;
    std::shared_ptr<HeadlessWindow*> m_self; // cleared when destroyed; for posted draws
    bool m_displayPosted = false;
};

} // namespace platform::headless
