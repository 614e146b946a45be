#pragma once
// A window of run-time subclasses of the stand-in's classes, made as the
// framework makes one: a view filling its content is the first responder
// (and, when asked, the window's delegate), the window is kept when closed
// and shown as the key window. Closed and released when the holder goes.
#include "platform/appkit/AppKit.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/objc/StandInClass.h"

namespace platform::test {

class StandInWindow {
public:
    struct Spec {
        Class windowClass = nullptr;
        Class viewClass = nullptr;
        // The content's top-left, from the top-left of a screen of
        // screenHeight points, and its size.
        double left = 100, top = 100, width = 400, height = 300;
        double screenHeight = 1080;
        unsigned long styleMask = 15;
        unsigned long viewAutoresizingMask = 0;
        bool viewIsDelegate = true;
        // Otherwise the window finds its first key view itself.
        bool viewIsFirstResponder = true;
    };

    // A window class whose windows can become the key window.
    static Class keyWindowClass()
    {
        static Class s_class = objc::StandInClass("StandInKeyWindow", objc::ObjectRuntime::lookUpClass("NSWindow"))
                                   .method("canBecomeKeyWindow", &yes)
                                   .registerClass();
        return s_class;
    }

    explicit StandInWindow(const Spec& spec)
    {
        using objc::send;
        window = send<id>(objc::NSObject::alloc(spec.windowClass), "initWithContentRect:styleMask:backing:defer:",
                          NSMakeRect(spec.left, spec.screenHeight - spec.top - spec.height, spec.width, spec.height),
                          spec.styleMask, 2ul, BOOL(YES));
        view = send<id>(objc::NSObject::alloc(spec.viewClass),
                        "initWithFrame:", NSMakeRect(0, 0, spec.width, spec.height));
        if (spec.viewAutoresizingMask != 0)
            send<void>(view, "setAutoresizingMask:", spec.viewAutoresizingMask);
        send<void>(send<id>(window, "contentView"), "addSubview:", view);
        if (spec.viewIsDelegate)
            send<void>(window, "setDelegate:", view);
        if (spec.viewIsFirstResponder)
            send<BOOL>(window, "makeFirstResponder:", view);
        send<void>(window, "setReleasedWhenClosed:", BOOL(NO));
        send<void>(window, "makeKeyAndOrderFront:", id(nil));
    }
    ~StandInWindow() { close(); }
    StandInWindow(const StandInWindow&) = delete;
    StandInWindow& operator=(const StandInWindow&) = delete;

    // Closes and releases the window and its view (once).
    void close()
    {
        if (window == nil)
            return;
        objc::send<void>(window, "close");
        objc::NSObject::release(view);
        objc::NSObject::release(window);
        window = nil;
        view = nil;
    }

    id window = nil;
    id view = nil;

private:
    static BOOL yes(id, SEL) { return YES; }
};

} // namespace platform::test
