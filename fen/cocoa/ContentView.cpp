#include "FEN/COCOA/ContentView.h"

#include "BAS/ClassFactory.h"
#include "BAS/ObjCIvar.h"
#include "FEN/COCOA/WindowImplBase.h"
#include "FEN/COCOA/WindowNotifications.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"

namespace CV {
namespace FEN {
namespace COCOA {

namespace {

namespace objc = platform::objc;

objc_class* s_viewClass = nullptr;

BOOL viewShouldClose(id self, SEL, id)
{
    return WindowNotifications::shouldClose(ContentView::implOf(self));
}

void viewWillClose(id self, SEL, id)
{
    WindowNotifications::willClose(ContentView::implOf(self), [self] { ContentView::detach(self); });
}

void viewDidBecomeMain(id self, SEL, id)
{
    WindowNotifications::didBecomeMain(ContentView::implOf(self));
}

void viewDidResignMain(id self, SEL, id)
{
    WindowNotifications::didResignMain(ContentView::implOf(self), false);
}

void viewDidBecomeKey(id self, SEL, id)
{
    WindowNotifications::didBecomeKey(ContentView::implOf(self));
}

void viewDidResignKey(id self, SEL, id)
{
    WindowNotifications::didResignKey(ContentView::implOf(self), false);
}

NSSize viewWillResize(id self, SEL, id window, NSSize proposed)
{
    return WindowNotifications::willResize(ContentView::implOf(self), window, proposed);
}

BOOL viewIsFlipped(id, SEL)
{
    return YES;
}

struct RunTimeClass {
    BAS::OBJC::ClassFactory factory{s_viewClass};

    RunTimeClass()
    {
        if (!factory.generateUniqueClass("CVCocoaView", "NSView"))
            return;
        factory.addMemberVar("pImpl", sizeof(void*), 3, "^v");
        factory.addMethod(objc::selector("isFlipped"), objc::toIMP(&viewIsFlipped), "C@:");
        factory.addMethod(objc::selector("windowShouldClose:"), objc::toIMP(&viewShouldClose), "C@:@");
        factory.addMethod(objc::selector("windowWillClose:"), objc::toIMP(&viewWillClose), "v@:@");
        factory.addMethod(objc::selector("windowDidBecomeMain:"), objc::toIMP(&viewDidBecomeMain), "v@:@");
        factory.addMethod(objc::selector("windowDidResignMain:"), objc::toIMP(&viewDidResignMain), "v@:@");
        factory.addMethod(objc::selector("windowDidBecomeKey:"), objc::toIMP(&viewDidBecomeKey), "v@:@");
        factory.addMethod(objc::selector("windowDidResignKey:"), objc::toIMP(&viewDidResignKey), "v@:@");
        factory.addMethod(objc::selector("windowWillResize:toSize:"), objc::toIMP(&viewWillResize),
                          "{CGSize=dd}@:@{CGSize=dd}");
        factory.doRegister();
    }
};

RunTimeClass& runTimeClass()
{
    static RunTimeClass s_class;
    return s_class;
}

} // namespace

Class ContentView::viewClass()
{
    runTimeClass();
    return s_viewClass;
}

id ContentView::create(WindowImplBase* impl, double width, double height)
{
    if (viewClass() == nullptr)
        return nil;
    id view = objc::send<id>(objc::NSObject::alloc(viewClass()), "initWithFrame:", NSMakeRect(0, 0, width, height));
    if (view != nil)
        BAS::OBJC::setIvarPtr(view, "pImpl", reinterpret_cast<id>(impl));
    return view;
}

WindowImplBase* ContentView::implOf(id view)
{
    return reinterpret_cast<WindowImplBase*>(BAS::OBJC::getIvarPtr(view, "pImpl"));
}

void ContentView::detach(id view)
{
    BAS::OBJC::setIvarPtr(view, "pImpl", nil);
}

} // namespace COCOA
} // namespace FEN
} // namespace CV
