#include "FEN/COCOA/WindowImpl.h"

#include "BAS/ClassFactory.h"
#include "BAS/ObjCIvar.h"
#include "FEN/COCOA/ContentView.h"
#include "FEN/COCOA/WindowNotifications.h"
#include "FEN/EventCodes.h"
#include "FEN/EventData.h"
#include "platform/cf/NSString.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/peer/Flip.h"

#include <cstdio>
#include <string>

namespace CV {
namespace FEN {
namespace COCOA {

namespace objc = platform::objc;

namespace {

enum : unsigned long {
    kTitled = 1,
    kClosable = 2,
    kMiniaturizable = 4,
    kResizable = 8,
    kUtilityWindow = 16,
    kNonactivatingPanel = 128,
};

constexpr long kFloatingLevel = 3;
constexpr long kPopUpMenuLevel = 101;
constexpr long kScreenSaverLevel = 1000;
constexpr unsigned long kBufferedBacking = 2;
constexpr unsigned long kViewWidthAndHeightSizable = 18;

objc_class* s_windowClass = nullptr;
objc_class* s_panelClass = nullptr;
objc_class* s_overlayPanelClass = nullptr;
objc_class* s_delegateClass = nullptr;

WindowImplBase* implOfDelegate(id self)
{
    return reinterpret_cast<WindowImplBase*>(BAS::OBJC::getIvarPtr(self, "pImpl"));
}

BOOL answerYes(id, SEL)
{
    return YES;
}

BOOL delegateShouldClose(id self, SEL, id)
{
    return WindowNotifications::shouldClose(implOfDelegate(self));
}

void delegateWillClose(id self, SEL, id)
{
    WindowImplBase* impl = implOfDelegate(self);
    const bool closed = WindowNotifications::willClose(impl, [&] {
        BAS::OBJC::setIvarPtr(self, "pImpl", nil);
        static_cast<WindowImpl*>(impl)->detachDelegate();
    });
    // The delegate's own reference, handed over by its implementation.
    if (closed)
        objc::NSObject::release(self);
}

void delegateDidBecomeMain(id self, SEL, id)
{
    WindowNotifications::didBecomeMain(implOfDelegate(self));
}

void delegateDidResignMain(id self, SEL, id)
{
    WindowNotifications::didResignMain(implOfDelegate(self), true);
}

void delegateDidBecomeKey(id self, SEL, id)
{
    WindowNotifications::didBecomeKey(implOfDelegate(self));
}

void delegateDidResignKey(id self, SEL, id)
{
    WindowNotifications::didResignKey(implOfDelegate(self), true);
}

NSSize delegateWillResize(id self, SEL, id window, NSSize proposed)
{
    return WindowNotifications::willResize(implOfDelegate(self), window, proposed);
}

void delegateContentSizeChanged(id self, SEL, id notification)
{
    WindowImplBase* impl = implOfDelegate(self);
    id view = objc::send<id>(notification, "object");
    if (impl == nullptr || view == nil)
        return;
    const NSRect frame = objc::send<NSRect>(view, "frame");
    impl->setSize(BAS::Point{int(frame.size.width), int(frame.size.height)}, true);
}

// A window class that can always become key and main.
void addKeyAndMainAnswers(BAS::OBJC::ClassFactory& factory, const char* name, const char* superclass)
{
    if (!factory.generateUniqueClass(name, superclass))
        return;
    factory.addMethod(objc::selector("canBecomeKeyWindow"), objc::toIMP(&answerYes), "C@:");
    factory.addMethod(objc::selector("canBecomeMainWindow"), objc::toIMP(&answerYes), "C@:");
    factory.doRegister();
}

struct RunTimeClasses {
    BAS::OBJC::ClassFactory window{s_windowClass};
    BAS::OBJC::ClassFactory panel{s_panelClass};
    BAS::OBJC::ClassFactory overlayPanel{s_overlayPanelClass};
    BAS::OBJC::ClassFactory delegate{s_delegateClass};

    RunTimeClasses()
    {
        addKeyAndMainAnswers(window, "CVCocoaWindow", "NSWindow");
        addKeyAndMainAnswers(panel, "CVCocoaPanel", "NSPanel");
        if (overlayPanel.generateUniqueClass("CVOverlayPanel", "NSPanel"))
            overlayPanel.doRegister();
        if (delegate.generateUniqueClass("CVCocoaWindowDelegateClass", "NSObject")) {
            delegate.addMemberVar("pImpl", sizeof(void*), 3, "^v");
            delegate.addMethod(objc::selector("windowShouldClose:"), objc::toIMP(&delegateShouldClose), "C@:@");
            delegate.addMethod(objc::selector("windowWillClose:"), objc::toIMP(&delegateWillClose), "v@:@");
            delegate.addMethod(objc::selector("windowDidBecomeMain:"), objc::toIMP(&delegateDidBecomeMain), "v@:@");
            delegate.addMethod(objc::selector("windowDidResignMain:"), objc::toIMP(&delegateDidResignMain), "v@:@");
            delegate.addMethod(objc::selector("windowDidBecomeKey:"), objc::toIMP(&delegateDidBecomeKey), "v@:@");
            delegate.addMethod(objc::selector("windowDidResignKey:"), objc::toIMP(&delegateDidResignKey), "v@:@");
            delegate.addMethod(objc::selector("contentSizeChanged:"), objc::toIMP(&delegateContentSizeChanged), "v@:@");
            delegate.addMethod(objc::selector("windowWillResize:toSize:"), objc::toIMP(&delegateWillResize),
                               "{CGSize=dd}@:@{CGSize=dd}");
            delegate.doRegister();
        }
    }
};

RunTimeClasses& runTimeClasses()
{
    static RunTimeClasses s_classes;
    return s_classes;
}

} // namespace

WindowImpl::~WindowImpl()
{
    detachDelegate();
}

Class WindowImpl::windowClass()
{
    runTimeClasses();
    return s_windowClass;
}

Class WindowImpl::panelClass()
{
    runTimeClasses();
    return s_panelClass;
}

Class WindowImpl::overlayPanelClass()
{
    runTimeClasses();
    return s_overlayPanelClass;
}

Class WindowImpl::delegateClass()
{
    runTimeClasses();
    return s_delegateClass;
}

unsigned long WindowImpl::styleMaskFor(uint32_t style, eWindowClass windowClass)
{
    unsigned long mask = 0;
    if (windowClass == ePlain) {
        if (!(style & (eWindowStyle::NoTitle | eWindowStyle::Borderless)))
            mask = kTitled | ((style & eWindowStyle::ClosableForPlain) ? (unsigned long)kClosable : 0UL);
        if (style & eWindowStyle::Resizable)
            mask |= kResizable;
        return mask;
    }
    if (!(style & eWindowStyle::Borderless)) {
        const bool fixedSize = (style & eWindowStyle::NotResizable) && !(style & eWindowStyle::Resizable);
        mask =
            fixedSize ? (kTitled | kClosable | kMiniaturizable) : (kTitled | kClosable | kMiniaturizable | kResizable);
        if (style & eWindowStyle::NoTitle)
            mask &= ~kTitled;
        if (style & eWindowStyle::NoClose)
            mask &= ~kClosable;
    }
    if (style & eWindowStyle::Nonactivating)
        mask |= kNonactivatingPanel;
    if (windowClass == ePanel || windowClass == eOverlayPanel)
        mask |= kUtilityWindow;
    return mask;
}

long WindowImpl::levelFor(uint32_t style, eWindowClass windowClass)
{
    long level = 0;
    const bool panel = windowClass == ePanel || windowClass == eOverlayPanel;
    if (panel || (style & eWindowStyle::Raised))
        level = (style & eWindowStyle::PopUpLevel) ? kPopUpMenuLevel : kFloatingLevel;
    if (style & eWindowStyle::ScreenSaverLevel)
        level = kScreenSaverLevel;
    return level;
}

bool WindowImpl::createWindow(WindowBase::CreateData const& data, eWindowClass windowClass, bool withView)
{
    const bool sizeFromRect = data.flags & WindowBase::CreateData::SizeFromRect;
    const double width = sizeFromRect ? double(data.rect.right - data.rect.left) : 400.0;
    const double height = sizeFromRect ? double(data.rect.bottom - data.rect.top) : 300.0;
    const unsigned long mask = styleMaskFor(data.style, windowClass);
    if (m_window.getAutoDelete())
        setDeleteWindowObject(true);

    Class cls = windowClass == eOverlayPanel ? overlayPanelClass()
        : windowClass == ePanel              ? panelClass()
                                             : WindowImpl::windowClass();
    const double top = firstScreenTop();
    id window = objc::send<id>(objc::NSObject::alloc(cls), "initWithContentRect:styleMask:backing:defer:",
                               NSMakeRect(0, platform::peer::flipSpan(0, height, top), width, height), mask,
                               kBufferedBacking, BOOL(YES));
    if (window == nil) {
        std::fprintf(stderr, "cannot create a native window\n");
        return false;
    }
    if (windowClass == ePanel && (data.style & eWindowStyle::PopUpLevel) &&
        objc::respondsTo(window, objc::selector("setWorksWhenModal:")))
        objc::send<void>(window, "setWorksWhenModal:", BOOL(YES));
    // The platform releases the window when it closes.
    objc::send<void>(window, "setReleasedWhenClosed:", BOOL(YES));

    const long level = levelFor(data.style, windowClass);
    if (level != 0)
        objc::send<void>(window, "setLevel:", level);

    const int x = (data.flags & WindowBase::CreateData::PositionFromRect) ? data.rect.left : 100;
    const int y = (data.flags & WindowBase::CreateData::PositionFromRect) ? data.rect.top : 100;
    const NSRect frame = objc::send<NSRect>(window, "frame");
    objc::send<void>(window, "setFrameOrigin:", NSMakePoint(x, platform::peer::flipSpan(y, frame.size.height, top)));

    if (data.style & eWindowStyle::Transparent) {
        objc::send<void>(window, "setOpaque:", BOOL(NO));
        objc::send<void>(window, "setBackgroundColor:", id(nil));
        m_window.setAlphaBlending(true);
    }
    if (data.flags & WindowBase::CreateData::HasTitle) {
        CFStringRef title = platform::cf::String::createFromUTF8(data.getTitle());
        objc::send<void>(window, "setTitle:", title);
        CFRelease(title);
    }

    if (withView) {
        id view = ContentView::create(this, width, height);
        if (view == nil) {
            // No orphan native window: it goes again, without events.
            std::fprintf(stderr, "cannot create the content view of a window\n");
            objc::send<void>(window, "close");
            return false;
        }
        objc::send<void>(view, "setAutoresizingMask:", kViewWidthAndHeightSizable);
        objc::send<void>(objc::send<id>(window, "contentView"), "addSubview:", view);
        attach(view, window);
        objc::send<void>(window, "setDelegate:", view);
        objc::send<void>(window, "setInitialFirstResponder:", id(nil));
        objc::send<BOOL>(window, "makeFirstResponder:", id(nil));
        objc::NSObject::release(view);
    } else {
        m_delegate = objc::NSObject::allocInit(delegateClass());
        BAS::OBJC::setIvarPtr(m_delegate, "pImpl", reinterpret_cast<id>(static_cast<WindowImplBase*>(this)));
        objc::send<void>(window, "setDelegate:", m_delegate);
        objc::send<void>(window, "setInitialFirstResponder:", id(nil));
        objc::send<BOOL>(window, "makeFirstResponder:", id(nil));
        attachWindow(window);
    }
    EventData none;
    sendEvent(eWindowEvent::Created, &none, false);
    return true;
}

bool WindowImpl::createWindowAndAttach(WindowBase::CreateData const& data, eWindowClass windowClass)
{
    return createWindow(data, windowClass, true);
}

void WindowImpl::destroy()
{
    if (isClosing())
        return;
    if (m_delegate != nil) {
        objc::send<void>(m_nativeWindow, "setDelegate:", id(nil));
        BAS::OBJC::setIvarPtr(m_delegate, "pImpl", nil);
        objc::NSObject::release(m_delegate);
        m_delegate = nil;
    }
    WindowImplBase::destroy();
}

void WindowImpl::detachDelegate()
{
    if (m_delegate == nil)
        return;
    objc::send<void>(m_nativeWindow, "setDelegate:", id(nil));
    m_delegate = nil;
}

} // namespace COCOA
} // namespace FEN
} // namespace CV
