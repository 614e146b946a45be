#include "platform/headless/HeadlessWindow.h"

#include "platform/headless/HeadlessDesktop.h"
#include "platform/runloop/MainLoop.h"

#include <algorithm>
#include <chrono>

namespace platform::headless {

HeadlessWindow::HeadlessWindow(std::shared_ptr<HeadlessDesktop> desktop, const peer::WindowSpec& spec,
                               const peer::WindowClients& clients)
    : m_desktop(std::move(desktop))
    , m_spec(spec)
    , m_clients(clients)
    , m_frame(spec.content)
    , m_self(std::make_shared<HeadlessWindow*>(this))
{
    resizeFramebuffer(m_desktop->scaleFor(m_frame));
    m_desktop->add(this);
}

HeadlessWindow::~HeadlessWindow()
{
    *m_self = nullptr;
    m_desktop->remove(this);
}

void HeadlessWindow::resizeFramebuffer(double scale)
{
    m_framebuffer.resize(peer::Size{m_frame.width, m_frame.height}, scale);
}

void HeadlessWindow::setContentFrame(const peer::Rect& frame)
{
    const bool resized = frame.width != m_frame.width || frame.height != m_frame.height;
    m_frame = frame;
    const double scale = m_desktop->scaleFor(m_frame);
    const bool rescaled = scale != m_framebuffer.scale();
    if (resized || rescaled) {
        resizeFramebuffer(scale);
        invalidate({peer::Rect{0, 0, m_frame.width, m_frame.height}});
    }
    if (rescaled && m_clients.window)
        m_clients.window->windowBackingScaleChanged(scale);
}

void HeadlessWindow::show(bool takeFocus)
{
    m_visible = true;
    m_desktop->bringToFront(this);
    if (takeFocus)
        m_desktop->focus(this);
    invalidate({peer::Rect{0, 0, m_frame.width, m_frame.height}});
}

void HeadlessWindow::hide()
{
    m_visible = false;
    if (m_desktop->focused() == this)
        m_desktop->focus(nullptr);
}

void HeadlessWindow::setMinimized(bool minimized)
{
    if (m_minimized == minimized)
        return;
    m_minimized = minimized;
    if (minimized && m_desktop->focused() == this)
        m_desktop->focus(nullptr);
    if (m_clients.window)
        m_clients.window->windowMinimizedChanged(minimized);
}

void HeadlessWindow::setFullScreen(bool fullScreen)
{
    if (m_fullScreen == fullScreen)
        return;
    m_fullScreen = fullScreen;
    peer::Rect target;
    if (fullScreen) {
        m_savedFrame = m_frame;
        const auto& screens = m_desktop->screens();
        target = screens.empty() ? m_frame : screens.front().frame;
    } else {
        target = m_savedFrame.value_or(m_frame);
    }
    setContentFrame(target);
    if (m_clients.window)
        m_clients.window->windowResized(peer::Size{target.width, target.height});
}

bool HeadlessWindow::hasFocus() const
{
    return m_desktop->focused() == this;
}

void HeadlessWindow::invalidate(const std::vector<peer::Rect>& region)
{
    if (!m_framebuffer.mark(region).empty())
        scheduleDisplay();
}

void HeadlessWindow::scheduleDisplay()
{
    if (m_displayPosted)
        return;
    m_displayPosted = true;
    std::weak_ptr<HeadlessWindow*> self = m_self;
    MainLoop::instance().post([self] {
        if (auto window = self.lock(); window && *window) {
            (*window)->m_displayPosted = false;
            (*window)->displayNow();
        }
    });
}

void HeadlessWindow::displayNow()
{
    if (m_closed || !m_clients.window) {
        m_framebuffer.unmark();
        return;
    }
    m_framebuffer.drawMarked(*m_clients.window);
}

void HeadlessWindow::close()
{
    m_closed = true;
    hide();
}

void HeadlessWindow::userMouseButton(bool down, int button, peer::Point at, std::uint64_t modifiers)
{
    peer::MouseButtonInput input{down, button, at, modifiers, 1};
    if (down) {
        const auto now =
            std::chrono::duration_cast<std::chrono::milliseconds>(MainLoop::instance().now().time_since_epoch());
        input.clickCount = m_clicks.press(button, std::uint32_t(now.count()), at.x, at.y);
    } else {
        input.clickCount = std::max(1, m_clicks.current());
    }
    if (m_clients.input)
        m_clients.input->mouseButton(input);
}

void HeadlessWindow::userLeave(peer::Point at)
{
    m_clicks.reset();
    if (m_clients.input)
        m_clients.input->mouseCrossing(false, at, 0);
}

void HeadlessWindow::userResize(peer::Size content)
{
    if (m_clients.window)
        content = m_clients.window->windowWillResize(content);
    setContentFrame(peer::Rect{m_frame.x, m_frame.y, content.width, content.height});
    if (m_clients.window)
        m_clients.window->windowResized(content);
}

void HeadlessWindow::userMove(peer::Point topLeft)
{
    setContentFrame(peer::Rect{topLeft.x, topLeft.y, m_frame.width, m_frame.height});
    if (m_clients.window)
        m_clients.window->windowMoved(topLeft);
}

bool HeadlessWindow::userClose()
{
    if (m_closed || !m_spec.closable)
        return false;
    if (m_clients.window && !m_clients.window->windowShouldClose())
        return false;
    close();
    if (m_clients.window)
        m_clients.window->windowClosed();
    return true;
}

void HeadlessWindow::focusChanged(bool focused)
{
    if (!focused)
        m_clicks.reset();
    if (m_clients.window)
        m_clients.window->windowFocusChanged(focused);
}

void HeadlessWindow::screensChanged()
{
    setContentFrame(m_frame);
}

} // namespace platform::headless
