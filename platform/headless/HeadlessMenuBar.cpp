#include "platform/headless/HeadlessMenuBar.h"

#include <functional>

namespace platform::headless {

const peer::MenuNode* HeadlessMenuBar::find(const peer::MenuPath& path) const
{
    return peer::menuNodeAt(m_root, path);
}

std::optional<peer::MenuPath> HeadlessMenuBar::pathOf(const std::string& title) const
{
    peer::MenuPath path;
    std::function<bool(const peer::MenuNode&)> search = [&](const peer::MenuNode& node) {
        for (std::size_t i = 0; i < node.children.size(); ++i) {
            path.push_back(i);
            if (node.children[i].title == title || search(node.children[i]))
                return true;
            path.pop_back();
        }
        return false;
    };
    if (search(m_root))
        return path;
    return std::nullopt;
}

void HeadlessMenuBar::open(const peer::MenuPath& menu)
{
    if (m_client && find(menu))
        m_client->menuWillOpen(menu);
}

bool HeadlessMenuBar::choose(const peer::MenuPath& item)
{
    if (item.empty())
        return false;
    // The client may hand over a new tree while its menus open.
    for (std::size_t depth = 1; depth < item.size(); ++depth)
        open(peer::MenuPath(item.begin(), item.begin() + long(depth)));
    const peer::MenuNode* node = find(item);
    if (!node || !node->enabled || node->separator || !node->children.empty() || !m_client)
        return false;
    m_client->itemChosen(item);
    return true;
}

} // namespace platform::headless
