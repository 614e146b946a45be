#pragma once
// The menu bar as an in-memory tree that tests read, open and click.
#include "platform/peer/MenuBarPeer.h"

#include <optional>

namespace platform::headless {

class HeadlessMenuBar : public peer::MenuBarPeer {
public:
    void setMenuTree(const peer::MenuNode& root, peer::MenuBarClient* client) override
    {
        m_root = root;
        m_client = client;
    }
    const peer::MenuNode& tree() const { return m_root; }
    // The node at path; null when there is none.
    const peer::MenuNode* find(const peer::MenuPath& path) const;
    // The path of the first node titled as given (depth first); none when
    // no node has that title.
    std::optional<peer::MenuPath> pathOf(const std::string& title) const;
    // Opens the menu at path (tells the client), as the user does.
    void open(const peer::MenuPath& menu);
    // Opens the menus above the item and chooses it; false (nothing sent)
    // for a missing, disabled or separator item or one with a submenu.
    bool choose(const peer::MenuPath& item);

private:
    peer::MenuNode m_root;
    peer::MenuBarClient* m_client = nullptr;
};

} // namespace platform::headless
