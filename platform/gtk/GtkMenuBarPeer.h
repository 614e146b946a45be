#pragma once
// The application's menu bar on the desktop: a GtkMenuBar that the backend
// puts into the main window above its content. It mirrors the menu tree it
// is handed: the first menu (the application menu) is titled with the
// application's name, the items the desktop has no use for (Services, Hide
// Others, Show All) are left out, key equivalents show as accelerators
// with Command as Control. A menu about to show first goes to the client
// (which may hand over a new tree: states are updated in place, a changed
// shape is rebuilt once the menus have closed); an enabled item the user
// chooses goes to the client as itemChosen.
// Key equivalents are not GTK accelerators here: the window hands every key
// to the client, whose shortcut step runs them through the main menu.
#include "platform/peer/MenuBarPeer.h"

#include <string>

typedef struct _GtkWidget GtkWidget;

namespace platform::gtk {

class GtkMenuBarPeer : public peer::MenuBarPeer {
public:
    GtkMenuBarPeer();
    ~GtkMenuBarPeer() override;
    GtkMenuBarPeer(const GtkMenuBarPeer&) = delete;
    GtkMenuBarPeer& operator=(const GtkMenuBarPeer&) = delete;

    void setMenuTree(const peer::MenuNode& root, peer::MenuBarClient* client) override;

    // The bar (held by this peer; hidden while the tree has no menus).
    GtkWidget* widget() const { return m_bar; }
    const peer::MenuNode& tree() const { return m_root; }
    // The title the application menu shows.
    static std::string applicationName();

private:
    friend struct GtkMenuBarPeerSignals;

    void rebuild();
    // Labels, states and accelerators of the item, or of a shell's items and theirs.
    void updateItems(GtkWidget* widget);
    void fill(GtkWidget* shell, const peer::MenuNode& menu, peer::MenuPath& path);
    GtkWidget* newItem(const peer::MenuNode& node, const peer::MenuPath& path);
    void menuShowing(const peer::MenuPath& menu);
    void itemActivated(const peer::MenuPath& item);
    void scheduleRebuild();
    bool menusOpen() const;
    void menusClosed();

    GtkWidget* m_bar = nullptr;
    peer::MenuNode m_root; // the client's latest tree
    peer::MenuNode m_built; // the tree the widgets show
    peer::MenuBarClient* m_client = nullptr;
    int m_opening = 0; // menuWillOpen calls under way
    bool m_rebuildPending = false; // a new shape arrived while menus were open
    unsigned m_rebuildSource = 0; // the idle that rebuilds it
};

} // namespace platform::gtk
