#include "FEN/COCOA/WindowImplBase.h"

#include "BAS/Region.h"
#include "FEN/Application.h"
#include "FEN/COCOA/ContentView.h"
#include "FEN/CursorManager.h"
#include "FEN/DeviceContext.h"
#include "FEN/DragDropManager.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "FEN/WindowBase.h"
#include "platform/cf/NSString.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/peer/Flip.h"

#include <cmath>
#include <string>
#include <vector>

namespace CV {
namespace FEN {
namespace COCOA {

namespace objc = platform::objc;

namespace {

int truncated(double value)
{
    return int(std::trunc(value));
}

} // namespace

WindowImplBase::WindowImplBase(WindowBase& window)
    : DETAIL::WindowImpl(window)
    , m_dc(new DeviceContext(0, 0))
{
}

WindowImplBase::~WindowImplBase()
{
    if (m_contentView != nil)
        ContentView::detach(m_contentView);
    delete m_dc;
}

BAS::Rect WindowImplBase::toFramework(NSRect frame)
{
    const double top = platform::peer::flipSpan(frame.origin.y, frame.size.height, firstScreenTop());
    return BAS::Rect{truncated(frame.origin.x), truncated(top), truncated(frame.origin.x + frame.size.width),
                     truncated(top + frame.size.height)};
}

NSRect WindowImplBase::toPlatform(BAS::Rect const& rect)
{
    const double width = rect.right - rect.left;
    const double height = rect.bottom - rect.top;
    return NSMakeRect(rect.left, platform::peer::flipSpan(rect.top, height, firstScreenTop()), width, height);
}

bool WindowImplBase::isVisible() const
{
    if (m_nativeWindow != nil)
        return objc::send<BOOL>(m_nativeWindow, "isVisible") &&
            (m_contentView == nil || !objc::send<BOOL>(m_contentView, "isHidden"));
    return m_contentView != nil && !objc::send<BOOL>(m_contentView, "isHidden");
}

void WindowImplBase::setTitle(const char* title)
{
    if (m_nativeWindow == nil)
        return;
    CFStringRef text = platform::cf::String::createFromUTF8(title != nullptr ? title : "");
    objc::send<void>(m_nativeWindow, "setTitle:", text);
    CFRelease(text);
}

void WindowImplBase::setCursor(void* cursor)
{
    m_cursor = cursor;
    CursorManager::setSystemCursor(cursor);
}

void WindowImplBase::resetCursor()
{
    m_cursor = nullptr;
    CursorManager::resetSystemCursor();
}

void WindowImplBase::show(bool show)
{
    if (show)
        objc::send<void>(m_nativeWindow, "orderFront:", id(nil));
    else
        objc::send<void>(m_nativeWindow, "orderOut:", id(nil));
}

void WindowImplBase::activate()
{
    objc::send<void>(m_nativeWindow, "orderFront:", id(nil));
}

void WindowImplBase::destroy()
{
    if (m_bClosing)
        return;
    m_bClosing = true;
    DragDropManager::resetDragState();
    EventData none;
    sendEvent(eWindowEvent::Closed, &none, false);
    id window = m_nativeWindow;
    if (m_contentView != nil) {
        ContentView::detach(m_contentView);
        m_contentView = nil;
        m_nativeWindow = nil;
    }
    {
        objc::AutoreleasePool pool;
        objc::send<void>(window, "close");
        onViewDestroyed();
    }
}

void WindowImplBase::onViewDestroyed()
{
    m_window.onImplDestroyed();
    if (m_bDeleteWindowObject)
        delete &m_window;
    delete this;
}

void WindowImplBase::minimize()
{
    objc::send<void>(m_nativeWindow, "miniaturize:", id(nil));
}

void WindowImplBase::normalSize()
{
    if (objc::send<BOOL>(m_nativeWindow, "isMiniaturized"))
        objc::send<void>(m_nativeWindow, "deminiaturize:", id(nil));
}

void WindowImplBase::idealSize()
{
    if (m_nativeWindow != nil && !objc::send<BOOL>(m_nativeWindow, "isMiniaturized") &&
        !objc::send<BOOL>(m_nativeWindow, "isZoomed"))
        objc::send<void>(m_nativeWindow, "zoom:", id(nil));
}

bool WindowImplBase::isMinimized() const
{
    return objc::send<BOOL>(m_nativeWindow, "isMiniaturized");
}

bool WindowImplBase::isNormalSize() const
{
    return m_nativeWindow == nil || !objc::send<BOOL>(m_nativeWindow, "isMiniaturized");
}

bool WindowImplBase::isIdealSize() const
{
    if (m_nativeWindow == nil)
        return DETAIL::WindowImpl::isIdealSize();
    return objc::send<BOOL>(m_nativeWindow, "isZoomed");
}

void WindowImplBase::invalidate()
{
    id view = m_contentView != nil ? m_contentView : objc::send<id>(m_nativeWindow, "contentView");
    objc::send<void>(view, "setNeedsDisplay:", BOOL(YES));
}

void WindowImplBase::invalidateRect(BAS::Rect const& rect)
{
    if (m_contentView == nil)
        return;
    // The content view is flipped: its coordinates are top-down.
    const NSRect area = NSMakeRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    objc::send<void>(m_contentView, "setNeedsDisplayInRect:", area);
}

void WindowImplBase::invalidateRegion(BAS::Region const& region)
{
    if (m_contentView == nil || region.isEmpty())
        return;
    // The content view is flipped: its coordinates are top-down.
    std::vector<NSRect> areas;
    for (BAS::Region::const_intersector it(region, region.bounds(), BAS::Point{0, 0}); !it.isDone(); it.advance()) {
        const BAS::Rect rect = it.getRect();
        areas.push_back(NSMakeRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top));
    }
    objc::send<void>(m_contentView, "_setNeedsDisplayInRects:count:", static_cast<const NSRect*>(areas.data()),
                     static_cast<unsigned long>(areas.size()));
}

void WindowImplBase::update()
{
    objc::send<void>(m_nativeWindow, "displayIfNeeded");
}

void WindowImplBase::onSetParent(WindowBase* parent)
{
    auto* parentImpl = parent != nullptr ? dynamic_cast<WindowImplBase*>(parent->getImpl()) : nullptr;
    if (m_contentView == nil || parentImpl == nullptr || parentImpl->m_contentView == nil)
        return;
    objc::send<void>(m_contentView, "removeFromSuperview");
    objc::send<void>(parentImpl->m_contentView, "addSubview:", m_contentView);
}

NSRect WindowImplBase::platformRect(bool content) const
{
    const NSRect frame = objc::send<NSRect>(m_nativeWindow, "frame");
    return content ? objc::send<NSRect>(m_nativeWindow, "contentRectForFrameRect:", frame) : frame;
}

void WindowImplBase::getRect(BAS::Rect& rect, bool content) const
{
    if (m_nativeWindow != nil) {
        rect = toFramework(platformRect(content));
        return;
    }
    if (m_contentView != nil) {
        const NSRect frame = objc::send<NSRect>(m_contentView, "frame");
        rect = BAS::Rect{truncated(frame.origin.x), truncated(frame.origin.y),
                         truncated(frame.origin.x + frame.size.width), truncated(frame.origin.y + frame.size.height)};
    }
}

void WindowImplBase::setRect(BAS::Rect const& rect, bool content)
{
    if (m_contentView != nil)
        objc::send<void>(m_contentView, "setNeedsDisplay:", BOOL(YES));
    if (m_nativeWindow != nil) {
        NSRect frame = toPlatform(rect);
        if (content)
            frame = objc::send<NSRect>(m_nativeWindow, "frameRectForContentRect:", frame);
        objc::send<void>(m_nativeWindow, "setFrame:display:", frame, BOOL(YES));
        return;
    }
    if (m_contentView != nil) {
        objc::send<void>(m_contentView, "setFrameSize:", NSMakeSize(rect.right - rect.left, rect.bottom - rect.top));
        objc::send<void>(m_contentView, "setNeedsDisplay:", BOOL(YES));
    }
}

BAS::Point WindowImplBase::getPosition(bool content) const
{
    BAS::Rect rect{0, 0, 0, 0};
    getRect(rect, content);
    return BAS::Point{rect.left, rect.top};
}

void WindowImplBase::setPosition(BAS::Point const& position, bool content)
{
    if (m_nativeWindow == nil) {
        if (m_contentView != nil) {
            objc::send<void>(m_contentView, "setFrameOrigin:", NSMakePoint(position.x, position.y));
            objc::send<void>(m_contentView, "setNeedsDisplay:", BOOL(YES));
        }
        return;
    }
    // The frame's origin that puts the (content) rectangle's top-left there.
    const NSRect frame = objc::send<NSRect>(m_nativeWindow, "frame");
    const NSRect placed = platformRect(content);
    const double dx = placed.origin.x - frame.origin.x;
    const double dy = placed.origin.y - frame.origin.y;
    const double y = platform::peer::flipSpan(position.y, placed.size.height, firstScreenTop());
    objc::send<void>(m_nativeWindow, "setFrameOrigin:", NSMakePoint(position.x - dx, y - dy));
}

BAS::Point WindowImplBase::getSize(bool content) const
{
    if (m_nativeWindow == nil) {
        if (m_contentView == nil)
            return BAS::Point{0, 0};
        const NSRect frame = objc::send<NSRect>(m_contentView, "frame");
        return BAS::Point{truncated(frame.size.width), truncated(frame.size.height)};
    }
    BAS::Rect rect{0, 0, 0, 0};
    getRect(rect, content);
    return BAS::Point{rect.right - rect.left, rect.bottom - rect.top};
}

void WindowImplBase::setSize(BAS::Point const& size, bool content)
{
    if (m_contentView != nil)
        objc::send<void>(m_contentView, "setNeedsDisplay:", BOOL(YES));
    if (m_nativeWindow == nil) {
        if (m_contentView != nil)
            objc::send<void>(m_contentView, "setFrameSize:", NSMakeSize(size.x, size.y));
        return;
    }
    // The top edge stays: the origin moves down by the growth in height.
    NSRect frame = objc::send<NSRect>(m_nativeWindow, "frame");
    const NSRect current = platformRect(content);
    const double growX = size.x - current.size.width;
    const double growY = size.y - current.size.height;
    frame.size.width += growX;
    frame.size.height += growY;
    frame.origin.y -= growY;
    objc::send<void>(m_nativeWindow, "setFrame:display:", frame, BOOL(YES));
}

float WindowImplBase::getBackingScaleFactor() const
{
    Application* application = Application::getApplication();
    if (application == nullptr || !application->isHighResolution() || m_contentView == nil)
        return 1.0f;
    return float(objc::send<NSSize>(m_contentView, "convertSizeToBacking:", NSMakeSize(1, 1)).width);
}

void WindowImplBase::getState(WindowState& state)
{
    if (m_nativeWindow == nil)
        return;
    state.showState = objc::send<BOOL>(m_nativeWindow, "isMiniaturized") ? 2
        : objc::send<BOOL>(m_nativeWindow, "isVisible")                  ? 1
                                                                         : 0;
    const BAS::Rect frame = toFramework(platformRect(false));
    state.position = BAS::Point{frame.left, frame.top};
    state.size = getSize(true);
    const bool panel = objc::send<BOOL>(m_nativeWindow, "isKindOfClass:", objc_getClass("NSPanel"));
    state.kind = panel ? 5 : objc::send<long>(m_nativeWindow, "level") == 3 ? 4 : 3;
}

void WindowImplBase::restoreState(WindowState const& state)
{
    if (m_nativeWindow == nil)
        return;
    if (state.size.x > 0 && state.size.y > 0) {
        // A saved size that does not fit the displays keeps the current one.
        const WindowState fixed = WindowBase::fixupWindowState(state);
        if (fixed.size.x > 0 && fixed.size.y > 0)
            objc::send<void>(m_nativeWindow, "setContentSize:", NSMakeSize(fixed.size.x, fixed.size.y));
    }
    if (state.position.x >= -9999 && state.position.y >= -9999)
        setPosition(state.position, false);
    const bool visible = objc::send<BOOL>(m_nativeWindow, "isVisible");
    if (state.showState == 0) {
        objc::send<void>(m_nativeWindow, "orderOut:", id(nil));
    } else {
        if (!visible)
            objc::send<void>(m_nativeWindow, "orderFront:", id(nil));
        if (state.showState == 2)
            objc::send<void>(m_nativeWindow, "miniaturize:", id(nil));
    }
}

void WindowImplBase::toScreen(BAS::Point& point) const
{
    if (m_contentView == nil)
        return;
    // The view's frame in window coordinates, then on the screen.
    NSRect frame =
        objc::send<NSRect>(m_contentView, "convertRect:toView:", objc::send<NSRect>(m_contentView, "bounds"), id(nil));
    frame = objc::send<NSRect>(m_nativeWindow, "convertRectToScreen:", frame);
    point.x = truncated(point.x + frame.origin.x);
    point.y = truncated(point.y + platform::peer::flipSpan(frame.origin.y, frame.size.height, firstScreenTop()));
}

void WindowImplBase::toScreen(BAS::Rect& rect) const
{
    BAS::Point topLeft{0, 0};
    toScreen(topLeft);
    rect.left += topLeft.x;
    rect.right += topLeft.x;
    rect.top += topLeft.y;
    rect.bottom += topLeft.y;
}

void WindowImplBase::fromScreen(BAS::Point& point) const
{
    BAS::Point topLeft{0, 0};
    toScreen(topLeft);
    point.x -= topLeft.x;
    point.y -= topLeft.y;
}

void WindowImplBase::setKeyFocus()
{
    objc::send<void>(m_nativeWindow, "makeKeyWindow");
}

void WindowImplBase::setTrackMouseGlobal(bool track)
{
    if (m_contentView != nil && objc::respondsTo(m_contentView, objc::selector("setAlwaysInterceptMouse:")))
        objc::send<void>(m_contentView, "setAlwaysInterceptMouse:", BOOL(track ? YES : NO));
}

void WindowImplBase::startRelativeMouseMove()
{
    m_bRelativeMouse = true;
}

void WindowImplBase::stopRelativeMouseMove()
{
    m_bRelativeMouse = false;
}

void WindowImplBase::textInputResetMarkedRange()
{
    if (m_contentView == nil)
        return;
    objc::send<void>(objc::send<id>(m_contentView, "inputContext"), "discardMarkedText");
}

void WindowImplBase::setModified(bool modified)
{
    objc::send<void>(m_nativeWindow, "setDocumentEdited:", BOOL(modified ? YES : NO));
}

void WindowImplBase::attach(id view, id window)
{
    m_contentView = view;
    attachWindow(window);
}

void WindowImplBase::attachWindow(id window)
{
    m_nativeWindow = window;
}

DeviceContext* WindowImplBase::attachDCTo(void* graphicsContext)
{
    m_dc->attachOSHandle(static_cast<CGContextRef>(graphicsContext));
    return m_dc;
}

void WindowImplBase::detachDC()
{
    m_dc->detachOSHandle();
}

} // namespace COCOA
} // namespace FEN
} // namespace CV
