// The desktop menu bar on a private X server: in the main window above a
// content area that keeps its size, the application menu as the desktop
// shows it, accelerators with Command as Control, validation before a
// menu shows and clicks that reach the client only for enabled items.
#include "DesktopBackendSession.h"
#include "QuietWindowClient.h"

#include "platform/backend/Backend.h"
#include "platform/gtk/GtkMenuBarPeer.h"
#include "platform/gtk/GtkWindowPeer.h"
#include "platform/keyboard/ModifierFlags.h"
#include "platform/peer/InputEvents.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace platform;
using desktop_test::clickOnWidget;
using desktop_test::DesktopBackendSession;
using desktop_test::menuItemLabelled;
using desktop_test::pumpUntil;
using desktop_test::QuietWindowClient;
using platform::gtk::GtkMenuBarPeer;
using platform::gtk::GtkWindowPeer;

std::string text(const peer::MenuPath& path)
{
    std::string result;
    for (std::size_t index : path)
        result += (result.empty() ? "" : ".") + std::to_string(index);
    return result;
}

class RecordingMenus : public peer::MenuBarClient {
public:
    std::vector<std::string> log;
    std::function<void(const peer::MenuPath&)> onOpen;
    void menuWillOpen(const peer::MenuPath& menu) override
    {
        log.push_back("open " + text(menu));
        if (onOpen)
            onOpen(menu);
    }
    void itemChosen(const peer::MenuPath& item) override { log.push_back("chosen " + text(item)); }
    bool has(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
};

peer::MenuNode item(const std::string& title, const std::string& key = "",
                    std::uint64_t modifiers = keyboard::kModifierCommand)
{
    peer::MenuNode node;
    node.title = title;
    node.keyEquivalent = key;
    node.keyModifiers = modifiers;
    return node;
}

peer::MenuNode separator()
{
    peer::MenuNode node;
    node.separator = true;
    return node;
}

// The updater's menus as the framework hands them over.
peer::MenuNode updaterMenus()
{
    peer::MenuNode application = item("Apple");
    application.children = {
        item("About Updater"),     separator(),
        item("Services"),          separator(),
        item("Hide Updater", "h"), item("Hide Others", "h", keyboard::kModifierCommand | keyboard::kModifierOption),
        item("Show All"),          separator(),
        item("Quit Updater", "q")};
    peer::MenuNode help = item("Help");
    help.children = {item("Visit the Knowledge Base"), item("Visit Calvarine on the web")};
    peer::MenuNode root;
    root.children = {application, help};
    return root;
}

std::vector<std::string> labelsOf(GtkWidget* shell)
{
    std::vector<std::string> labels;
    GList* children = gtk_container_get_children(GTK_CONTAINER(shell));
    for (GList* child = children; child; child = child->next) {
        GtkWidget* widget = GTK_WIDGET(child->data);
        if (GTK_IS_SEPARATOR_MENU_ITEM(widget))
            labels.push_back("-");
        else if (GTK_IS_MENU_ITEM(widget))
            labels.push_back(gtk_menu_item_get_label(GTK_MENU_ITEM(widget)));
    }
    g_list_free(children);
    return labels;
}

class GtkMenuBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!DesktopBackendSession::instance().ready())
            VARANTO_DESKTOP_UNAVAILABLE() << DesktopBackendSession::instance().failure();
        m_client.allowClose = false;
        m_bar = &dynamic_cast<GtkMenuBarPeer&>(Backend::current().menuBar());
        m_bar->setMenuTree(updaterMenus(), &m_menus);
    }
    void TearDown() override
    {
        m_window.reset();
        if (m_bar)
            m_bar->setMenuTree(peer::MenuNode{}, nullptr); // the other desktop tests' windows have none
    }

    GtkWindowPeer& openUpdaterWindow()
    {
        peer::WindowSpec spec;
        spec.content = peer::Rect{100, 100, 627, 335};
        spec.resizable = false;
        m_window = Backend::current().createWindow(spec, peer::WindowClients{&m_client, nullptr, nullptr});
        auto& window = dynamic_cast<GtkWindowPeer&>(*m_window);
        window.show(true);
        EXPECT_TRUE(pumpUntil([&] { return m_client.draws > 0 && m_client.focused; }));
        gdk_display_sync(gdk_display_get_default());
        return window;
    }

    GtkWidget* topMenu(const std::string& label) { return menuItemLabelled(m_bar->widget(), label); }

    // Clicks the widget and runs the loop until the client has the entry.
    ::testing::AssertionResult click(GtkWidget* widget, const std::string& entry)
    {
        if (!widget)
            return ::testing::AssertionFailure() << "no widget to click for '" << entry << "'";
        if (const int status = DesktopBackendSession::instance().server().run(clickOnWidget(widget)); status != 0)
            return ::testing::AssertionFailure() << "xdotool exited with " << status;
        if (pumpUntil([&] { return m_menus.has(entry); }))
            return ::testing::AssertionSuccess();
        ::testing::AssertionResult failure = ::testing::AssertionFailure() << "no '" << entry << "' in:";
        for (const std::string& line : m_menus.log)
            failure << "\n  " << line;
        return failure;
    }

    GtkMenuBarPeer* m_bar = nullptr;
    RecordingMenus m_menus;
    QuietWindowClient m_client;
    std::unique_ptr<peer::WindowPeer> m_window;
};

TEST_F(GtkMenuBarTest, SitsAboveAContentAreaThatKeepsItsSizeAndPlace)
{
    GtkWindowPeer& window = openUpdaterWindow();
    ASSERT_EQ(window.menuBar(), m_bar->widget());
    ASSERT_TRUE(gtk_widget_get_mapped(m_bar->widget()));
    const int barHeight = gtk_widget_get_allocated_height(m_bar->widget());
    EXPECT_GT(barHeight, 0);
    EXPECT_EQ(gtk_widget_get_allocated_width(window.contentArea()), 627);
    EXPECT_EQ(gtk_widget_get_allocated_height(window.contentArea()), 335);
    int x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(window.contentArea()), &x, &y);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 100);

    // A fixed window's size hints take the bar in.
    const std::optional<desktop_test::SizeLimits> limits = desktop_test::sizeLimits(window.window());
    ASSERT_TRUE(limits);
    EXPECT_EQ(limits->minWidth, 627);
    EXPECT_EQ(limits->maxWidth, 627);
    EXPECT_EQ(limits->minHeight, 335 + barHeight);
    EXPECT_EQ(limits->maxHeight, 335 + barHeight);

    // Without menus the bar goes and the window is the content alone.
    m_bar->setMenuTree(peer::MenuNode{}, nullptr);
    ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_allocated_height(window.window()) == 335; }));
    EXPECT_FALSE(gtk_widget_get_visible(m_bar->widget()));
    EXPECT_EQ(gtk_widget_get_allocated_height(window.contentArea()), 335);
}

TEST_F(GtkMenuBarTest, ShowsTheApplicationMenuUnderTheApplicationsNameWithoutTheServicesOfOtherSystems)
{
    const std::string name = GtkMenuBarPeer::applicationName();
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(labelsOf(m_bar->widget()), (std::vector<std::string>{name, "Help"}));
    GtkWidget* application = gtk_menu_item_get_submenu(GTK_MENU_ITEM(topMenu(name)));
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(labelsOf(application),
              (std::vector<std::string>{"About Updater", "-", "Hide Updater", "-", "Quit Updater"}));

    // Command shows as Control, Option as Alt.
    struct Case {
        const char* item;
        guint key;
        GdkModifierType modifiers;
    };
    for (const Case& c :
         {Case{"Quit Updater", GDK_KEY_q, GDK_CONTROL_MASK}, Case{"Hide Updater", GDK_KEY_h, GDK_CONTROL_MASK},
          Case{"About Updater", 0, GdkModifierType(0)}}) {
        GtkWidget* label = gtk_bin_get_child(GTK_BIN(menuItemLabelled(application, c.item)));
        guint key = 0;
        GdkModifierType modifiers{};
        gtk_accel_label_get_accel(GTK_ACCEL_LABEL(label), &key, &modifiers);
        EXPECT_EQ(key, c.key) << c.item;
        EXPECT_EQ(modifiers, c.modifiers) << c.item;
    }
}

TEST_F(GtkMenuBarTest, AMenuIsValidatedBeforeItShowsAndOnlyEnabledItemsReachTheClient)
{
    openUpdaterWindow();
    // The client disables the second Help item as the menu opens.
    m_menus.onOpen = [&](const peer::MenuPath& menu) {
        if (menu != peer::MenuPath{1})
            return;
        peer::MenuNode tree = updaterMenus();
        tree.children[1].children[1].enabled = false;
        m_bar->setMenuTree(tree, &m_menus);
    };
    GtkWidget* help = gtk_menu_item_get_submenu(GTK_MENU_ITEM(topMenu("Help")));
    ASSERT_NE(help, nullptr);

    ASSERT_TRUE(click(topMenu("Help"), "open 1"));
    ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_mapped(help); }));
    GtkWidget* web = menuItemLabelled(help, "Visit Calvarine on the web");
    EXPECT_FALSE(gtk_widget_get_sensitive(web));
    // A click on the disabled item leaves the menu open and sends nothing;
    // the enabled one then goes through.
    ASSERT_EQ(DesktopBackendSession::instance().server().run(clickOnWidget(web)), 0);
    ASSERT_TRUE(click(menuItemLabelled(help, "Visit the Knowledge Base"), "chosen 1.0"));
    EXPECT_EQ(m_menus.log, (std::vector<std::string>{"open 1", "chosen 1.0"}));
}

TEST_F(GtkMenuBarTest, ANewShapeHandedOverAsAMenuOpensIsBuiltWhenTheMenusClose)
{
    openUpdaterWindow();
    m_menus.onOpen = [&](const peer::MenuPath& menu) {
        if (menu != peer::MenuPath{1})
            return;
        peer::MenuNode tree = updaterMenus();
        tree.children[1].children.insert(tree.children[1].children.begin(), item("Check for Updates"));
        m_bar->setMenuTree(tree, &m_menus);
    };
    GtkWidget* help = gtk_menu_item_get_submenu(GTK_MENU_ITEM(topMenu("Help")));
    ASSERT_TRUE(click(topMenu("Help"), "open 1"));
    m_menus.onOpen = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_mapped(help); }));
    // The open menu keeps its items; a path that now leads elsewhere
    // sends nothing.
    EXPECT_EQ(labelsOf(help), (std::vector<std::string>{"Visit the Knowledge Base", "Visit Calvarine on the web"}));
    ASSERT_EQ(DesktopBackendSession::instance().server().run(
                  clickOnWidget(menuItemLabelled(help, "Visit the Knowledge Base"))),
              0);
    ASSERT_TRUE(pumpUntil([&] {
        GtkWidget* title = topMenu("Help");
        GtkWidget* rebuilt = title ? gtk_menu_item_get_submenu(GTK_MENU_ITEM(title)) : nullptr;
        return rebuilt && menuItemLabelled(rebuilt, "Check for Updates");
    }));
    help = gtk_menu_item_get_submenu(GTK_MENU_ITEM(topMenu("Help")));
    // The new items are laid out on the toolkit's next frame.
    ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_allocated_width(topMenu("Help")) > 1; }));
    ASSERT_EQ(DesktopBackendSession::instance().server().run(clickOnWidget(topMenu("Help"))), 0);
    ASSERT_TRUE(pumpUntil([&] { return gtk_widget_get_mapped(help); }));
    ASSERT_TRUE(click(menuItemLabelled(help, "Visit the Knowledge Base"), "chosen 1.1"));
    EXPECT_EQ(m_menus.log, (std::vector<std::string>{"open 1", "open 1", "chosen 1.1"}));
}

TEST_F(GtkMenuBarTest, TheBarOfAWindowDestroyedFromOutsideGoesToTheNextWindow)
{
    GtkWindowPeer& first = openUpdaterWindow();
    gtk_widget_destroy(first.window());
    EXPECT_EQ(first.menuBar(), nullptr);
    EXPECT_EQ(gtk_widget_get_parent(m_bar->widget()), nullptr);
    EXPECT_EQ(labelsOf(m_bar->widget()).size(), 2u);

    m_client.draws = 0;
    m_client.focused = false;
    GtkWindowPeer& second = openUpdaterWindow();
    EXPECT_EQ(second.menuBar(), m_bar->widget());
    EXPECT_TRUE(gtk_widget_get_mapped(m_bar->widget()));
    EXPECT_EQ(gtk_widget_get_allocated_height(second.contentArea()), 335);
}

} // namespace
