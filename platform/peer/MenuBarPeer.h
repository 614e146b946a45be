#pragma once
// The application's menu bar as a tree (a GtkMenuBar or the application
// menu on the desktop; an in-memory tree that tests open and click
// headless). The stand-ins rebuild the tree and hand it over whole.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform::peer {

struct MenuNode {
    std::string title;
    bool separator = false;
    bool enabled = true;
    bool checked = false;
    std::string keyEquivalent; // UTF-8, empty for none
    std::uint64_t keyModifiers = 0; // the platform's modifier flags
    std::vector<MenuNode> children; // a submenu when not empty
};

// A node's place: child indices from the top-level menu down.
using MenuPath = std::vector<std::size_t>;

// The node at path below root; null when there is none.
inline const MenuNode* menuNodeAt(const MenuNode& root, const MenuPath& path)
{
    const MenuNode* node = &root;
    for (std::size_t index : path) {
        if (index >= node->children.size())
            return nullptr;
        node = &node->children[index];
    }
    return node;
}

class MenuBarClient {
public:
    virtual ~MenuBarClient() = default;
    // A menu is about to show: the client may update its items (and hand a
    // new tree over) before the peer shows it.
    virtual void menuWillOpen(const MenuPath& menu) = 0;
    virtual void itemChosen(const MenuPath& item) = 0;
};

class MenuBarPeer {
public:
    virtual ~MenuBarPeer() = default;
    // The top-level menus are root's children; client may be null.
    virtual void setMenuTree(const MenuNode& root, MenuBarClient* client) = 0;
};

} // namespace platform::peer
