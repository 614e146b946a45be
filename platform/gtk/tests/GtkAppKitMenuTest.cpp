// The stand-in's main menu on the desktop: Control+Q in a window of the
// stand-in's classes performs the Quit item (Command is Control on this
// keyboard), and a Help item clicked in the menu bar performs its action.
#include "DesktopBackendSession.h"

#include "platform/appkit/AppKit.h"
#include "platform/backend/Backend.h"
#include "platform/gtk/GtkMenuBarPeer.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/objc/AutoreleasePool.h"
#include "platform/objc/MessageSend.h"
#include "platform/objc/NSObject.h"
#include "platform/objc/ObjectRuntime.h"
#include "platform/objc/StandInClass.h"
#include "platform/tests/StandInWindow.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>
#include <vector>

namespace {

using namespace platform;
using desktop_test::DesktopBackendSession;
using desktop_test::pumpUntil;
using objc::send;

constexpr long kQuitCommand = 1;
constexpr long kKnowledgeBaseCommand = 40000;
constexpr long kWebCommand = 40001;

std::vector<long> s_performed;

void perform(id, SEL, id sender)
{
    s_performed.push_back(send<long>(sender, "tag"));
}

BOOL yes(id, SEL)
{
    return YES;
}

Class commandTargetClass()
{
    static Class s_class = objc::StandInClass("DesktopMenuTarget", objc::ObjectRuntime::lookUpClass("NSObject"))
                               .method("perform:", &perform)
                               .registerClass();
    return s_class;
}

Class keyViewClass()
{
    static Class s_class = objc::StandInClass("DesktopMenuKeyView", objc::ObjectRuntime::lookUpClass("NSView"))
                               .method("acceptsFirstResponder", &yes)
                               .registerClass();
    return s_class;
}

CFStringRef newString(const char* text)
{
    return CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8);
}

id newMenu(const char* title)
{
    CFStringRef text = newString(title);
    id menu = send<id>(objc::NSObject::alloc(objc_getClass("NSMenu")), "initWithTitle:", text);
    CFRelease(text);
    return menu;
}

void addItem(id menu, const char* title, long tag, const char* key, id target)
{
    CFStringRef text = newString(title), equivalent = newString(key);
    id item = send<id>(objc::NSObject::alloc(objc_getClass("NSMenuItem")), "initWithTitle:action:keyEquivalent:", text,
                       objc::selector("perform:"), equivalent);
    send<void>(item, "setTag:", tag);
    send<void>(item, "setTarget:", target);
    send<void>(item, "setKeyEquivalentModifierMask:", (unsigned long)keyboard::kModifierCommand);
    send<void>(menu, "addItem:", item);
    objc::NSObject::release(item);
    CFRelease(equivalent);
    CFRelease(text);
}

void addSubmenu(id into, const char* title, id submenu)
{
    CFStringRef text = newString(title);
    id item = objc::NSObject::allocInit(objc_getClass("NSMenuItem"));
    send<void>(item, "setTitle:", text);
    send<void>(item, "setSubmenu:", submenu);
    send<void>(into, "addItem:", item);
    objc::NSObject::release(item);
    CFRelease(text);
}

int click(GtkWidget* widget)
{
    return DesktopBackendSession::instance().server().run(desktop_test::clickOnWidget(widget));
}

TEST(GtkAppKitMenu, ControlQPerformsQuitAndAClickedHelpItemPerformsItsCommand)
{
    if (!DesktopBackendSession::instance().ready())
        VARANTO_DESKTOP_UNAVAILABLE() << DesktopBackendSession::instance().failure();
    objc::AutoreleasePool pool;
    s_performed.clear();
    id application = send<id>(objc_getClass("NSApplication"), "sharedApplication");
    id target = objc::NSObject::allocInit(commandTargetClass());
    id mainMenu = newMenu("MainMenu");
    id applicationMenu = newMenu("Apple");
    addItem(applicationMenu, "Quit Updater", kQuitCommand, "q", target);
    id help = newMenu("Help");
    addItem(help, "Visit the Knowledge Base", kKnowledgeBaseCommand, "", target);
    addItem(help, "Visit Calvarine on the web", kWebCommand, "", target);
    addSubmenu(mainMenu, "Apple", applicationMenu);
    addSubmenu(mainMenu, "Help", help);
    send<void>(application, "setMainMenu:", mainMenu);

    test::StandInWindow::Spec spec;
    spec.windowClass = test::StandInWindow::keyWindowClass();
    spec.viewClass = keyViewClass();
    spec.width = 627;
    spec.height = 335;
    spec.screenHeight = 768;
    spec.styleMask = 3;
    spec.viewIsDelegate = false;
    test::StandInWindow standIn(spec);
    id window = standIn.window;
    ASSERT_TRUE(pumpUntil([&] { return send<BOOL>(window, "isKeyWindow"); }));
    gdk_display_sync(gdk_display_get_default());

    namespace xdotool = CV::test::xdotool;
    ASSERT_EQ(DesktopBackendSession::instance().server().run(xdotool::command({xdotool::keys("ctrl+q")})), 0);
    ASSERT_TRUE(pumpUntil([] { return !s_performed.empty(); }));
    EXPECT_EQ(s_performed, std::vector<long>{kQuitCommand});

    GtkWidget* bar = dynamic_cast<gtk::GtkMenuBarPeer&>(Backend::current().menuBar()).widget();
    GtkWidget* helpTitle = desktop_test::menuItemLabelled(bar, "Help");
    ASSERT_NE(helpTitle, nullptr);
    GtkWidget* helpMenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(helpTitle));
    ASSERT_EQ(click(helpTitle), 0);
    ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_mapped(helpMenu); }));
    ASSERT_EQ(click(desktop_test::menuItemLabelled(helpMenu, "Visit the Knowledge Base")), 0);
    ASSERT_TRUE(pumpUntil([] { return s_performed.size() == 2; }));
    EXPECT_EQ(s_performed, (std::vector<long>{kQuitCommand, kKnowledgeBaseCommand}));

    send<void>(application, "setMainMenu:", id(nil));
    standIn.close();
    objc::NSObject::release(help);
    objc::NSObject::release(applicationMenu);
    objc::NSObject::release(mainMenu);
    objc::NSObject::release(target);
}

} // namespace
