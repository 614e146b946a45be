// The application stand-in on the desktop backend tells its delegate when
// the keyboard focus comes to its windows or dialogs from another X client
// and when it leaves them all, and nothing while it only moves among them.
#include "DesktopBackendSession.h"

#include "platform/alert/Alert.h"
#include "platform/appkit/AppKit.h"
#include "platform/appkit/NSApplication.h"
#include "platform/gtk/GtkWindowPeer.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/objc/StandInClass.h"
#include "platform/runloop/MainLoop.h"
#include "platform/tests/StandInWindow.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <memory>
#include <string>
#include <vector>

// Xlib's macros (None, Bool, ...) after every other header.
#include "VarantoTest/ForeignXWindow.h"
#include <gdk/gdkx.h>

namespace {

using namespace platform;
using desktop_test::DesktopBackendSession;
using desktop_test::pumpUntil;
using objc::send;

// What the application told its delegate, in order.
std::vector<std::string> s_heard;

Class activationDelegateClass()
{
    static Class s_class = objc::StandInClass("DesktopActivationDelegate", objc::NSObject::rootClass())
                               .method(
                                   "applicationDidBecomeActive:", +[](id, SEL, id) { s_heard.push_back("active"); })
                               .method(
                                   "applicationDidResignActive:", +[](id, SEL, id) { s_heard.push_back("inactive"); })
                               .registerClass();
    return s_class;
}

unsigned long xidOf(GtkWidget* toplevel)
{
    return gdk_x11_window_get_xid(gtk_widget_get_window(toplevel));
}

unsigned long xidOf(id window)
{
    return xidOf(dynamic_cast<gtk::GtkWindowPeer&>(*appkit::windowPeer(window)).window());
}

// The message box, if any.
GtkWidget* messageBox()
{
    GList* toplevels = gtk_window_list_toplevels();
    GtkWidget* found = nullptr;
    for (GList* item = toplevels; item != nullptr && found == nullptr; item = item->next)
        if (GTK_IS_MESSAGE_DIALOG(item->data))
            found = GTK_WIDGET(item->data);
    g_list_free(toplevels);
    return found;
}

class GtkActivationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!DesktopBackendSession::instance().ready())
            VARANTO_DESKTOP_UNAVAILABLE() << DesktopBackendSession::instance().failure();
        other = std::make_unique<CV::test::ForeignXWindow>(DesktopBackendSession::instance().server().display());
        s_heard.clear();
        delegate = objc::NSObject::allocInit(activationDelegateClass());
        send<void>(send<id>(appkit::NSApplicationClass(), "sharedApplication"), "setDelegate:", delegate);
    }

    void TearDown() override
    {
        if (delegate == nil)
            return;
        appkit::NSApplication::resetForTesting();
        objc::NSObject::release(delegate);
    }

    // The application has heard this much.
    static bool heard(const std::vector<std::string>& calls)
    {
        return pumpUntil([&] { return s_heard.size() >= calls.size(); }) && s_heard == calls;
    }

    static test::StandInWindow::Spec windowAt(double left)
    {
        test::StandInWindow::Spec spec;
        spec.windowClass = test::StandInWindow::keyWindowClass();
        spec.viewClass = objc::ObjectRuntime::lookUpClass("NSView");
        spec.left = left;
        spec.width = 200;
        spec.height = 150;
        spec.screenHeight = 768;
        return spec;
    }

    // A window of another X client.
    std::unique_ptr<CV::test::ForeignXWindow> other;
    id delegate = nil;
};

TEST_F(GtkActivationTest, FocusFromAndToAnotherClientActivatesWhileFocusAmongOwnWindowsSendsNothing)
{
    ASSERT_TRUE(other->shown());
    objc::AutoreleasePool pool;
    test::StandInWindow first(windowAt(50));
    ASSERT_TRUE(pumpUntil([&] { return send<BOOL>(first.window, "isKeyWindow"); }));
    ASSERT_TRUE(heard({"active"}));

    test::StandInWindow second(windowAt(300)); // takes the focus from the first
    ASSERT_TRUE(pumpUntil([&] { return send<BOOL>(second.window, "isKeyWindow"); }));
    other->giveFocusTo(xidOf(first.window));
    ASSERT_TRUE(pumpUntil([&] { return send<BOOL>(first.window, "isKeyWindow"); }));

    other->takeFocus();
    EXPECT_TRUE(heard({"active", "inactive"})) << "nothing while the focus went between the application's windows";
    other->giveFocusTo(xidOf(second.window));
    EXPECT_TRUE(heard({"active", "inactive", "active"}));
    EXPECT_TRUE(send<BOOL>(second.window, "isKeyWindow"));
}

// The focus passes from a message box straight to another program and
// back, while the box is up.
TEST_F(GtkActivationTest, FocusLeavingAndComingBackToADialogOfTheApplicationIsHeardToo)
{
    ASSERT_TRUE(other->shown());
    objc::AutoreleasePool pool;
    test::StandInWindow window(windowAt(50));
    ASSERT_TRUE(heard({"active"}));

    // The focus goes to the box as a window manager gives it to a new
    // window, then to the other program and back.
    std::vector<std::string> heardWhileUp;
    MainLoop::instance().post([&] {
        GtkWidget* box = nullptr;
        const bool mapped = pumpUntil([&] {
            box = messageBox();
            return box != nullptr && gtk_widget_get_mapped(box);
        });
        if (mapped) {
            gdk_display_sync(gdk_display_get_default());
            other->giveFocusTo(xidOf(box));
            if (pumpUntil([&] { return gtk_window_is_active(GTK_WINDOW(box)); })) {
                other->takeFocus();
                pumpUntil([] { return s_heard.size() >= 2; });
                other->giveFocusTo(xidOf(box));
                pumpUntil([] { return s_heard.size() >= 3; });
            }
        }
        heardWhileUp = s_heard;
        gtk_dialog_response(GTK_DIALOG(messageBox()), 1);
    });
    Alert alert;
    alert.setMessageText("Keep going?");
    alert.addButton("OK", 1);
    EXPECT_EQ(alert.runModal(), 1);
    EXPECT_EQ(heardWhileUp, (std::vector<std::string>{"active", "inactive", "active"}))
        << "nothing while the focus went from the window to the box";
}

} // namespace
