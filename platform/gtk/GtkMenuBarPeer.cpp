#include "platform/gtk/GtkMenuBarPeer.h"
#include "platform/keyboard/ModifierFlags.h"

#include "platform/cf/CFBundle.h"
#include "platform/cf/CFString.h"
#include "platform/peer/InputEvents.h"

#include <gtk/gtk.h>

#include <array>
#include <cstring>

namespace platform::gtk {

namespace {

const char kPathKey[] = "varanto-menu-path";

// The application menu's items for services and other applications, which
// the desktop does not have.
bool isLeftOut(const peer::MenuNode& node, const peer::MenuPath& path)
{
    static const std::array<const char*, 3> kTitles{"Services", "Hide Others", "Show All"};
    if (path.size() != 2 || path[0] != 0 || node.separator)
        return false;
    for (const char* title : kTitles)
        if (node.title == title)
            return true;
    return false;
}

// Whether b can be shown by updating a's widgets: the same items of the
// same kinds (labels, states and accelerators may differ).
bool sameShape(const peer::MenuNode& a, const peer::MenuNode& b, peer::MenuPath& path)
{
    if (a.separator != b.separator || a.children.size() != b.children.size() ||
        (path.size() == 1 ? false : a.checked != b.checked) || isLeftOut(a, path) != isLeftOut(b, path))
        return false;
    for (std::size_t i = 0; i < a.children.size(); ++i) {
        path.push_back(i);
        const bool same = sameShape(a.children[i], b.children[i], path);
        path.pop_back();
        if (!same)
            return false;
    }
    return true;
}

void setPath(GObject* object, const peer::MenuPath& path)
{
    g_object_set_data_full(object, kPathKey, new peer::MenuPath(path),
                           [](gpointer data) { delete static_cast<peer::MenuPath*>(data); });
}

const peer::MenuPath* pathOf(gpointer object)
{
    return static_cast<const peer::MenuPath*>(g_object_get_data(G_OBJECT(object), kPathKey));
}

// The GDK key of a key equivalent's character; 0 for none.
guint keyvalOf(gunichar character)
{
    switch (character) {
    case '\r':
    case '\n': return GDK_KEY_Return;
    case '\t': return GDK_KEY_Tab;
    case 0x1B: return GDK_KEY_Escape;
    case 0x08:
    case 0x7F: return GDK_KEY_BackSpace;
    default: break;
    }
    if (character >= 0xF704 && character <= 0xF70F) // the platform's F1 to F12
        return GDK_KEY_F1 + (character - 0xF704);
    if (character < 0x20 || (character >= 0xF700 && character <= 0xF8FF))
        return 0;
    return gdk_unicode_to_keyval(g_unichar_tolower(character));
}

// The accelerator the item shows: Command as Control, Control as Super.
void showAccelerator(GtkWidget* item, const peer::MenuNode& node)
{
    GtkWidget* label = gtk_bin_get_child(GTK_BIN(item));
    if (!label || !GTK_IS_ACCEL_LABEL(label))
        return;
    guint key = 0;
    unsigned modifiers = 0;
    const char* text = node.keyEquivalent.c_str();
    const gunichar character =
        node.keyEquivalent.empty() ? gunichar(0) : g_utf8_get_char_validated(text, gssize(node.keyEquivalent.size()));
    if (character != gunichar(-1) && character != gunichar(-2) && character != 0)
        key = keyvalOf(character);
    if (key) {
        if (g_unichar_isupper(character) || (node.keyModifiers & keyboard::kModifierShift))
            modifiers |= GDK_SHIFT_MASK;
        if (node.keyModifiers & keyboard::kModifierCommand)
            modifiers |= GDK_CONTROL_MASK;
        if (node.keyModifiers & keyboard::kModifierOption)
            modifiers |= GDK_MOD1_MASK;
        if (node.keyModifiers & keyboard::kModifierControl)
            modifiers |= GDK_SUPER_MASK;
    }
    gtk_accel_label_set_accel(GTK_ACCEL_LABEL(label), key, GdkModifierType(modifiers));
}

} // namespace

struct GtkMenuBarPeerSignals {
    static void show(GtkWidget* menu, gpointer peer)
    {
        if (const peer::MenuPath* path = pathOf(menu))
            static_cast<GtkMenuBarPeer*>(peer)->menuShowing(peer::MenuPath(*path));
    }
    static void activate(GtkMenuItem* item, gpointer peer)
    {
        if (const peer::MenuPath* path = pathOf(item))
            static_cast<GtkMenuBarPeer*>(peer)->itemActivated(peer::MenuPath(*path));
    }
    static void deactivate(GtkMenuShell*, gpointer peer) { static_cast<GtkMenuBarPeer*>(peer)->menusClosed(); }
    static gboolean rebuild(gpointer peer)
    {
        auto* self = static_cast<GtkMenuBarPeer*>(peer);
        self->m_rebuildSource = 0;
        if (self->m_rebuildPending && !self->menusOpen())
            self->rebuild();
        return G_SOURCE_REMOVE;
    }
};

GtkMenuBarPeer::GtkMenuBarPeer()
    : m_bar(GTK_WIDGET(g_object_ref_sink(gtk_menu_bar_new())))
{
    // The bar shows when it has menus, not with its window's show_all.
    gtk_widget_set_no_show_all(m_bar, TRUE);
    g_signal_connect(m_bar, "deactivate", G_CALLBACK(GtkMenuBarPeerSignals::deactivate), this);
}

GtkMenuBarPeer::~GtkMenuBarPeer()
{
    if (m_rebuildSource)
        g_source_remove(m_rebuildSource);
    gtk_widget_destroy(m_bar); // takes it out of its window
    g_object_unref(m_bar);
}

std::string GtkMenuBarPeer::applicationName()
{
    std::string name;
    CFStringRef key = CFStringCreateWithCString(kCFAllocatorDefault, "CFBundleName", kCFStringEncodingUTF8);
    CFTypeRef value = CFBundleGetValueForInfoDictionaryKey(CFBundleGetMainBundle(), key);
    CFRelease(key);
    if (value && CFGetTypeID(value) == CFStringGetTypeID())
        name = cf::String::fromRef(value)->utf8();
    if (name.empty() && g_get_application_name())
        name = g_get_application_name();
    return name;
}

void GtkMenuBarPeer::setMenuTree(const peer::MenuNode& root, peer::MenuBarClient* client)
{
    peer::MenuPath path;
    const bool same = sameShape(m_built, root, path);
    m_root = root;
    m_client = client;
    if (same) {
        m_built = m_root;
        m_rebuildPending = false;
        updateItems(m_bar);
    } else if (menusOpen()) {
        // The open menus stay as they are until they close.
        m_rebuildPending = true;
    } else {
        rebuild();
    }
}

bool GtkMenuBarPeer::menusOpen() const
{
    return m_opening > 0 || gtk_menu_shell_get_selected_item(GTK_MENU_SHELL(m_bar)) != nullptr;
}

void GtkMenuBarPeer::rebuild()
{
    m_rebuildPending = false;
    m_built = m_root;
    GList* children = gtk_container_get_children(GTK_CONTAINER(m_bar));
    for (GList* child = children; child; child = child->next)
        gtk_widget_destroy(GTK_WIDGET(child->data));
    g_list_free(children);
    peer::MenuPath path;
    fill(m_bar, m_built, path);
    gtk_widget_set_visible(m_bar, !m_built.children.empty());
}

void GtkMenuBarPeer::fill(GtkWidget* shell, const peer::MenuNode& menu, peer::MenuPath& path)
{
    bool separatorDue = false; // separators only between items, one at a time
    bool anyItem = false;
    for (std::size_t i = 0; i < menu.children.size(); ++i) {
        const peer::MenuNode& node = menu.children[i];
        path.push_back(i);
        if (node.separator) {
            separatorDue = anyItem;
        } else if (!isLeftOut(node, path)) {
            if (separatorDue && shell != m_bar) {
                GtkWidget* separator = gtk_separator_menu_item_new();
                gtk_widget_show(separator);
                gtk_menu_shell_append(GTK_MENU_SHELL(shell), separator);
            }
            separatorDue = false;
            anyItem = true;
            gtk_menu_shell_append(GTK_MENU_SHELL(shell), newItem(node, path));
        }
        path.pop_back();
    }
}

GtkWidget* GtkMenuBarPeer::newItem(const peer::MenuNode& node, const peer::MenuPath& path)
{
    GtkWidget* item =
        node.checked && path.size() > 1 ? gtk_check_menu_item_new_with_label("") : gtk_menu_item_new_with_label("");
    setPath(G_OBJECT(item), path);
    if (!node.children.empty()) {
        GtkWidget* submenu = gtk_menu_new();
        setPath(G_OBJECT(submenu), path);
        peer::MenuPath inside = path;
        fill(submenu, node, inside);
        g_signal_connect(submenu, "show", G_CALLBACK(GtkMenuBarPeerSignals::show), this);
        gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), submenu);
    } else {
        g_signal_connect(item, "activate", G_CALLBACK(GtkMenuBarPeerSignals::activate), this);
    }
    gtk_widget_show_all(item);
    updateItems(item);
    return item;
}

void GtkMenuBarPeer::updateItems(GtkWidget* widget)
{
    // Every built item knows its node by path; separators have none.
    auto update = [this](GtkWidget* item) {
        const peer::MenuPath* path = pathOf(item);
        const peer::MenuNode* node = path ? peer::menuNodeAt(m_built, *path) : nullptr;
        if (!node || !GTK_IS_MENU_ITEM(item))
            return;
        const bool applicationMenu = path->size() == 1 && (*path)[0] == 0;
        const std::string name = applicationMenu ? applicationName() : std::string();
        gtk_menu_item_set_label(GTK_MENU_ITEM(item), name.empty() ? node->title.c_str() : name.c_str());
        gtk_widget_set_sensitive(item, node->enabled);
        if (GTK_IS_CHECK_MENU_ITEM(item))
            gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), node->checked);
        if (path->size() > 1)
            showAccelerator(item, *node);
    };
    if (GTK_IS_MENU_ITEM(widget)) {
        update(widget);
        return;
    }
    GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
    for (GList* child = children; child; child = child->next) {
        GtkWidget* item = GTK_WIDGET(child->data);
        update(item);
        if (GTK_IS_MENU_ITEM(item))
            if (GtkWidget* submenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(item)))
                updateItems(submenu);
    }
    g_list_free(children);
}

void GtkMenuBarPeer::menuShowing(const peer::MenuPath& menu)
{
    if (m_client) {
        ++m_opening;
        m_client->menuWillOpen(menu); // may hand a new tree over
        --m_opening;
    }
}

void GtkMenuBarPeer::menusClosed()
{
    if (m_rebuildPending)
        scheduleRebuild();
}

void GtkMenuBarPeer::scheduleRebuild()
{
    if (!m_rebuildSource)
        m_rebuildSource = g_idle_add(&GtkMenuBarPeerSignals::rebuild, this);
}

void GtkMenuBarPeer::itemActivated(const peer::MenuPath& item)
{
    // The toolkit does not activate insensitive items; the tree decides
    // all the same, as it may have changed since the item was built.
    const peer::MenuNode* node = peer::menuNodeAt(m_root, item);
    // Shown items of an older shape: the path must still lead to that item.
    const peer::MenuNode* shown = peer::menuNodeAt(m_built, item);
    if (!shown || (node && shown->title != node->title))
        return;
    if (!node || !node->enabled || node->separator || !node->children.empty() || !m_client)
        return;
    m_client->itemChosen(item);
}

} // namespace platform::gtk
